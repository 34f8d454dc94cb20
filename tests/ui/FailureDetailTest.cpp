#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "support/MergeFixtures.h"
#include "support/WavBuilder.h"

#include <QPushButton>
#include <QTest>

#include <filesystem>

// The window's failure messages keep their own text in the box and in status panel 1; panel 2 names the
// file and says why, so that "Wrong File Size !!!" or "Open FONT File Error !!!" can be acted on.
namespace {

namespace fs = std::filesystem;

void Click(shell::TMainTop& w, const char* button) {
    QTest::mouseClick(Child<QPushButton>(&w, button), Qt::LeftButton);
}

void WriteText(const std::string& path, const std::string& text) {
    testsupport::WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

} // namespace

class FailureDetailTest : public QObject {
    Q_OBJECT
private slots:
    void openRefusesAPictureByItsSize() {
        UiFixture f;
        testsupport::BmpLayout wide;
        wide.width = 1025;
        wide.height = 3;
        wide.palette = testsupport::DistinctPalette(16);
        wide.indices.assign(1025 * 3, 1);
        f.Open(WriteBmp(f, "wide.bmp", wide));
        QCOMPARE(f.LastBox().text, std::string("Wrong File Size !!!"));
        QCOMPARE(f.Panel(1), QStringLiteral("Wrong File Size !!!"));
        QCOMPARE(f.Panel(2),
                 QStringLiteral("wide.bmp: 1025 x 3 pixels, where 1 x 1 to 1024 x 768 are taken"));

        // A later message that names no file leaves no stale reason beside it.
        f.Open(f.dir / "none.bmp");
        QCOMPARE(f.Panel(1), QStringLiteral("File Not Exist !!!"));
        QCOMPARE(f.Panel(2), QString());
    }

    // The glyph file's and the bank's "Load", of a file that is not there and of a folder.
    void fontFilesThatCannotBeRead() {
        const struct {
            const char* button;
            const char* file;
            const char* detail;
        } cases[] = {
            {"Font_btnLoad", "gone.txt", "gone.txt: No such file or directory"},
            {"Font_btnBankLoad", "gone.txt", "gone.txt: No such file or directory"},
            {"Font_btnLoad", "folder", "folder is not a regular file"},
            {"Font_btnBankLoad", "folder", "folder is not a regular file"},
        };
        for (const auto& c : cases) {
            UiFixture f;
            auto& w = f.Window();
            ShowTab(w, "TabSheet_Font");
            fs::create_directory(f.dir / "folder");
            f.dialogs.ConfirmFile(f.dir / c.file);
            Click(w, c.button);
            QCOMPARE(f.LastBox().title, std::string("Error"));
            QCOMPARE(f.LastBox().text, std::string("Open FONT File Error !!!"));
            QCOMPARE(f.Panel(1), QStringLiteral("Open FONT File Error !!!"));
            QCOMPARE(f.Panel(2), QString::fromLatin1(c.detail));
        }
    }

    void mergeNamesTheFilesItCouldNotUse() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_MERGE");
        testsupport::WritePatternFile(f.dir / "a.bin", 0x10, 1);
        WriteText(f.dir / "L.TXT", testsupport::ListFileText({"a.bin", "gone.bin", "lost.bin"}));
        f.dialogs.ConfirmFile(f.dir / "L.TXT");
        Click(w, "BitBtn_FileListLoad");
        QCOMPARE(f.LastBox().text, std::string("2 File does not exit !"));
        QVERIFY(!f.LastBox().error);
        QCOMPARE(f.Panel(2),
                 QStringLiteral("gone.bin: No such file or directory; lost.bin: No such file or directory"));

        // The merged image cannot be made where the save dialog points.
        f.dialogs.ConfirmFile(f.dir / "no/such/dir/Pic.BIN");
        Click(w, "BitBtn_MERGE");
        QCOMPARE(f.LastBox().text, std::string("Open Merged file name error !!!"));
        QCOMPARE(f.Panel(2), QStringLiteral("cannot create Pic.BIN: No such file or directory"));
        QCOMPARE(f.Panel(1), QStringLiteral("1"));
    }

    void wavLoadSaysWhyTheFileIsRefused() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_Wav");
        testsupport::WavLayout s;
        s.chunkBeforeData = testsupport::Chunk("LIST", {'I', 'N', 'F', 'O'});
        s.data = {0, 0, 0, 0};
        testsupport::WriteFile(f.dir / "list.wav", testsupport::BuildWav(s));
        f.dialogs.ConfirmFile(f.dir / "list.wav");
        Click(w, "Button_WAVLoad");
        QCOMPARE(f.LastBox().text, std::string("Analyze File Error!!!"));
        QVERIFY2(f.Panel(2).startsWith(QStringLiteral(
                     "list.wav: \"data\" is not at offset 36, where a \"LIST\" chunk of 4 bytes stands")),
                 qPrintable(f.Panel(2)));
        QVERIFY(f.Panel(2).contains(QStringLiteral("canonical PCM WAV files with a 44-byte header")));
    }
};

TAVIX_UI_SUITE(FailureDetailTest)

#include "FailureDetailTest.moc"
