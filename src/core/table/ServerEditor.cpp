#include "core/table/ServerEditor.h"

#include <algorithm>
#include <optional>

#include "core/util/QueryDefaults.h"
#include "core/util/StrToInt.h"

namespace vantrix {

namespace {

// A players field shows "0" rather than nothing or a blank cell.
void ZeroIfEmpty(std::string& text) {
  if (text.empty() || text == kBlank) text = "0";
}

struct SpinValues {
  int players = 0;
  int maxPlayers = 0;
};

// Both texts as arrow positions. A typed number outside the range counts as the nearest
// end, so the rules and the step never write a number outside it.
SpinValues ReadSpinValues(const ServerEditor::Fields& fields) {
  const int players = StrToInt(fields.players);
  const int maxPlayers = StrToInt(fields.maxPlayers);
  return SpinValues{std::clamp(players, ServerEditor::kSpinMin, ServerEditor::kSpinMax),
                    std::clamp(maxPlayers, ServerEditor::kSpinMin, ServerEditor::kSpinMax)};
}

// Where the arrow's step takes a position, or nullopt when it does not step.
std::optional<int> Step(int position, ServerEditor::Arrow arrow) {
  if (arrow == ServerEditor::Arrow::kUp) {
    if (position >= ServerEditor::kSpinMax) return std::nullopt;
    return position + 1;
  }
  if (position <= ServerEditor::kSpinMin) return std::nullopt;
  return position - 1;
}

}  // namespace

ServerEditor::Shown ServerEditor::FormShow(bool editMode) const {
  Shown shown;
  Fields& fields = shown.fields;
  fields.players = "0";
  fields.maxPlayers = "0";
  if (!editMode) return shown;
  const int position = m_table.SelectedIndex();
  if (!m_table.IsValid(position)) {
    shown.focusAddress = false;
    return shown;
  }
  const ServerRow& row = m_table.Row(position);
  fields.address = row.address;
  fields.name = row.cells[kNameCell];
  fields.map = row.cells[kMapCell];
  fields.comment = row.cells[kCommentCell];
  const std::string_view playersCell = row.cells[kPlayersCell];
  const auto slash = playersCell.find('/');
  if (slash == std::string::npos) {
    fields.players.clear();
    fields.maxPlayers = playersCell;
  } else {
    fields.players = playersCell.substr(0, slash);
    fields.maxPlayers = playersCell.substr(slash + 1);
  }
  fields.working = row.cells[kWCell] == "+";
  fields.password = row.cells[kPCell] == "+";
  ZeroIfEmpty(fields.players);
  ZeroIfEmpty(fields.maxPlayers);
  return shown;
}

std::string ServerEditor::NormaliseAddress(std::string_view address) {
  std::string result;
  result.reserve(address.size() + 1 + kDefaultPortText.size());
  for (char c : address) {
    if (c != ' ') result += c;
  }
  if (result.find(':') == std::string::npos) {
    result += ':';
    result += kDefaultPortText;
  }
  return result;
}

ServerEditor::Outcome ServerEditor::Button1Click(Fields& fields, bool editMode) {
  if (fields.address.empty()) return Outcome::kStayOpen;
  fields.address = NormaliseAddress(fields.address);
  if (!editMode) {
    m_table.BeginUpdate();
    const int position = m_table.AppendRow(fields.address);
    WriteCells(position, fields);
    m_table.EndUpdate();
    return Outcome::kAdded;
  }
  const int position = m_table.SelectedIndex();
  if (!m_table.IsValid(position)) return Outcome::kNothingToEdit;
  m_table.BeginUpdate();
  m_table.SetAddress(position, fields.address);
  WriteCells(position, fields);
  m_table.EndUpdate();
  return Outcome::kEdited;
}

void ServerEditor::WriteCells(int position, const Fields& fields) {
  m_table.SetCell(position, kNameCell, fields.name);
  m_table.SetCell(position, kMapCell, fields.map);
  m_table.SetCell(position, kPlayersCell, fields.players + "/" + fields.maxPlayers);
  m_table.SetCell(position, kCommentCell, fields.comment);
  m_table.SetCell(position, kWCell, fields.working ? "+" : "-");
  m_table.SetCell(position, kDCell, "D");
  m_table.SetCell(position, kSCell, "W");
  m_table.SetCell(position, kPCell, fields.password ? "+" : "-");
}

bool ServerEditor::UpDown1Arrow(Fields& fields, Arrow arrow) {
  const SpinValues values = ReadSpinValues(fields);
  const auto stepped = Step(values.players, arrow);
  if (!stepped) return false;
  if (arrow == Arrow::kUp && values.maxPlayers <= values.players) {
    fields.maxPlayers = std::to_string(values.players + 1);
  }
  fields.players = std::to_string(*stepped);
  return true;
}

bool ServerEditor::UpDown2Arrow(Fields& fields, Arrow arrow) {
  const SpinValues values = ReadSpinValues(fields);
  const auto stepped = Step(values.maxPlayers, arrow);
  if (!stepped) return false;
  if (arrow == Arrow::kDown && values.players >= values.maxPlayers) {
    fields.players = std::to_string(values.maxPlayers - 1);
  }
  fields.maxPlayers = std::to_string(*stepped);
  return true;
}

}  // namespace vantrix
