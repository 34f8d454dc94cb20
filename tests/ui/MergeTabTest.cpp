#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "cli/Cli.h"
#include "merge/MergeTab.h"
#include "support/MergeFixtures.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// The three files of the worked example in the fixture's directory, and a file the mask leaves out.
std::vector<std::vector<std::uint8_t>> WriteExample(const UiFixture& f) {
    testsupport::WriteFile(f.dir / "notes.txt", {'x'});
    return {testsupport::WritePatternFile(f.dir / "a.bin", 0x100, 1),
            testsupport::WritePatternFile(f.dir / "b.bin", 0x35, 2),
            testsupport::WritePatternFile(f.dir / "logo.BIN", 0x1000, 3)};
}

merge::MergeTab* ShowMergeTab(UiFixture& f) {
    auto& w = f.Window();
    ShowTab(w, "TabSheet_MERGE");
    return Child<merge::MergeTab>(&w, "TabSheet_MERGE");
}

QStringList Files(merge::MergeTab* tab) {
    QStringList names;
    auto* list = Child<QListWidget>(tab, "FileListBox_MERGE");
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

// Double-clicks the file of that name in the file list, as a user does.
void DoubleClickFile(merge::MergeTab* tab, const QString& name) {
    auto* list = Child<QListWidget>(tab, "FileListBox_MERGE");
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(name));
    const QPoint at = list->visualItemRect(found.front()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

// Row r of the grid (r = 1..199) as its four cells, "|"-separated.
QString Row(merge::MergeTab* tab, int r) {
    auto* grid = Child<QTableWidget>(tab, "StringGrid_MERGE");
    QStringList cells;
    for (int c = 0; c < 4; ++c)
        cells << (grid->item(r - 1, c) ? grid->item(r - 1, c)->text() : QString());
    return cells.join(QLatin1Char('|'));
}

void SelectGridRow(merge::MergeTab* tab, int r) {
    Child<QTableWidget>(tab, "StringGrid_MERGE")->setCurrentCell(r - 1, 1);
}

void Click(merge::MergeTab* tab, const char* button) {
    QTest::mouseClick(Child<QPushButton>(tab, button), Qt::LeftButton);
}

QString Text(merge::MergeTab* tab, const char* label) {
    return Child<QLabel>(tab, label)->text();
}

std::string Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = cli::Run(args, out, err);
    if (code != 0) qWarning("tavix-cli: %s", err.str().c_str());
    return out.str();
}

} // namespace

class MergeTabTest : public QObject {
    Q_OBJECT
private slots:
    void controlsCarryTheirCaptionsNamesAndStartValues() {
        UiFixture f;
        WriteExample(f);
        merge::MergeTab* tab = ShowMergeTab(f);
        QCOMPARE(Text(tab, "Label_TotalAddress"), QStringLiteral("Total: 0x0 (0)"));
        QCOMPARE(Text(tab, "Label_MergeFileNo"), QStringLiteral("Merged File No.: 0"));
        const std::pair<const char*, const char*> buttons[] = {
            {"BitBtn_UP", "Up"},
            {"BitBtn_DOWN", "Down"},
            {"BitBtn_DELETE", "Delete"},
            {"BitBtn_MERGE", "Merge"},
            {"BitBtn_FileListClear", "Clear File List"},
            {"BitBtn_FileListLoad", "Load File List"},
            {"BitBtn_FileListSave", "Save File List"},
        };
        for (const auto& [name, caption] : buttons) {
            QCOMPARE(Child<QPushButton>(tab, name)->text(), QString::fromLatin1(caption));
            QVERIFY(!Child<QPushButton>(tab, name)->toolTip().isEmpty());
        }
        for (const char* name : {"DriveComboBox_MERGE", "DirectoryListBox_MERGE", "FilterComboBox_MERGE",
                                 "FileListBox_MERGE", "StringGrid_MERGE"}) {
            QVERIFY2(!Child<QWidget>(tab, name)->accessibleName().isEmpty(), name);
            QVERIFY2(!Child<QWidget>(tab, name)->toolTip().isEmpty(), name);
        }

        auto* grid = Child<QTableWidget>(tab, "StringGrid_MERGE");
        QCOMPARE(grid->rowCount(), 199);
        QCOMPARE(grid->columnCount(), 4);
        const QStringList titles = {"No.", "Address", "Size", "Name"};
        const int widths[] = {40, 81, 91, 206};
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(grid->horizontalHeaderItem(c)->text(), titles[c]);
            QCOMPARE(grid->columnWidth(c), widths[c]);
        }
        QCOMPARE(Row(tab, 1), QStringLiteral("1|||"));
        QCOMPARE(Row(tab, 199), QStringLiteral("199|||"));

