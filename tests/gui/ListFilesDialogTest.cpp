// The real file dialogs, answered while they are open: their texts and options, the filter
// preselected and read back, and the list-file commands going through them.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "core/io/TextFile.h"
#include "core/lists/FileDialogs.h"
#include "gui/ListFilesTestSupport.h"
#include "gui/platform/QtFileChooser.h"
#include "support/TestData.h"

using namespace vantrix;
using namespace vantrix::test;
namespace fs = std::filesystem;

namespace {

// What a test saw of the dialog while it was open.
struct Look {
  bool shown = false;
  QString objectName;
  QString title;
  QStringList filters;
  QString selectedFilter;
  QString fileName;
  QString defaultSuffix;
  QFileDialog::FileMode fileMode = QFileDialog::ExistingFile;
  QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
  QFileDialog::Options options;
  bool sidebarShown = true;
  bool questionAsked = false;
};

// Answers a question box that came up (noting it) and closes the file dialog if it is still
// open, for a while, so a test whose answer did not close the dialog fails instead of hanging.
void CloseWhateverStaysOpen(Look& look, QPointer<QFileDialog> dialog, int round) {
  if (!dialog || !dialog->isVisible() || round >= 100) return;
  QTimer::singleShot(50, [&look, dialog, round] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      look.questionAsked = true;
      box->done(QMessageBox::No);
    } else if (dialog && dialog->isVisible()) {
      static_cast<QDialog*>(dialog.data())->done(QDialog::Rejected);
    }
    CloseWhateverStaysOpen(look, dialog, round + 1);
  });
}

// Waits (bounded) for the modal file dialog, notes its look, lets `act` answer it and
// makes sure it closes: a question box that comes up is noted and answered No.
void WhenTheDialogShows(Look& look, std::function<void(QFileDialog&)> act, int round = 0) {
  QTimer::singleShot(round == 0 ? 0 : 10, [&look, act = std::move(act), round]() mutable {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) {
      if (round < 500) WhenTheDialogShows(look, std::move(act), round + 1);
      return;
    }
    look.shown = true;
    look.objectName = dialog->objectName();
    look.title = dialog->windowTitle();
    // The entries as the user reads them in the dialog's file-type box.
    if (auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
      for (int i = 0; i < types->count(); ++i) look.filters << types->itemText(i);
      look.selectedFilter = types->currentText();
    }
    if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
      look.fileName = edit->text();
    look.defaultSuffix = dialog->defaultSuffix();
    look.fileMode = dialog->fileMode();
    look.acceptMode = dialog->acceptMode();
    look.options = dialog->options();
    if (auto* sidebar = dialog->findChild<QWidget*>(QStringLiteral("sidebar")))
      look.sidebarShown = sidebar->isVisible();
    // Before the answer: a question the answer brings up runs its own loop inside it.
    CloseWhateverStaysOpen(look, dialog, 0);
    act(*dialog);
  });
}

// Types a name into the dialog, picks a filter and confirms.
std::function<void(QFileDialog&)> Confirm(const fs::path& folder, const QString& name, int filterIndex) {
  return [folder, name, filterIndex](QFileDialog& dialog) {
    dialog.setDirectory(QString::fromStdString(folder.string()));
    if (filterIndex > 0) dialog.selectNameFilter(dialog.nameFilters().value(filterIndex - 1));
    dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
    static_cast<QDialog&>(dialog).accept();  // the dialog's own checks run, as on its button
  };
}

QStringList ListFilters() {
  return {QStringLiteral("Файлы Vantrix (*.vnx)"), QStringLiteral("Текстовые файлы (*.txt)"),
          QStringLiteral("Все файлы (*.*)")};
}

}  // namespace

class ListFilesDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void OpenDialogHasItsTextsAndAcceptsAMissingName() {
    TempDir dir;
    QWidget parent;
    QtFileChooser chooser(&parent);
    Look look;
    WhenTheDialogShows(look, Confirm(dir.Path(), QStringLiteral("missing"), 0));
    const std::optional<FileChoice> choice = chooser.Choose(kOpenDialog1, 2);
    QVERIFY(look.shown);
    QCOMPARE(look.objectName, QStringLiteral("OpenDialog1"));
    QCOMPARE(look.title, QStringLiteral("Open file"));
    QCOMPARE(look.filters, ListFilters());
    QCOMPARE(look.selectedFilter, ListFilters()[1]);
    QCOMPARE(look.fileName, QString());
    QCOMPARE(look.defaultSuffix, QStringLiteral("txt"));
    QCOMPARE(look.fileMode, QFileDialog::AnyFile);
    QCOMPARE(look.acceptMode, QFileDialog::AcceptOpen);
    QVERIFY(look.options.testFlag(QFileDialog::DontConfirmOverwrite));
    QVERIFY(!look.sidebarShown);
    // A name that does not exist is accepted, completed with the default extension.
    QVERIFY(choice.has_value());
    QCOMPARE(choice->path, (dir / "missing.txt").string());
    QCOMPARE(choice->filterIndex, 2);
  }

  void TheFilterChosenInTheDialogComesBackAsItsIndex() {
    TempDir dir;
    QtFileChooser chooser;
    for (int filter : {1, 2, 3}) {
      Look look;
      WhenTheDialogShows(look, Confirm(dir.Path(), QStringLiteral("list.vnx"), filter));
      const std::optional<FileChoice> choice = chooser.Choose(kOpenDialog1, 1);
      QVERIFY(choice.has_value());
      QCOMPARE(choice->filterIndex, filter);
      QCOMPARE(choice->path, (dir / "list.vnx").string());  // a typed extension is kept
    }
  }

  void SaveDialogReplacesWithoutAQuestion() {
    TempDir dir;
    Spit(dir / "old.vnx", "old");
    QtFileChooser chooser;
    Look look;
    WhenTheDialogShows(look, Confirm(dir.Path(), QStringLiteral("old.vnx"), 0));
    const std::optional<FileChoice> choice = chooser.Choose(kSaveDialog1, 3);
    QVERIFY(look.shown);
    QCOMPARE(look.objectName, QStringLiteral("SaveDialog1"));
    QCOMPARE(look.title, QStringLiteral("Save file"));
    QCOMPARE(look.acceptMode, QFileDialog::AcceptSave);
    QCOMPARE(look.selectedFilter, ListFilters()[2]);
    QVERIFY(!look.questionAsked);
    QVERIFY(choice.has_value());
    QCOMPARE(choice->path, (dir / "old.vnx").string());
    QCOMPARE(choice->filterIndex, 3);
  }

  void ImportDialogsHaveTheirOwnFiltersAndExtensions() {
    TempDir dir;
    QtFileChooser chooser;
    Look orbisk;
    WhenTheDialogShows(orbisk, Confirm(dir.Path(), QStringLiteral("favourites"), 0));
    const std::optional<FileChoice> orbiskChoice = chooser.Choose(kOpenDialog2, 1);
    QCOMPARE(orbisk.objectName, QStringLiteral("OpenDialog2"));
    QCOMPARE(orbisk.title, QStringLiteral("Open file"));
    QCOMPARE(orbisk.filters,
             (QStringList{QStringLiteral("Файлы Orbisk (*.ini)"), QStringLiteral("Все файлы (*.*)")}));
    QCOMPARE(orbisk.defaultSuffix, QStringLiteral("ini"));
    QVERIFY(orbiskChoice.has_value());
    QCOMPARE(orbiskChoice->path, (dir / "favourites.ini").string());

    Look trelvanox;
    WhenTheDialogShows(trelvanox, Confirm(dir.Path(), QStringLiteral("settings"), 2));
    const std::optional<FileChoice> trelvanoxChoice = chooser.Choose(kOpenDialog3, 1);
    QCOMPARE(trelvanox.objectName, QStringLiteral("OpenDialog3"));
    QCOMPARE(trelvanox.filters,
             (QStringList{QStringLiteral("Файлы Trelvanox (*.txt)"), QStringLiteral("Все файлы (*.*)")}));
    QCOMPARE(trelvanox.defaultSuffix, QStringLiteral("txt"));
    QVERIFY(trelvanoxChoice.has_value());
    QCOMPARE(trelvanoxChoice->filterIndex, 2);
  }

  void CancelGivesNothingAndTheNameStartsEmptyEachTime() {
    TempDir dir;
    QtFileChooser chooser;
    Look first;
    WhenTheDialogShows(first, Confirm(dir.Path(), QStringLiteral("chosen.vnx"), 1));
    QVERIFY(chooser.Choose(kOpenDialog1, 1).has_value());
    Look second;
    WhenTheDialogShows(second, [](QFileDialog& dialog) { dialog.reject(); });
    QVERIFY(!chooser.Choose(kOpenDialog1, 1).has_value());
    QVERIFY(second.shown);
    QCOMPARE(second.fileName, QString());
  }

  void FilterLabelsGetTheirPatternWhenTheyLackIt() {
    constexpr FileDialogInfo kOther{"Other", FileDialogKind::kOpen, "t", "Lists|*.lst|All (*.*)|*.*",
                                    "*.lst"};
    QCOMPARE(QtFileChooser::DisplayedFilters(kOther),
             (QStringList{QStringLiteral("Lists (*.lst)"), QStringLiteral("All (*.*)")}));
    QCOMPARE(QtFileChooser::DefaultSuffix(kOther), QStringLiteral("lst"));
    constexpr FileDialogInfo kBare{"Bare", FileDialogKind::kSave, "t", "Lists|*.lst", "lst"};
    QCOMPARE(QtFileChooser::DefaultSuffix(kBare), QStringLiteral("lst"));
    QCOMPARE(QtFileChooser::DisplayedFilters(kOpenDialog1), ListFilters());
  }

  void AllFilesListsNamesWithoutADotToo() {
    TempDir dir;
    Spit(dir / "servers", "10.0.0.1:27015\r\n");
    Spit(dir / "list.vnx", "");
    Spit(dir / "notes.txt", "");
    QtFileChooser chooser;
    QStringList listed[3];
    for (int filter : {1, 2, 3}) {
      Look look;
      WhenTheDialogShows(look, [&, filter](QFileDialog& dialog) {
        dialog.setDirectory(QString::fromStdString(dir.Path().string()));
        dialog.selectNameFilter(dialog.nameFilters().value(filter - 1));
        // The names the dialog's own list lets through under the selected entry.
        auto* files = dialog.findChild<QFileSystemModel*>();
        if (files) listed[filter - 1] = QDir(files->rootPath()).entryList(files->nameFilters(), QDir::Files);
        dialog.reject();
      });
      QVERIFY(!chooser.Choose(kOpenDialog1, 1).has_value());
      QVERIFY(look.shown);
      QCOMPARE(look.filters, ListFilters());  // the labels stay as written
    }
    QCOMPARE(listed[0], QStringList{QStringLiteral("list.vnx")});
    QCOMPARE(listed[1], QStringList{QStringLiteral("notes.txt")});
    QCOMPARE(listed[2], (QStringList{QStringLiteral("list.vnx"), QStringLiteral("notes.txt"),
                                     QStringLiteral("servers")}));
  }

  void CommandsGoThroughTheRealDialogs() {
    {
      Application plain;  // the program's own file dialogs are these
      QVERIFY(dynamic_cast<QtFileChooser*>(&plain.Files()) != nullptr);
    }
    // The chooser the program uses, no script.
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    recorded.app->SetFileChooser(std::make_unique<QtFileChooser>(&form));
    const fs::path lists = DataDir() / "lists";

    Look open;
    WhenTheDialogShows(open, Confirm(lists, QStringLiteral("plain.txt"), 2));
    form.MenuAction(QStringLiteral("Openfromfile1"))->trigger();
    QVERIFY(open.shown);
    QCOMPARE(open.selectedFilter, ListFilters()[0]);  // the first filter at start
    QCOMPARE(form.Table().Count(), 7);
    QCOMPARE(form.StatusPanel(3)->text(), QStringLiteral("Idle..."));

    // Import shares Open's dialog: the filter confirmed there is preselected.
    Look import;
    WhenTheDialogShows(import, Confirm(lists, QStringLiteral("records.vnx"), 1));
    form.MenuAction(QStringLiteral("Importfromfile1"))->trigger();
    QCOMPARE(import.selectedFilter, ListFilters()[1]);
    QCOMPARE(import.fileName, QString());
    QCOMPARE(form.Table().Count(), 10);

    // Save has its own: still the first filter; the name typed without extension gets ".txt".
    TempDir dir;
    Look save;
    WhenTheDialogShows(save, Confirm(dir.Path(), QStringLiteral("saved"), 2));
    form.MenuAction(QStringLiteral("Saveto1"))->trigger();
    QCOMPARE(save.selectedFilter, ListFilters()[0]);
    QVERIFY(fs::exists(dir / "saved.txt"));
    QCOMPARE(SplitLines(Slurp(dir / "saved.txt")).size(), size_t(10));  // plain: one line a row

    Look again;
    WhenTheDialogShows(again, [](QFileDialog& dialog) { dialog.reject(); });
    form.MenuAction(QStringLiteral("Openfromfile1"))->trigger();
    QCOMPARE(again.selectedFilter, ListFilters()[0]);  // Import confirmed the first filter last
    QCOMPARE(form.Table().Count(), 10);                // cancelled: nothing changed
    QVERIFY(recorded.errors->empty());
  }
};

QTEST_MAIN(ListFilesDialogTest)
#include "ListFilesDialogTest.moc"
