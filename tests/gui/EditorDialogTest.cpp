#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include "gui/GuiTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "gui/Unit1.h"
#include "gui/Unit2.h"
#include "gui/model/ServerTableModel.h"
#include "gui/widgets/UpDown.h"

using namespace vantrix;
using vantrix::test::MainWindowDriver;

namespace {

// Shows each dialog with its real modal loop and runs the test's script inside it. A
// dialog the script leaves open is closed with "Cancel" semantics afterwards, so a test
// can never hang in the loop.
class ScriptedDialogRunner final : public DialogRunner {
 public:
  struct Run {
    int result = -1;
    bool leftOpen = false;
  };

  std::function<void(TForm2&)> script;
  std::vector<Run> runs;

  int Exec(QDialog& dialog) override {
    const size_t index = runs.size();
    runs.push_back({});
    QTimer::singleShot(0, &dialog, [this, &dialog, index] {
      if (auto* editor = qobject_cast<TForm2*>(&dialog); editor && script) script(*editor);
      if (dialog.isVisible()) {
        runs[index].leftOpen = true;
        dialog.reject();
      }
    });
    const int result = dialog.exec();
    runs[index].result = result;
    return result;
  }
};

struct EditorFixture : MainWindowDriver {
  ScriptedDialogRunner* runner = nullptr;

  EditorFixture() {
    auto owned = std::make_unique<ScriptedDialogRunner>();
    runner = owned.get();
    recorded.app->SetDialogRunner(std::move(owned));
  }
  TForm2& Editor() { return recorded.app->Form2(); }
  ServerTable& Table() { return Form().Table(); }

  // Opens the editor through the main window's command with `script` running inside it.
  void Open(const char* command, std::function<void(TForm2&)> script) {
    runner->script = std::move(script);
    QAction* action = Form().MenuAction(QString::fromLatin1(command));
    QVERIFY(action);
    action->trigger();
  }
  const ScriptedDialogRunner::Run& LastRun() const { return runner->runs.back(); }
};

std::vector<std::string> Cells(const ServerTable& table, int row) {
  const auto& cells = table.Row(row).cells;
  return {cells.begin(), cells.end()};
}

void Type(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

// Every name and description the dialog offers to assistive technology.
void CollectAccessibleTexts(QAccessibleInterface* node, QStringList& out, int depth = 0) {
  if (!node || depth > 8) return;
  out << node->text(QAccessible::Name);
  for (int i = 0; i < node->childCount(); ++i) CollectAccessibleTexts(node->child(i), out, depth + 1);
}

}  // namespace

class EditorDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void AddWithUntouchedFieldsWritesTheDefaultCells() {
    EditorFixture f;
    f.Open("AddserverF41", [](TForm2& editor) {
      QCOMPARE(editor.windowTitle(), QStringLiteral("Add server"));
      QCOMPARE(editor.Button1()->text(), QStringLiteral("Add"));
      QCOMPARE(editor.Edit4()->text(), QStringLiteral("0"));
      QCOMPARE(editor.Edit3()->text(), QStringLiteral("0"));
      QVERIFY(editor.Edit2()->text().isEmpty());
      QVERIFY(editor.ComboBox1()->currentText().isEmpty());
      QCOMPARE(editor.focusWidget(), static_cast<QWidget*>(editor.Edit1()));
      QTest::keyClicks(editor.Edit1(), QStringLiteral("10.0.0.1"));
      QTest::mouseClick(editor.Button1(), Qt::LeftButton);
    });
    QCOMPARE(f.LastRun().result, int(QDialog::Accepted));
    QVERIFY(!f.LastRun().leftOpen);
    QCOMPARE(f.Table().Count(), 1);
    QCOMPARE(f.Table().Address(0), std::string("10.0.0.1:27015"));
    QCOMPARE(Cells(f.Table(), 0), (std::vector<std::string>{"", "", " ", "0/0", "", "-", "D", "W", "-"}));
  }

