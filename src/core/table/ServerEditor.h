#pragma once

#include <string>
#include <string_view>

#include "core/table/ServerTable.h"

namespace vantrix {

// The row logic of the server editor dialog: which texts its fields show when it opens,
// and what "Add" / "OK" and the players spin arrows do. The dialog copies Fields to and
// from its widgets; nothing is kept between openings.
class ServerEditor {
 public:
  // The dialog's fields, as texts and ticks.
  struct Fields {
    std::string address;     // Edit1
    std::string name;        // Edit2
    std::string map;         // ComboBox1
    std::string players;     // Edit4, before the "/"
    std::string maxPlayers;  // Edit3, after the "/"
    std::string comment;     // Edit5
    bool working = false;    // CheckBox1
    bool password = false;   // CheckBox2

    bool operator==(const Fields&) const = default;
  };

  struct Shown {
    Fields fields;
    bool focusAddress = true;  // false when edit mode found no selected row
  };

  enum class Outcome {
    kStayOpen,       // empty address: nothing written, the dialog stays open
    kAdded,          // a row was appended; the dialog closes
    kEdited,         // the selected row was overwritten; the dialog closes
    kNothingToEdit,  // edit mode, but no row is selected any more: nothing written; closes
  };

  enum class Arrow { kUp, kDown };

  // Both spin arrows move within this range; at its ends an arrow does not step.
  static constexpr int kSpinMin = 0;
  static constexpr int kSpinMax = 32;

  explicit ServerEditor(ServerTable& table) : m_table(table) {}

  // The fields when the dialog opens: reset, and in edit mode filled from the selected row.
  Shown FormShow(bool editMode) const;

  // "Add" / "OK". Puts the normalised address back into fields.address.
  Outcome Button1Click(Fields& fields, bool editMode);

  // Every space removed, then ":27015" appended when there is no ":".
  static std::string NormaliseAddress(std::string_view address);

  // An arrow of UpDown1 (players, Edit4) or UpDown2 (maximum, Edit3): the keep-in-range
  // rule, from the texts before the step, then the step itself. Nothing changes when the
  // arrow cannot step (its field at the range's end). Returns whether it stepped.
  // Either field not a whole number: ConversionError, and nothing changes. A typed number
  // outside the range counts as the nearest end, so an arrow never writes one.
  static bool UpDown1Arrow(Fields& fields, Arrow arrow);
  static bool UpDown2Arrow(Fields& fields, Arrow arrow);

 private:
  void WriteCells(int position, const Fields& fields);

  ServerTable& m_table;
};

}  // namespace vantrix
