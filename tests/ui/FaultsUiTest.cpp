// The window meets the faults the CLI meets (tests/cli/FaultsCliTest.cpp) and says the same: a folder that
// refuses temporary files, a FIFO given as input, an output that is its own input. Where the tool has a
// message of its own, the box and panel 1 show it alone, and panel 2 the file and why (tavix-cli prints them
// on the line after the message); where it has none, the file and why are the message. The suite runs as
// "nobody" when started as root, so that file permissions apply to the window as they do to a user.
#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "aosd/AosdTab.h"
#include "cli/Cli.h"
#include "merge/MergeTab.h"
#include "support/MergeFixtures.h"
#include "support/WavBuilder.h"
#include "wav/WavTab.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// What tavix-cli writes to stderr for args, run in this process (as this process's user).
std::string CliError(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    cli::Run(args, out, err);
    return err.str();
}

testsupport::BmpLayout Picture() {
    testsupport::BmpLayout s;
    s.width = 8;
    s.height = 2;
    s.palette = testsupport::DistinctPalette(16);
    s.indices = testsupport::IndicesOf(8, 2, [](int x, int y) { return (x + y) % 16; });
    return s;
}

std::string WriteWav(const UiFixture& f, const std::string& name) {
    testsupport::WavLayout s;
    s.bits = 8;
    s.data = testsupport::PatternBytes(400, 3);
    const std::string path = f.dir / name;
    testsupport::WriteFile(path, testsupport::BuildWav(s));
    return path;
}

template <typename T> T* Page(UiFixture& f, const char* name) {
    ShowTab(f.Window(), name);
    return Child<T>(&f.Window(), name);
}

void Click(QObject* tab, const char* button) {
    Child<QPushButton>(tab, button)->click();
}

void DoubleClickFile(QObject* tab, const QString& name) {
    auto* list = Child<QListWidget>(tab, "FileListBox_MERGE");
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(name));
    const QPoint at = list->visualItemRect(found.front()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

std::string BoxText(const UiFixture& f) {
    return f.LastBox().text;
}

} // namespace

class FaultsUiTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // A handler that waited for a FIFO's writer would end the suite instead of hanging it.
        ::alarm(120);
        if (::geteuid() == 0)
            QVERIFY(::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0);
    }

    // A folder the user may not write, holding files the user may: each button refuses, says which file
    // and why, in the same words as tavix-cli, and every file keeps its bytes.
    void aFolderThatRefusesTemporaryFilesIsNamed() {
        UiFixture f;
        const std::string locked = f.dir / "locked";
        fs::create_directory(locked);
        const std::string picture = WriteBmp(f, "pic.bmp", Picture());
        const std::string wav = WriteWav(f, "tone.wav");
        testsupport::WritePatternFile(f.dir / "a.bin", 100, 1);
        for (const char* name : {"pal.bin", "o.bin", "m.BIN", "m_TBL.TXT"}) {
            testsupport::WritePatternFile(locked + "/" + name, 50, 7);
            ::chmod((locked + "/" + name).c_str(), 0666);
        }
        ::chmod(locked.c_str(), 0555);
        const auto old = testsupport::PatternBytes(50, 7);

        auto* aosd = Page<aosd::AosdTab>(f, "TabSheet_AOsd");
        f.dialogs.ConfirmFile(picture);
        Click(aosd, "Aosd_BtnOpenPicture");
        f.dialogs.ConfirmFile(locked + "/pal.bin");
        Click(aosd, "Aosd_BtnWritePalette");
        QCOMPARE(QString::fromStdString(BoxText(f)),
                 QString::fromStdString("cannot replace " + locked + "/pal.bin safely: Permission denied"));
        QCOMPARE(QString::fromStdString(CliError({"aosd", "palette", picture, locked + "/pal.bin"})),
                 QString::fromStdString(BoxText(f) + "\n"));

        auto* wavTab = Page<wav::WavTab>(f, "TabSheet_Wav");
        f.dialogs.ConfirmFile(wav);
        Click(wavTab, "Button_WAVLoad");
        Click(wavTab, "Button_RESampleGen");
        f.dialogs.ConfirmFile(locked + "/o.bin");
        Click(wavTab, "Button_RESampleSave");
        QCOMPARE(QString::fromStdString(BoxText(f)), QStringLiteral("Save File Error!!!"));
        QCOMPARE(f.Panel(2), QStringLiteral("cannot replace o.bin safely: Permission denied"));

        auto* merge = Page<merge::MergeTab>(f, "TabSheet_MERGE");
        DoubleClickFile(merge, QStringLiteral("a.bin"));
        f.dialogs.ConfirmFile(locked + "/m.BIN");
        Click(merge, "BitBtn_MERGE");
        QCOMPARE(QString::fromStdString(BoxText(f)), QStringLiteral("Open Merged file name error !!!"));
        QCOMPARE(f.Panel(2), QStringLiteral("cannot replace m.BIN safely: Permission denied"));
        QCOMPARE(QString::fromStdString(CliError({"merge", locked + "/m.BIN", f.dir / "a.bin"})),
                 QString::fromStdString(BoxText(f) + "\ncannot replace " + locked +
                                        "/m.BIN safely: Permission denied\n"));

        for (const char* name : {"pal.bin", "o.bin", "m.BIN", "m_TBL.TXT"})
            QCOMPARE(testsupport::ReadFile(locked + "/" + name), old);
        QCOMPARE(int(std::distance(fs::directory_iterator(locked), {})), 4);
        ::chmod(locked.c_str(), 0755);
    }

    // A FIFO chosen in any open dialog is named as what it is, at once.
    void aFifoIsRefusedByEveryOpenButton() {
        UiFixture f;
        const std::string fifo = f.dir / "in.fifo";
        QCOMPARE(::mkfifo(fifo.c_str(), 0666), 0);
        const std::string refusal = fifo + " is not a regular file";
        const QString named = QStringLiteral("in.fifo is not a regular file"); // panel 2 names the file
        auto& w = f.Window();

        ShowTab(w, "TabSheet_BmpFont");
        f.Open(fifo);
        QCOMPARE(QString::fromStdString(BoxText(f)), QStringLiteral("Open File Error !!!"));
        QCOMPARE(f.Panel(1), QStringLiteral("Open File Error !!!"));
        QCOMPARE(f.Panel(2), named);
        QCOMPARE(QString::fromStdString(CliError({"osd", fifo})),
                 QString::fromStdString("Open File Error !!!\n" + refusal + "\n"));

        auto* aosd = Page<aosd::AosdTab>(f, "TabSheet_AOsd");
        f.dialogs.ConfirmFile(fifo);
        Click(aosd, "Aosd_BtnOpenPicture");
        QCOMPARE(QString::fromStdString(BoxText(f)), QString::fromStdString(refusal));

        auto* wavTab = Page<wav::WavTab>(f, "TabSheet_Wav");
        f.dialogs.ConfirmFile(fifo);
        Click(wavTab, "Button_WAVLoad");
        QCOMPARE(QString::fromStdString(BoxText(f)), QStringLiteral("Open File Error!!!"));
        QCOMPARE(f.Panel(2), named);

        auto* merge = Page<merge::MergeTab>(f, "TabSheet_MERGE");
        f.dialogs.ConfirmFile(fifo);
        Click(merge, "BitBtn_FileListLoad");
        QCOMPARE(QString::fromStdString(BoxText(f)), QStringLiteral("Open File List Error !"));
        QCOMPARE(f.Panel(2), named);

        ShowTab(w, "TabSheet_Font");
        f.dialogs.ConfirmFile(fifo);
        Child<QPushButton>(&w, "Font_btnBankLoad")->click();
        QCOMPARE(QString::fromStdString(BoxText(f)), QStringLiteral("Open FONT File Error !!!"));
        QCOMPARE(f.Panel(1), QStringLiteral("Open FONT File Error !!!"));
        QCOMPARE(f.Panel(2), named);
        QCOMPARE(QString::fromStdString(CliError({"font", "save", fifo})),
                 QString::fromStdString(BoxText(f) + "\n" + refusal + "\n"));
    }

    // An output that is the button's own input is refused and the input keeps every byte; File > Save over
    // the picture being edited stays allowed.
    void anOutputThatIsItsInputIsRefused() {
        UiFixture f;
        const std::string picture = WriteBmp(f, "pic.bmp", Picture());
        const std::string wav = WriteWav(f, "tone.wav");
        testsupport::WritePatternFile(f.dir / "a.BIN", 100, 1);
        const auto pictureBytes = testsupport::ReadFile(picture);
        const auto wavBytes = testsupport::ReadFile(wav);
        const auto aBytes = testsupport::ReadFile(f.dir / "a.BIN");

        auto* aosd = Page<aosd::AosdTab>(f, "TabSheet_AOsd");
        f.dialogs.ConfirmFile(picture);
        Click(aosd, "Aosd_BtnOpenPicture");
        f.dialogs.ConfirmFile(picture);
        Click(aosd, "Aosd_BtnWriteImage");
        const std::string same = "the output " + picture + " is the input";
        QCOMPARE(QString::fromStdString(BoxText(f)), QString::fromStdString(same));
        QCOMPARE(f.Panel(1), QString::fromStdString(same));
        QCOMPARE(QString::fromStdString(CliError({"aosd", "image", picture, picture})),
                 QString::fromStdString(same + "\n"));
        f.dialogs.ConfirmFile(picture);
        Click(aosd, "Aosd_BtnWritePalette");
        QCOMPARE(QString::fromStdString(BoxText(f)), QString::fromStdString(same));

        auto* wavTab = Page<wav::WavTab>(f, "TabSheet_Wav");
        f.dialogs.ConfirmFile(wav);
        Click(wavTab, "Button_WAVLoad");
        Click(wavTab, "Button_RESampleGen");
        f.dialogs.ConfirmFile(f.dir / "sub/../tone.wav");
        fs::create_directory(f.dir / "sub");
        Click(wavTab, "Button_RESampleSave");
        QCOMPARE(QString::fromStdString(BoxText(f)), QStringLiteral("Save File Error!!!"));
        QCOMPARE(f.Panel(2), QStringLiteral("the output tone.wav is the input"));

        // The image a merge writes is the chosen name's base + ".BIN": here the listed file itself.
        auto* merge = Page<merge::MergeTab>(f, "TabSheet_MERGE");
        DoubleClickFile(merge, QStringLiteral("a.BIN"));
        f.dialogs.ConfirmFile(f.dir / "a.bin");
        Click(merge, "BitBtn_MERGE");
        QCOMPARE(QString::fromStdString(BoxText(f)),
                 QString::fromStdString("the output " + (f.dir / "a.BIN") + " is the input"));

        QCOMPARE(testsupport::ReadFile(picture), pictureBytes);
        QCOMPARE(testsupport::ReadFile(wav), wavBytes);
        QCOMPARE(testsupport::ReadFile(f.dir / "a.BIN"), aBytes);
        QVERIFY(!fs::exists(f.dir / "a_TBL.TXT"));

        // File > Save on the Palette tab over the picture it opened: written.
        const size_t boxes = f.boxes.boxes.size();
        ShowTab(f.Window(), "TabSheet_Palette");
        f.Open(picture);
        f.dialogs.ConfirmFile(picture);
        Child<QAction>(&f.Window(), "NBtn_Save")->trigger();
        QCOMPARE(f.boxes.boxes.size(), boxes);
        QVERIFY(testsupport::ReadFile(picture) != pictureBytes);
    }
};

TAVIX_UI_SUITE(FaultsUiTest)

#include "FaultsUiTest.moc"