  void AddWritesEveryFieldAndLeftoversFromEarlierOpeningsAreReset() {
    EditorFixture f;
    f.Open("AddserverF41", [](TForm2& editor) {
      Type(editor.Edit1(), QStringLiteral(" 10.0.0.2 : 27016 "));
      editor.Edit2()->setText(QStringLiteral("Caf\u00e9 <b>one</b>"));
      editor.ComboBox1()->setEditText(QStringLiteral("my_own_map"));
      Type(editor.Edit4(), QStringLiteral("7"));
      Type(editor.Edit3(), QStringLiteral("12"));
      Type(editor.Edit5(), QStringLiteral("note"));
      editor.CheckBox1()->setChecked(true);
      editor.CheckBox2()->setChecked(true);
      QTest::mouseClick(editor.Button1(), Qt::LeftButton);
      // The cleaned address is put back into the field.
      QCOMPARE(editor.Edit1()->text(), QStringLiteral("10.0.0.2:27016"));
    });
    QCOMPARE(f.Table().Count(), 1);
    QCOMPARE(f.Table().Address(0), std::string("10.0.0.2:27016"));
    QCOMPARE(Cells(f.Table(), 0), (std::vector<std::string>{"Caf\xC3\xA9 <b>one</b>", "my_own_map", " ",
                                                            "7/12", "note", "+", "D", "W", "+"}));
    // The next opening starts from empty fields again.
    f.Open("AddserverF41", [](TForm2& editor) {
      QVERIFY(editor.Edit1()->text().isEmpty());
      QVERIFY(editor.Edit2()->text().isEmpty());
      QVERIFY(editor.Edit5()->text().isEmpty());
      QVERIFY(editor.ComboBox1()->currentText().isEmpty());
      QCOMPARE(editor.Edit4()->text(), QStringLiteral("0"));
      QVERIFY(!editor.CheckBox1()->isChecked());
      QVERIFY(!editor.CheckBox2()->isChecked());
      // Only spaces: not empty, so it becomes the bare default port.
      QTest::keyClicks(editor.Edit1(), QStringLiteral("   "));
      QTest::mouseClick(editor.Button1(), Qt::LeftButton);
    });
    QCOMPARE(f.Table().Count(), 2);
    QCOMPARE(f.Table().Address(1), std::string(":27015"));
  }

  void EmptyAddressKeepsTheDialogOpenAndCancelWritesNothing() {
    EditorFixture f;
    f.Open("AddserverF41", [](TForm2& editor) {
      Type(editor.Edit2(), QStringLiteral("name"));
      QTest::mouseClick(editor.Button1(), Qt::LeftButton);
      QVERIFY(editor.isVisible());
      Type(editor.Edit1(), QStringLiteral("10.0.0.3"));
      QTest::mouseClick(editor.Button3(), Qt::LeftButton);
    });
    QCOMPARE(f.LastRun().result, int(QDialog::Rejected));
    QVERIFY(!f.LastRun().leftOpen);
    QCOMPARE(f.Table().Count(), 0);
    // The close box does the same.
    f.Open("AddserverF41", [](TForm2& editor) {
      Type(editor.Edit1(), QStringLiteral("10.0.0.3"));
      QVERIFY(editor.close());
    });
    QVERIFY(!f.LastRun().leftOpen);
    QCOMPARE(f.Table().Count(), 0);
  }

  void EnterActsOnlyInTheAddressField() {
    EditorFixture f;
    f.Open("AddserverF41", [](TForm2& editor) {
      for (QPushButton* button : editor.findChildren<QPushButton*>()) {
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
      }
      Type(editor.Edit1(), QStringLiteral("10.0.0.4"));
      for (QWidget* other :
           {static_cast<QWidget*>(editor.Edit2()), static_cast<QWidget*>(editor.Edit5()),
            static_cast<QWidget*>(editor.Edit4()), static_cast<QWidget*>(editor.CheckBox1()),
            static_cast<QWidget*>(editor.Button3()), static_cast<QWidget*>(editor.Button2())}) {
        other->setFocus();
        QTest::keyClick(other, Qt::Key_Return);
        QTest::keyClick(other, Qt::Key_Enter);
        QVERIFY2(editor.isVisible(), qPrintable(other->objectName()));
      }
      // Enter in the map field adds nothing to the drop-down list either.
      editor.ComboBox1()->setEditText(QStringLiteral("typed_map"));
      QTest::keyClick(editor.ComboBox1()->lineEdit(), Qt::Key_Return);
      QVERIFY(editor.isVisible());
      QCOMPARE(editor.ComboBox1()->count(), 17);
      QTest::keyClick(editor.Edit1(), Qt::Key_Return);
    });
    QCOMPARE(f.LastRun().result, int(QDialog::Accepted));
    QCOMPARE(f.Table().Count(), 1);
    QCOMPARE(f.Table().Cell(0, kMapCell), std::string("typed_map"));
  }