        auto* filter = Child<QComboBox>(tab, "FilterComboBox_MERGE");
        QCOMPARE(filter->count(), 2);
        QCOMPARE(filter->itemText(0), QStringLiteral("BIN files (*.BIN)"));
        QCOMPARE(filter->itemText(1), QStringLiteral("All files (*.*)"));
        // The mask matches without regard to case; "*.*" lists every file.
        QCOMPARE(Files(tab), (QStringList{"a.bin", "b.bin", "logo.BIN"}));
        filter->setCurrentIndex(1);
        QCOMPARE(Files(tab), (QStringList{"a.bin", "b.bin", "logo.BIN", "notes.txt"}));

        auto* drives = Child<QComboBox>(tab, "DriveComboBox_MERGE");
        QVERIFY(drives->count() >= 1);
        QCOMPARE(drives->itemText(0), QStringLiteral("/"));
    }

    void doubleClickReorderDeleteAndTheListSurvivesTabSwitches() {
        UiFixture f;
        WriteExample(f);
        merge::MergeTab* tab = ShowMergeTab(f);
        for (const char* name : {"a.bin", "b.bin", "logo.BIN"})
            DoubleClickFile(tab, QString::fromLatin1(name));
        QCOMPARE(Row(tab, 1), QStringLiteral("1|0x00000000|0x00000100|a.bin"));
        QCOMPARE(Row(tab, 2), QStringLiteral("2|0x00000100|0x00000035|b.bin"));
        QCOMPARE(Row(tab, 3), QStringLiteral("3|0x00000135|0x00001000|logo.BIN"));
        QCOMPARE(Row(tab, 4), QStringLiteral("4|||"));
        QCOMPARE(Text(tab, "Label_TotalAddress"), QStringLiteral("Total: 0x1135 (4405)"));
        QCOMPARE(Text(tab, "Label_MergeFileNo"), QStringLiteral("Merged File No.: 3"));
        QCOMPARE(Child<QTableWidget>(tab, "StringGrid_MERGE")->currentRow() + 1, 4);

        // Row 2 selected: a double-click inserts there.
        SelectGridRow(tab, 2);
        DoubleClickFile(tab, QStringLiteral("logo.BIN"));
        QCOMPARE(Row(tab, 2), QStringLiteral("2|0x00000100|0x00001000|logo.BIN"));
        QCOMPARE(Row(tab, 3), QStringLiteral("3|0x00001100|0x00000035|b.bin"));
        // ... and Delete takes it out again; the selection stays on the entry that followed.
        SelectGridRow(tab, 2);
        Click(tab, "BitBtn_DELETE");
        QCOMPARE(Row(tab, 2), QStringLiteral("2|0x00000100|0x00000035|b.bin"));
        QCOMPARE(Row(tab, 4), QStringLiteral("4|||"));
        QCOMPARE(Child<QTableWidget>(tab, "StringGrid_MERGE")->currentRow() + 1, 2);

        // Down on row 1 and Up on the last row move entries; Up on row 1 and Down on the last do nothing.
        SelectGridRow(tab, 1);
        Click(tab, "BitBtn_UP");
        Click(tab, "BitBtn_DOWN");
        QCOMPARE(Row(tab, 1), QStringLiteral("1|0x00000000|0x00000035|b.bin"));
        QCOMPARE(Row(tab, 2), QStringLiteral("2|0x00000035|0x00000100|a.bin"));
        SelectGridRow(tab, 3);
        Click(tab, "BitBtn_DOWN");
        Click(tab, "BitBtn_UP");
        QCOMPARE(Row(tab, 2), QStringLiteral("2|0x00000035|0x00001000|logo.BIN"));
        QCOMPARE(Row(tab, 3), QStringLiteral("3|0x00001035|0x00000100|a.bin"));
        QCOMPARE(Text(tab, "Label_TotalAddress"), QStringLiteral("Total: 0x1135 (4405)"));

        // Another tab and back: the list, the labels and "Merge" still have it.
        ShowTab(f.Window(), "TabSheet_BmpFont");
        ShowTab(f.Window(), "TabSheet_MERGE");
        QCOMPARE(Row(tab, 3), QStringLiteral("3|0x00001035|0x00000100|a.bin"));
        QCOMPARE(Text(tab, "Label_MergeFileNo"), QStringLiteral("Merged File No.: 3"));
        f.dialogs.ConfirmFile(f.dir / "Pic.BIN");
        Click(tab, "BitBtn_MERGE");
        QCOMPARE(fs::file_size(f.dir / "Pic.BIN"), std::uintmax_t{0x1135});

        Click(tab, "BitBtn_FileListClear");
        QCOMPARE(Row(tab, 1), QStringLiteral("1|||"));
        QCOMPARE(Text(tab, "Label_TotalAddress"), QStringLiteral("Total: 0x0 (0)"));
        QCOMPARE(Text(tab, "Label_MergeFileNo"), QStringLiteral("Merged File No.: 0"));
        QVERIFY(f.boxes.boxes.empty());
        QCOMPARE(f.dialogs.unexpected, 0);
    }

    void mergeWritesWhatTheCliWrites() {
        UiFixture f;
        WriteExample(f);
        merge::MergeTab* tab = ShowMergeTab(f);
        for (const char* name : {"logo.BIN", "a.bin", "b.bin", "a.bin"})
            DoubleClickFile(tab, QString::fromLatin1(name));

        auto& save = f.Window().SaveDialog_Main;
        save.FileName = "before.bin";
        save.Filter = "Before(*.x)|*.x";
        save.FilterIndex = 1;
        save.DefaultExt = ".bmp";
        // Cancelled: nothing written, the dialog as it was.
        f.dialogs.CancelFile();
        Click(tab, "BitBtn_MERGE");
        f.dialogs.ConfirmFile(f.dir / "win.dat");
        Click(tab, "BitBtn_MERGE");
        QCOMPARE(f.dialogs.shownFiles.size(), size_t{2});
        QCOMPARE(f.dialogs.shownFiles[1].FileName, std::string("Pic.BIN"));
        QCOMPARE(f.dialogs.shownFiles[1].Filter, std::string("Binary File(*.BIN)|*.BIN|All File(*.*)|*.*"));
        QCOMPARE(save.FileName, std::string("before.bin"));
        QCOMPARE(save.Filter, std::string("Before(*.x)|*.x"));
        QCOMPARE(save.DefaultExt, std::string(".bmp"));
        QVERIFY(f.boxes.boxes.empty());

        QCOMPARE(Cli({"merge", f.dir / "cli.BIN", f.dir / "logo.BIN", f.dir / "a.bin", f.dir / "b.bin",
                      f.dir / "a.bin"}),
                 std::string("Total: 0x1235 (4661)\nMerged File No.: 4\n"));
        QVERIFY(testsupport::ReadFile(f.dir / "win.BIN") == testsupport::ReadFile(f.dir / "cli.BIN"));
        QCOMPARE(testsupport::ReadText(f.dir / "win_TBL.TXT"), testsupport::ReadText(f.dir / "cli_TBL.TXT"));
        QCOMPARE(fs::file_size(f.dir / "win.BIN"), std::uintmax_t{0x1235});
        QVERIFY(!fs::exists(f.dir / "Pic.BIN"));

        // A listed file that changed stops the merge with a message; nothing is replaced.
        testsupport::WritePatternFile(f.dir / "b.bin", 0x36, 2);
        f.dialogs.ConfirmFile(f.dir / "win.dat");
        Click(tab, "BitBtn_MERGE");
        QCOMPARE(f.LastBox().text,
                 "Nothing merged: these files are missing or have changed since they were added "
                 "to the list. Add them again !\n" +
                     (f.dir / "b.bin"));
        QCOMPARE(fs::file_size(f.dir / "win.BIN"), std::uintmax_t{0x1235});
    }

    void saveAndLoadTheList() {
        UiFixture f;
        WriteExample(f);
        fs::create_directory(f.dir / "lists");
        merge::MergeTab* tab = ShowMergeTab(f);
        for (const char* name : {"a.bin", "logo.BIN"})
            DoubleClickFile(tab, QString::fromLatin1(name));

        auto& save = f.Window().SaveDialog_Main;
        const std::string saveName = save.FileName;
        const std::string saveFilter = save.Filter;
        f.dialogs.ConfirmFile(f.dir / "lists/FILE_LIST.TXT");
        Click(tab, "BitBtn_FileListSave");
        QCOMPARE(f.dialogs.shownFiles.back().FileName, std::string("FILE_LIST.TXT"));
        QCOMPARE(f.dialogs.shownFiles.back().Filter, std::string("File List(*.TXT)|*.TXT|All File(*.*)|*.*"));
        QCOMPARE(save.FileName, saveName);
        QCOMPARE(save.Filter, saveFilter);
        QCOMPARE(testsupport::ReadText(f.dir / "lists/FILE_LIST.TXT"),
                 (f.dir / "a.bin") + "\n" + (f.dir / "logo.BIN") + "\n");

        // The save dialog moved the current directory; the entries still name their files.
        f.dialogs.ConfirmFile(f.dir / "lists/M.dat");
        Click(tab, "BitBtn_MERGE");
        QCOMPARE(fs::file_size(f.dir / "lists/M.BIN"), std::uintmax_t{0x1100});

        // Loaded at row 2 of a list of one, next to a missing name: inserted there, the missing one counted.
        Click(tab, "BitBtn_FileListClear");
        DoubleClickFile(tab, QStringLiteral("b.bin"));
        SelectGridRow(tab, 1);
        testsupport::WriteFile(f.dir / "lists/L.TXT", [&] {
            const std::string t =
                testsupport::ListFileText({f.dir / "a.bin", "gone.bin", f.dir / "logo.BIN"}, "\r\n", false);
            return std::vector<std::uint8_t>(t.begin(), t.end());
        }());
        auto& open = f.Window().OpenDialog_Main;
        const std::string openFilter = open.Filter;
        f.dialogs.ConfirmFile(f.dir / "lists/L.TXT");
        Click(tab, "BitBtn_FileListLoad");
        QCOMPARE(f.dialogs.shownFiles.back().FileName, std::string("FILE_LIST.TXT"));
        QCOMPARE(open.Filter, openFilter);
        QCOMPARE(Row(tab, 1), QStringLiteral("1|0x00000000|0x00000100|a.bin"));
        QCOMPARE(Row(tab, 2), QStringLiteral("2|0x00000100|0x00001000|logo.BIN"));
        QCOMPARE(Row(tab, 3), QStringLiteral("3|0x00001100|0x00000035|b.bin"));
        QCOMPARE(f.LastBox().text, std::string("1 File does not exit !"));
        QVERIFY(!f.LastBox().error);

        // A list file that cannot be read: the error box and status panel 1; the list stays.
        f.dialogs.ConfirmFile(f.dir / "lists/none.TXT");
        Click(tab, "BitBtn_FileListLoad");
        QCOMPARE(f.LastBox().title, std::string("Error"));
        QCOMPARE(f.LastBox().text, std::string("Open File List Error !"));
        QCOMPARE(f.Panel(1), QStringLiteral("Open File List Error !"));
        QCOMPARE(Text(tab, "Label_MergeFileNo"), QStringLiteral("Merged File No.: 3"));
        QCOMPARE(f.dialogs.unexpected, 0);
    }

    void theDirectoryListMovesTheCurrentFolderAndTheFileList() {
        UiFixture f;
        WriteExample(f);
        fs::create_directory(f.dir / "sub");
        testsupport::WritePatternFile(f.dir / "sub/inner.bin", 5, 9);
        merge::MergeTab* tab = ShowMergeTab(f);
        auto* dirs = Child<QListWidget>(tab, "DirectoryListBox_MERGE");
        const QList<QListWidgetItem*> sub = dirs->findItems(QStringLiteral("sub"), Qt::MatchEndsWith);
        QCOMPARE(sub.size(), qsizetype{1});
        const QPoint at = dirs->visualItemRect(sub.front()).center();
        QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, at);
        // The opened directory is the document's current folder; the process's working directory stays.
        QCOMPARE(f.Window().workspace().folder, f.dir / "sub/");
        QCOMPARE(QDir::currentPath(), QString::fromStdString(f.dir.path()));
        QCOMPARE(tab->Directory(), QString::fromStdString(f.dir / "sub"));
        QCOMPARE(Files(tab), QStringList{"inner.bin"});
        DoubleClickFile(tab, QStringLiteral("inner.bin"));
        QCOMPARE(Row(tab, 1), QStringLiteral("1|0x00000000|0x00000005|inner.bin"));
        // The open directory is the list's current item, below its parents.
        QVERIFY(dirs->currentItem()->text().endsWith(QStringLiteral("sub")));
        QVERIFY(dirs->row(dirs->currentItem()) > 0);

        // Outputs with fixed names go there now, as into a working directory.
        ShowTab(f.Window(), "TabSheet_Font");
        QTest::mouseClick(Child<QPushButton>(&f.Window(), "Font_BtnSave"), Qt::LeftButton);
        QVERIFY(fs::exists(f.dir / "sub/1BPPFont0.txt"));
        QVERIFY(!fs::exists(f.dir / "1BPPFont0.txt"));
    }
};

TAVIX_UI_SUITE(MergeTabTest)

#include "MergeTabTest.moc"
