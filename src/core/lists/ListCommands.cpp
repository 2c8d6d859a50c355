#include "core/lists/ListCommands.h"

#include <optional>

#include "core/io/ListFileLines.h"
#include "core/io/SafeFileWriter.h"
#include "core/lists/ListFile.h"
#include "core/table/TableUpdateBracket.h"
#include "core/util/Texts.h"

namespace vantrix {

namespace {

std::string CannotOpenText(const std::string& path) {
  return "Error: Cannot open file (" + path + ")";
}

std::string ProcessingText(const std::string& path) {
  return "Processing file " + path;
}

// Reads an opened file in the layout; plain lines may be skipped when empty.
void ReadRows(ListFileLines& lines, ServerTable& table, ListLayout layout, bool skipEmptyLines) {
  if (layout == ListLayout::kRecord) {
    ReadRecordRows(lines, table);
  } else {
    ReadPlainRows(lines, table, skipEmptyLines);
  }
}

}  // namespace

void NewList(ServerTable& table) {
  TableUpdateBracket bracket(table);
  table.Clear();
}

bool OpenList(ServerTable& table, StatusLine& status, const std::string& path, int filterIndex,
              const std::function<void()>& processEvents) {
  NewList(table);  // before the file is opened: a file that cannot be opened leaves it empty
  ListFileLines lines;
  if (!lines.Open(path)) {
    status.SetMessage(CannotOpenText(path));
    return false;
  }
  if (LayoutForFilter(filterIndex) == ListLayout::kRecord) {
    {
      TableUpdateBracket bracket(table);
      status.SetMessage(ProcessingText(path));
      if (processEvents) processEvents();
      ReadRecordRows(lines, table);
    }
    lines.Close();
    status.SetMessage(kIdleText);
  } else {
    {
      TableUpdateBracket bracket(table);
      const std::string processing = ProcessingText(path);
      ReadPlainRows(lines, table, false, [&] { status.SetMessage(processing); });
    }
    status.SetMessage(kIdleText);
    lines.Close();
  }
  return true;
}

bool ImportList(ServerTable& table, StatusLine& status, const std::string& path, int filterIndex) {
  ListFileLines lines;
  if (!lines.Open(path)) {
    status.SetMessage(CannotOpenText(path));
    return false;
  }
  TableUpdateBracket bracket(table);
  ReadRows(lines, table, LayoutForFilter(filterIndex), true);
  return true;
}

bool SaveList(const ServerTable& table, StatusLine& status, const std::string& path, int filterIndex,
              WriteLimit limit) {
  SafeFileWriter writer(path, limit);
  if (!writer.Open()) {
    status.SetMessage("Error: File is locked (" + path + ")");
    return false;
  }
  const bool record = LayoutForFilter(filterIndex) == ListLayout::kRecord;
  writer.Write(record ? FormatRecordLayout(table) : FormatPlainLayout(table));
  writer.Commit();
  return true;
}

int LoadStartupFiles(ServerTable& table, StatusLine& status, std::span<const std::string> arguments) {
  int loaded = 0;
  for (const std::string& argument : arguments) {
    const std::optional<ListLayout> layout = LayoutForArgument(argument);
    if (!layout) continue;
    ListFileLines lines;
    if (!lines.Open(argument)) {
      status.SetMessage(CannotOpenText(argument));
      break;
    }
    {
      TableUpdateBracket bracket(table);
      status.SetMessage(ProcessingText(argument));
      ReadRows(lines, table, *layout, true);
    }
    lines.Close();
    status.SetMessage(kLoadedText);
    ++loaded;
  }
  return loaded;
}

bool OpenListCommand(ServerTable& table, StatusLine& status, FileChooser& chooser,
                     FileDialogState& openDialog, const std::function<void()>& processEvents) {
  const auto choice = ShowFileDialog(chooser, openDialog);
  return choice && OpenList(table, status, choice->path, choice->filterIndex, processEvents);
}

void ImportListCommand(ServerTable& table, StatusLine& status, FileChooser& chooser,
                       FileDialogState& openDialog) {
  if (const auto choice = ShowFileDialog(chooser, openDialog))
    ImportList(table, status, choice->path, choice->filterIndex);
}

bool SaveListCommand(const ServerTable& table, StatusLine& status, FileChooser& chooser,
                     FileDialogState& saveDialog, WriteLimit limit) {
  const auto choice = ShowFileDialog(chooser, saveDialog);
  return choice && SaveList(table, status, choice->path, choice->filterIndex, limit);
}

}  // namespace vantrix