  void EditKeepsPingAndUntouchedBytesAndEnterActsAsOk() {
    EditorFixture f;
    ServerRow row = ServerRow::Blank("10.0.0.5:27015");
    row.cells[kNameCell] = "caf\xE9";  // Latin-1, not UTF-8
    row.cells[kMapCell] = "de_aztec";
    row.cells[kPingCell] = "33";
    row.cells[kCommentCell] = "old";
    f.Table().AppendRow("10.0.0.9:27015");
    f.Table().AppendRow(row);
    f.Select(1);
    f.Open("EditserverF41", [](TForm2& editor) {
      QCOMPARE(editor.windowTitle(), QStringLiteral("Edit server"));
      QCOMPARE(editor.Button1()->text(), QStringLiteral("OK"));
      QCOMPARE(editor.Edit1()->text(), QStringLiteral("10.0.0.5:27015"));
      QCOMPARE(editor.Edit2()->text(), QStringLiteral("caf\u00e9"));
      QCOMPARE(editor.ComboBox1()->currentText(), QStringLiteral("de_aztec"));
      // A blank players cell shows 0 and 0.
      QCOMPARE(editor.Edit4()->text(), QStringLiteral("0"));
      QCOMPARE(editor.Edit3()->text(), QStringLiteral("0"));
      QVERIFY(!editor.CheckBox1()->isChecked());
      QCOMPARE(editor.focusWidget(), static_cast<QWidget*>(editor.Edit1()));
      QTest::keyClick(editor.Edit1(), Qt::Key_Return);
    });
    QCOMPARE(f.LastRun().result, int(QDialog::Accepted));
    QCOMPARE(f.Table().Count(), 2);
    QCOMPARE(f.Table().Address(1), std::string("10.0.0.5:27015"));
    QCOMPARE(Cells(f.Table(), 1),
             (std::vector<std::string>{"caf\xE9", "de_aztec", "33", "0/0", "old", "-", "D", "W", "-"}));
    QCOMPARE(f.Table().Address(0), std::string("10.0.0.9:27015"));
    QCOMPARE(f.Table().Cell(0, kDCell), std::string(" "));
  }

  void LoadedPlayersTextsSurviveOkUnchanged() {
    EditorFixture f;
    ServerRow row = ServerRow::Blank("10.0.0.6:27015");
    row.cells[kPlayersCell] = "255/abc";
    row.cells[kWCell] = "+";
    row.cells[kPCell] = "+";
    f.Table().AppendRow(row);
    f.Select(0);
    f.Open("EditserverF41", [](TForm2& editor) {
      QCOMPARE(editor.Edit4()->text(), QStringLiteral("255"));
      QCOMPARE(editor.Edit3()->text(), QStringLiteral("abc"));
      QVERIFY(editor.CheckBox1()->isChecked());
      QVERIFY(editor.CheckBox2()->isChecked());
      QTest::mouseClick(editor.Button1(), Qt::LeftButton);
    });
    QCOMPARE(f.Table().Cell(0, kPlayersCell), std::string("255/abc"));
    QCOMPARE(f.Table().Cell(0, kWCell), std::string("+"));
    QCOMPARE(f.Table().Cell(0, kPCell), std::string("+"));
    QVERIFY(f.recorded.errors->empty());
  }

  void EditWithAVanishedSelectionWritesNothing() {
    EditorFixture f;
    f.Table().AppendRow("10.0.0.7:27015");
    f.Select(0);
    f.Open("EditserverF41", [&f](TForm2& editor) {
      Type(editor.Edit2(), QStringLiteral("changed"));
      f.Table().SetSelectedIndex(-1);
      QTest::mouseClick(editor.Button1(), Qt::LeftButton);
    });
    QVERIFY(!f.LastRun().leftOpen);
    QCOMPARE(f.Table().Count(), 1);
    QCOMPARE(f.Table().Cell(0, kNameCell), std::string(" "));
    QCOMPARE(f.Table().Cell(0, kDCell), std::string(" "));
  }

