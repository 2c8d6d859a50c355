#pragma once

#include <functional>
#include <span>
#include <string>

#include "core/io/WriteLimit.h"
#include "core/lists/FileDialogs.h"
#include "core/table/ServerTable.h"
#include "core/table/StatusLine.h"

namespace vantrix {

// The list-file commands of the main window. Paths are raw bytes, exactly as the dialog or
// the command line gave them, and appear so in the messages. Every message goes to the
// message panel. A read error after a file was opened (FileReadError) or a
// write error while saving (FileWriteError) ends the command and reaches the caller for the
// general error report; rows added until then stay, the update bracket is closed and the
// file released. The filter index is the dialog's confirmed filter, 1..3.

// "New file...": empties the table. No message, no file.
void NewList(ServerTable& table);

// "Open file...": empties the table, then fills it from the file. processEvents is called once,
// in the record layout only, after "Processing file " + path is shown and before reading, so
// the message repaints. False when the file cannot be opened ("Error: Cannot open file (...)").
bool OpenList(ServerTable& table, StatusLine& status, const std::string& path, int filterIndex,
              const std::function<void()>& processEvents);

// "Import from file...": appends the file's rows, skipping empty plain lines. No message unless
// the file cannot be opened.
bool ImportList(ServerTable& table, StatusLine& status, const std::string& path, int filterIndex);

// "Save file...": replaces the file so that the old one survives any failure. No message on
// success; "Error: File is locked (" + path + ")" when the file cannot be created.
bool SaveList(const ServerTable& table, StatusLine& status, const std::string& path, int filterIndex,
              WriteLimit limit = {});

// Start-up loading: arguments are the program's arguments after the program name, raw bytes.
// Those without "." are skipped; ".vnx" (any case) is read in the record layout, the rest in
// the plain layout; loading stops at the first file that cannot be opened. Returns how many
// files were loaded.
int LoadStartupFiles(ServerTable& table, StatusLine& status, std::span<const std::string> arguments);

// The same commands with their dialog (OpenDialog1 for Open and Import, SaveDialog1 for Save);
// a cancelled dialog leaves everything as it was. Open and Save give true when a file was
// read or written.
bool OpenListCommand(ServerTable& table, StatusLine& status, FileChooser& chooser,
                     FileDialogState& openDialog, const std::function<void()>& processEvents);
void ImportListCommand(ServerTable& table, StatusLine& status, FileChooser& chooser,
                       FileDialogState& openDialog);
bool SaveListCommand(const ServerTable& table, StatusLine& status, FileChooser& chooser,
                     FileDialogState& saveDialog, WriteLimit limit = {});

}  // namespace vantrix