  void SpinArrowsKeepThePlayersAtOrBelowTheMaximum() {
    EditorFixture f;
    f.Open("AddserverF41", [](TForm2& editor) {
      auto set = [&](const char* players, const char* maximum) {
        editor.Edit4()->setText(QString::fromLatin1(players));
        editor.Edit3()->setText(QString::fromLatin1(maximum));
      };
      auto texts = [&]() -> QString {
        return editor.Edit4()->text() + QStringLiteral("/") + editor.Edit3()->text();
      };
      set("5", "5");
      QTest::mouseClick(editor.UpDown1()->UpButton(), Qt::LeftButton);
      QCOMPARE(texts(), QStringLiteral("6/6"));
      set("5", "5");
      QTest::mouseClick(editor.UpDown2()->DownButton(), Qt::LeftButton);
      QCOMPARE(texts(), QStringLiteral("4/4"));
      // The arrows without a rule only step.
      set("3", "9");
      QTest::mouseClick(editor.UpDown1()->UpButton(), Qt::LeftButton);
      QTest::mouseClick(editor.UpDown2()->DownButton(), Qt::LeftButton);
      QCOMPARE(texts(), QStringLiteral("4/8"));
      QTest::mouseClick(editor.UpDown1()->DownButton(), Qt::LeftButton);
      QTest::mouseClick(editor.UpDown2()->UpButton(), Qt::LeftButton);
      QCOMPARE(texts(), QStringLiteral("3/9"));
      // The Up and Down keys in a field act as its arrows.
      set("5", "5");
      editor.Edit4()->setFocus();
      QTest::keyClick(editor.Edit4(), Qt::Key_Up);
      QCOMPARE(texts(), QStringLiteral("6/6"));
      QTest::keyClick(editor.Edit3(), Qt::Key_Down);
      QCOMPARE(texts(), QStringLiteral("5/5"));
      // At the ends of 0..32 an arrow does not step, and its rule is not applied.
      set("0", "0");
      QTest::mouseClick(editor.UpDown2()->DownButton(), Qt::LeftButton);
      QCOMPARE(texts(), QStringLiteral("0/0"));
      set("32", "32");
      QTest::mouseClick(editor.UpDown1()->UpButton(), Qt::LeftButton);
      QCOMPARE(texts(), QStringLiteral("32/32"));
      // The arrows leave the fields free-typing and are no buttons of the dialog's focus chain.
      QCOMPARE(editor.UpDown1()->UpButton()->accessibleName(), QStringLiteral("Up"));
      QCOMPARE(editor.UpDown1()->DownButton()->accessibleName(), QStringLiteral("Down"));
      QCOMPARE(editor.UpDown1()->UpButton()->focusPolicy(), Qt::NoFocus);
    });
    QVERIFY(f.recorded.errors->empty());
  }

  void AnArrowOnANonNumberGoesToTheErrorReport() {
    EditorFixture f;
    f.Open("AddserverF41", [&f](TForm2& editor) {
      editor.Edit4()->setText(QStringLiteral("abc"));
      editor.Edit3()->setText(QStringLiteral("5"));
      QTest::mouseClick(editor.UpDown1()->UpButton(), Qt::LeftButton);
      QCOMPARE(f.recorded.errors->size(), size_t(1));
      QCOMPARE(f.recorded.errors->back(), std::string("'abc' is not a valid integer value"));
      QCOMPARE(editor.Edit4()->text(), QStringLiteral("abc"));
      QCOMPARE(editor.Edit3()->text(), QStringLiteral("5"));
      // The other arrow reads both fields too.
      QTest::mouseClick(editor.UpDown2()->DownButton(), Qt::LeftButton);
      QCOMPARE(f.recorded.errors->size(), size_t(2));
      QCOMPARE(editor.Edit3()->text(), QStringLiteral("5"));
      // The dialog goes on: OK still writes what is typed.
      QVERIFY(editor.isVisible());
      Type(editor.Edit1(), QStringLiteral("10.0.0.8"));
      QTest::mouseClick(editor.Button1(), Qt::LeftButton);
    });
    QCOMPARE(f.Table().Count(), 1);
    QCOMPARE(f.Table().Cell(0, kPlayersCell), std::string("abc/5"));
  }

  void SettingsToggleSwitchesTheHeightAndKeepsItBetweenOpenings() {
    EditorFixture f;
    TForm2& editor = f.Editor();
    QCOMPARE(editor.height(), 209);
    QCOMPARE(editor.Button2()->text(), QStringLiteral("<< Settings"));
    QCOMPARE(editor.Bevel1()->geometry(), QRect(0, 56, editor.width(), 1));
    // Every lower field shows at the created height and lies below the line; the top band above it.
    for (QWidget* lower : {static_cast<QWidget*>(editor.Edit2()), static_cast<QWidget*>(editor.ComboBox1()),
                           static_cast<QWidget*>(editor.Edit4()), static_cast<QWidget*>(editor.Edit3()),
                           static_cast<QWidget*>(editor.UpDown1()), static_cast<QWidget*>(editor.UpDown2()),
                           static_cast<QWidget*>(editor.Edit5()), static_cast<QWidget*>(editor.CheckBox1()),
                           static_cast<QWidget*>(editor.CheckBox2())}) {
      QVERIFY2(lower->geometry().top() > 56, qPrintable(lower->objectName()));
      QVERIFY2(lower->geometry().bottom() < 209, qPrintable(lower->objectName()));
      QVERIFY2(lower->geometry().right() < editor.width(), qPrintable(lower->objectName()));
    }
    for (QWidget* top : {static_cast<QWidget*>(editor.Edit1()), static_cast<QWidget*>(editor.Button1()),
                         static_cast<QWidget*>(editor.Button2()), static_cast<QWidget*>(editor.Button3())}) {
      QVERIFY2(top->geometry().bottom() < 56, qPrintable(top->objectName()));
      QVERIFY2(top->geometry().right() < editor.width(), qPrintable(top->objectName()));
    }
    f.Open("AddserverF41", [](TForm2& shown) {
      QTest::mouseClick(shown.Button2(), Qt::LeftButton);
      QCOMPARE(shown.height(), 57);
      QCOMPARE(shown.Button2()->text(), QStringLiteral("Settings >>"));
      QCOMPARE(shown.minimumSize(), shown.maximumSize());
    });
    QCOMPARE(editor.height(), 57);
    f.Open("AddserverF41", [](TForm2& shown) {
      QCOMPARE(shown.height(), 57);
      QTest::mouseClick(shown.Button2(), Qt::LeftButton);
      QCOMPARE(shown.height(), 249);
      QCOMPARE(shown.Button2()->text(), QStringLiteral("<< Settings"));
    });
    f.Open("AddserverF41", [](TForm2& shown) { QCOMPARE(shown.height(), 249); });
    QCOMPARE(f.Table().Count(), 0);
  }

  void MapListAndTextsAreThereForAssistiveTechnology() {
    EditorFixture f;
    TForm2& editor = f.Editor();
    QCOMPARE(editor.ComboBox1()->count(), 17);
    QStringList maps;
    for (int i = 0; i < editor.ComboBox1()->count(); ++i) maps << editor.ComboBox1()->itemText(i);
    QCOMPARE(maps.first(), QStringLiteral("de_dust2"));
    QCOMPARE(maps.last(), QStringLiteral("de_train"));
    QCOMPARE(maps, TForm2::MapNames());
    QVERIFY(editor.ComboBox1()->isEditable());

    QStringList texts;
    CollectAccessibleTexts(QAccessible::queryAccessibleInterface(&editor), texts);
    for (const char* expected : {"Server IP:", "Server name", "Map", "Players", "/", "Comment", "Working",
                                 "Password protected", "Add", "Cancel", "<< Settings", "Up", "Down"}) {
      QVERIFY2(texts.contains(QString::fromLatin1(expected)), expected);
    }
    // The fields are named by their labels.
    QAccessibleInterface* address = QAccessible::queryAccessibleInterface(editor.Edit1());
    QVERIFY(address);
    QCOMPARE(address->text(QAccessible::Name), QStringLiteral("Server IP:"));
    QAccessibleInterface* players = QAccessible::queryAccessibleInterface(editor.Edit4());
    QCOMPARE(players->text(QAccessible::Name), QStringLiteral("Players"));
    // Labels show plain text in bright green, bold, and whole.
    for (QLabel* label : editor.findChildren<QLabel*>()) {
      QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
      QCOMPARE(label->textFormat(), Qt::PlainText);
      QVERIFY(label->font().bold());
      QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    }
    for (QCheckBox* box : {editor.CheckBox1(), editor.CheckBox2()})
      QVERIFY2(box->sizeHint().width() <= box->width(), qPrintable(box->text()));
    for (QPushButton* button : {editor.Button1(), editor.Button2(), editor.Button3()}) {
      QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 8 <= button->width(),
               qPrintable(button->text()));
    }
  }
};

QTEST_MAIN(EditorDialogTest)
#include "EditorDialogTest.moc"
