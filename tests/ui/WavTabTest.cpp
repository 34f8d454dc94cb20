#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "base/Path.h"
#include "cli/Cli.h"
#include "support/WavBuilder.h"
#include "wav/WavTab.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include <sstream>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr const char* kWavFilter = "WAV File(*.wav)|*.wav|All File(*.*)|*.*";
constexpr const char* kSampleFilter = "Binary File(*.bin)|*.bin|All File(*.*)|*.*";

wav::WavTab* ShowWavTab(UiFixture& f) {
    auto& w = f.Window();
    ShowTab(w, "TabSheet_Wav");
    return Child<wav::WavTab>(&w, "TabSheet_Wav");
}

std::string WriteWav(const UiFixture& f, const std::string& name, const testsupport::WavLayout& layout) {
    const std::string path = f.dir / name;
    testsupport::WriteFile(path, testsupport::BuildWav(layout));
    return path;
}

void Click(wav::WavTab* tab, const char* button) {
    QTest::mouseClick(Child<QPushButton>(tab, button), Qt::LeftButton);
}

void Load(UiFixture& f, wav::WavTab* tab, const std::string& path) {
    f.dialogs.ConfirmFile(path);
    Click(tab, "Button_WAVLoad");
}

void Save(UiFixture& f, wav::WavTab* tab, const std::string& path) {
    f.dialogs.ConfirmFile(path);
    Click(tab, "Button_RESampleSave");
}

QString Text(wav::WavTab* tab, const char* label) {
    return Child<QLabel>(tab, label)->text();
}

QString Cell(wav::WavTab* tab, int row, int column) {
    return Child<QTableWidget>(tab, "StringGrid_WavData")->item(row, column)->text();
}

bool Enabled(wav::WavTab* tab, const char* button) {
    return Child<QPushButton>(tab, button)->isEnabled();
}

void Choose(wav::WavTab* tab, const char* group, int item) {
    const QString name = QString::fromLatin1(group) + QLatin1Char('_') + QString::number(item);
    auto* radio = Child<QRadioButton>(tab, name.toLatin1().constData());
    // On the round indicator: the button takes clicks on the indicator and its text only.
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    QVERIFY2(radio->isChecked(), qPrintable(name));
}

// Runs tavix-cli in this process; its stdout.
std::string Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = cli::Run(args, out, err);
    if (code != 0) qWarning("tavix-cli: %s", err.str().c_str());
    return out.str();
}

// An 8-bit mono file at 16000 Hz of 2001 bytes: 1000 samples at 8000 Hz, 4002 at 32000.
testsupport::WavLayout ByteFile() {
    testsupport::WavLayout s;
    s.bits = 8;
    s.sampleRate = 16000;
    s.data.resize(2001);
    for (size_t i = 0; i < s.data.size(); ++i)
        s.data[i] = static_cast<std::uint8_t>(i * 7 + i / 3);
    return s;
}

// A 16-bit stereo file at 8000 Hz whose channels differ.
testsupport::WavLayout StereoFile() {
    testsupport::WavLayout s;
    s.channels = 2;
    std::vector<std::uint16_t> frames;
    for (int i = 0; i < 1200; ++i) {
        frames.push_back(static_cast<std::uint16_t>(i * 40));
        frames.push_back(static_cast<std::uint16_t>(60000 - i * 33));
    }
    s.data = testsupport::Le16Bytes(frames);
    return s;
}

} // namespace

class WavTabTest : public QObject {
    Q_OBJECT
private slots:
    void controlsCarryTheirCaptionsNamesAndStartValues() {
        UiFixture f;
        wav::WavTab* tab = ShowWavTab(f);
        const std::pair<const char*, const char*> labels[] = {
            {"Label_WavFileName", "FileName:"},
            {"Label_WavFileNameVal", "None.wav"},
            {"Label_WAVFileSize", "FileSize:"},
            {"Label_WAVFileSizeVal", "0 "},
            {"Label_WAVFormat", "AudioFormat:"},
            {"Label_WAVFormatVal", "UnKnow"},
            {"Label_WAVChunkSize", "ChunkSize:"},
            {"Label_WAVChunkSizeVal", "0"},
            {"Label_WavChannel", "NumChannels:"},
            {"Label_WavChannelVal", "0"},
            {"Label_WAVSampleRate", "SampleRate:"},
            {"Label_WAVSampleRateVal", "0"},
            {"Label_WavByteRate", "ByteRate:"},
            {"Label_WavByteRateVal", "0"},
            {"Label_WAVBlockAlign", "BlockAlign:"},
            {"Label_WAVBlockAlignVal", "0"},
            {"Label_WAVBits", "BitsPerSample : "},
            {"Label_WAVBitsVal", "0"},
            {"Label_WAVDataLen", "DataLength:"},
            {"Label_WAVDataLenVal", "0"},
            {"Label_WAVBankSel", "Bank:"},
            {"Label_RESampleFreq", "RESample_Frequency:"},
            {"Label_RESampleLen", "RESample_Length :"},
            {"Label_RESampleLenVal", "0"},
        };
        for (const auto& [name, text] : labels)
            QCOMPARE(Text(tab, name), QString::fromLatin1(text));
        QCOMPARE(Child<QGroupBox>(tab, "GroupBox_WAV")->title(), QStringLiteral("Header"));
        QCOMPARE(Child<QLabel>(tab, "Label_RESampleFreq")->toolTip(),
                 QStringLiteral("ADDR: 0x149[7:0]; Default : 0x00"));

        const std::pair<const char*, const char*> buttons[] = {{"Button_WAVLoad", "WAV Load"},
                                                               {"Button_RESampleGen", "RESample Gen"},
                                                               {"Button_RESampleSave", "RESample Save"}};
        for (const auto& [name, caption] : buttons)
            QCOMPARE(Child<QPushButton>(tab, name)->text(), QString::fromLatin1(caption));
        QVERIFY(Enabled(tab, "Button_WAVLoad"));
        QVERIFY(!Enabled(tab, "Button_RESampleGen"));
        QVERIFY(!Enabled(tab, "Button_RESampleSave"));
        auto* bypass = Child<QCheckBox>(tab, "CheckBox_RemoveWavHeader");
        QCOMPARE(bypass->text(), QStringLiteral("ReSample_ByPass"));
        QVERIFY(!bypass->isChecked());

        auto* channel = Child<QGroupBox>(tab, "RadioGroup_RESample_Ch_Sel");
        QCOMPARE(channel->title(), QStringLiteral("RESample_Channel"));
        QVERIFY(!channel->isEnabled());
        QCOMPARE(Child<QRadioButton>(tab, "RadioGroup_RESample_Ch_Sel_0")->text(),
                 QStringLiteral("Left Channel"));
        QCOMPARE(Child<QRadioButton>(tab, "RadioGroup_RESample_Ch_Sel_1")->text(),
                 QStringLiteral("Right Channel"));
        QVERIFY(Child<QRadioButton>(tab, "RadioGroup_RESample_Ch_Sel_0")->isChecked());
        QCOMPARE(Child<QGroupBox>(tab, "RadioGroup_RESample_Bit")->title(), QStringLiteral("RESample_Bit"));
        QCOMPARE(Child<QRadioButton>(tab, "RadioGroup_RESample_Bit_0")->text(), QStringLiteral("8 Bit"));
        QCOMPARE(Child<QRadioButton>(tab, "RadioGroup_RESample_Bit_1")->text(), QStringLiteral("16 Bit"));
        QVERIFY(Child<QRadioButton>(tab, "RadioGroup_RESample_Bit_0")->isChecked());

        auto* rate = Child<QComboBox>(tab, "ComboBox_RESampleFreq");
        QVERIFY(rate->isEditable());
        QCOMPARE(rate->count(), 2);
        QCOMPARE(rate->itemText(0), QStringLiteral("8000"));
        QCOMPARE(rate->itemText(1), QStringLiteral("16000"));
        QCOMPARE(rate->currentIndex(), -1);
        QCOMPARE(rate->currentText(), QStringLiteral("8000"));
        auto* bank = Child<QComboBox>(tab, "ComboBox_WAVBankSel");
        QVERIFY(bank->isEditable());
        QCOMPARE(bank->count(), 1);
        QCOMPARE(bank->itemText(0), QStringLiteral("00000000"));
        QCOMPARE(bank->currentText(), QStringLiteral("None"));
        QCOMPARE(rate->accessibleName(), QStringLiteral("RESample_Frequency"));
        QCOMPARE(bank->accessibleName(), QStringLiteral("Bank"));

        // The hexadecimal view: 18 x 17 cells, titles only.
        auto* grid = Child<QTableWidget>(tab, "StringGrid_WavData");
        QCOMPARE(grid->columnCount(), 18);
        QCOMPARE(grid->rowCount(), 17);
        QCOMPARE(grid->columnWidth(1), 36);
        QCOMPARE(grid->columnWidth(17), 168);
        QVERIFY(!grid->accessibleName().isEmpty());
        QCOMPARE(Cell(tab, 0, 0), QString());
        QCOMPARE(Cell(tab, 0, 1), QStringLiteral("00"));
        QCOMPARE(Cell(tab, 0, 16), QStringLiteral("0F"));
        QCOMPARE(Cell(tab, 0, 17), QStringLiteral("ASCII"));
        QCOMPARE(Cell(tab, 1, 0), QStringLiteral("00"));
        QCOMPARE(Cell(tab, 16, 0), QStringLiteral("0F"));
        QCOMPARE(Cell(tab, 5, 5), QString());
    }

    // The view has no scroll bar, so a row out of sight is never seen: at the window's size every cell of
    // the title row and the 16 rows of a bank lies inside the view, the view inside the tab, and the text
    // fits its cells.
    void hexViewShowsEveryRowAtTheWindowsSize() {
        UiFixture f;
        wav::WavTab* tab = ShowWavTab(f);
        auto& w = f.Window();
        QCOMPARE(w.width(), 892);
        QCOMPARE(w.height() - w.menuBar()->height(), 708);
        auto* grid = Child<QTableWidget>(tab, "StringGrid_WavData");
        const QRect view = grid->viewport()->rect();
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c)
                QVERIFY2(view.contains(grid->visualItemRect(grid->item(r, c))),
                         qPrintable(QStringLiteral("row %1, column %2").arg(r).arg(c)));
        QVERIFY(tab->rect().contains(QRect(grid->mapTo(tab, QPoint(0, 0)), grid->size())));
        QVERIFY(tab->isVisible() && grid->isVisible());
        const QFontMetrics metrics(grid->font());
        QVERIFY(metrics.height() <= grid->rowHeight(16));
        QVERIFY(metrics.horizontalAdvance(QString(16, QLatin1Char('W'))) < grid->columnWidth(17));
        QVERIFY(metrics.horizontalAdvance(QStringLiteral("WW")) < grid->columnWidth(1));
    }

    void loadShowsTheHeaderTheBanksAndWritesTheBypassFile() {
        UiFixture f;
        wav::WavTab* tab = ShowWavTab(f);
        testsupport::WavLayout s = StereoFile();
        s.sampleRate = 48000;
        s.data.resize(468); // 44 + 468 = 512 bytes: three banks, the last at the end of the file
        s.data[0] = 0x7F;
        s.data[1] = 0x80;
        s.data[2] = 0x1F;
        s.data[3] = 'A';
        const std::string path = WriteWav(f, "tone.wav", s);
        Child<QCheckBox>(tab, "CheckBox_RemoveWavHeader")->setChecked(true);
        f.Window().OpenDialog_Main.FilterIndex = 2;
        Load(f, tab, path);

        QCOMPARE(f.boxes.boxes.size(), size_t{0});
        QCOMPARE(f.dialogs.shownFiles.back().Filter, std::string(kWavFilter));
        QCOMPARE(f.Window().OpenDialog_Main.Filter,
                 std::string(ui::kPictureOpenFilter));
        QCOMPARE(f.Window().OpenDialog_Main.FilterIndex, 2);
        QCOMPARE(Text(tab, "Label_WavFileNameVal"), QStringLiteral("tone.wav"));
        QCOMPARE(Text(tab, "Label_WAVFileSizeVal"), QStringLiteral("512"));
        QCOMPARE(Text(tab, "Label_WAVFormatVal"), QStringLiteral("PCM"));
        QVERIFY(Child<QLabel>(tab, "Label_WAVFormatVal")->palette().color(QPalette::WindowText) !=
                QColor(Qt::red));
        QCOMPARE(Text(tab, "Label_WAVChunkSizeVal"), QStringLiteral("504"));
        QCOMPARE(Text(tab, "Label_WavChannelVal"), QStringLiteral("2-Stereo"));
        QCOMPARE(Text(tab, "Label_WAVSampleRateVal"), QStringLiteral("48000 Hz"));
        QCOMPARE(Text(tab, "Label_WavByteRateVal"), QStringLiteral("192000 Hz"));
        QCOMPARE(Text(tab, "Label_WAVBlockAlignVal"), QStringLiteral("4"));
        QCOMPARE(Text(tab, "Label_WAVBitsVal"), QStringLiteral("16 Bits"));
        QCOMPARE(Text(tab, "Label_WAVDataLenVal"), QStringLiteral("468"));
        QVERIFY(Child<QGroupBox>(tab, "RadioGroup_RESample_Ch_Sel")->isEnabled());

        // The same texts as tavix-cli wav info prints.
        const std::string info = Cli({"wav", "info", path});
        for (const char* name :
             {"Label_WAVFormatVal", "Label_WavChannelVal", "Label_WAVBitsVal", "Label_WAVDataLenVal"})
            QVERIFY2(info.find(": " + Text(tab, name).toStdString() + "\n") != std::string::npos, name);

        auto* bank = Child<QComboBox>(tab, "ComboBox_WAVBankSel");
        QCOMPARE(bank->count(), 3);
        QCOMPARE(bank->itemText(0), QStringLiteral("00000000-0"));
        QCOMPARE(bank->itemText(1), QStringLiteral("00000100-1"));
        QCOMPARE(bank->itemText(2), QStringLiteral("00000200-2"));
        QCOMPARE(bank->currentIndex(), 0);
        QCOMPARE(Cell(tab, 1, 1), QStringLiteral("52"));
        QCOMPARE(Cell(tab, 1, 17),
                 QStringLiteral("RIFF\xF8\x01\x00\x00WAVEfmt ").replace(4, 4, QStringLiteral("....")));
        QCOMPARE(Cell(tab, 3, 13), QStringLiteral("7F"));
        QCOMPARE(Cell(tab, 3, 14), QStringLiteral("80"));
        QCOMPARE(Cell(tab, 3, 17).mid(12), QStringLiteral("\x7F.").append(QStringLiteral(".A")));

        bank->setCurrentIndex(2);
        QCOMPARE(Cell(tab, 1, 1), QString()); // past the end of the file
        QCOMPARE(Cell(tab, 1, 17), QString());
        bank->setCurrentIndex(1);
        QCOMPARE(Cell(tab, 16, 16),
                 QStringLiteral("%1").arg(testsupport::BuildWav(s)[511], 2, 16, QLatin1Char('0')).toUpper());

        QVERIFY(Enabled(tab, "Button_RESampleGen"));
        QVERIFY(!Enabled(tab, "Button_RESampleSave"));
        // The bypass file: the data bytes beside the WAV file, as tavix-cli wav strip writes them.
        QVERIFY(base::FileExists(f.dir / "tone.bin"));
        Cli({"wav", "strip", path, f.dir / "strip.bin"});
        QCOMPARE(testsupport::ReadFile(f.dir / "tone.bin"), testsupport::ReadFile(f.dir / "strip.bin"));
        QCOMPARE(testsupport::ReadFile(f.dir / "tone.bin").size(), size_t{468});

        // Unticked: no file.
        Child<QCheckBox>(tab, "CheckBox_RemoveWavHeader")->setChecked(false);
        const std::string other = WriteWav(f, "other.wav", s);
        Load(f, tab, other);
        QVERIFY(!base::FileExists(f.dir / "other.bin"));
    }

    void refusedFilesShowTheirMessageAndDisableGeneration() {
        UiFixture f;
        wav::WavTab* tab = ShowWavTab(f);
        Load(f, tab, WriteWav(f, "good.wav", StereoFile()));
        QVERIFY(Enabled(tab, "Button_RESampleGen"));
        const QString bankRow = Cell(tab, 1, 17);

        testsupport::WavLayout s;
        s.audioFormat = 3;
        s.data = {0, 0, 0x80, 0x3F};
        Load(f, tab, WriteWav(f, "float.wav", s));
        QCOMPARE(f.LastBox().text, std::string("Analyze File Error!!!"));
        QVERIFY(!f.LastBox().error); // a plain box
        QCOMPARE(f.Panel(1), QStringLiteral("1"));
        QCOMPARE(Text(tab, "Label_WAVFormatVal"), QStringLiteral("IEEE_FLOAT"));
        QCOMPARE(Child<QLabel>(tab, "Label_WAVFormatVal")->palette().color(QPalette::WindowText),
                 QColor(Qt::red));
        QCOMPARE(Text(tab, "Label_WavFileNameVal"), QStringLiteral("float.wav"));
        QCOMPARE(Text(tab, "Label_WAVChunkSizeVal"), QStringLiteral("40"));
        QCOMPARE(Text(tab, "Label_WavChannelVal"), QStringLiteral("2-Stereo")); // from the file before
        QVERIFY(!Enabled(tab, "Button_RESampleGen"));
        QVERIFY(!Enabled(tab, "Button_RESampleSave"));
        // The bank list and the view still show the earlier file's bank until a bank is chosen.
        QCOMPARE(Child<QComboBox>(tab, "ComboBox_WAVBankSel")->count(), 19); // 4844 bytes
        QCOMPARE(Cell(tab, 1, 17), bankRow);
        Child<QComboBox>(tab, "ComboBox_WAVBankSel")->setCurrentIndex(3);
        QCOMPARE(Cell(tab, 1, 1), QString()); // the 48-byte file has nothing there

        s.audioFormat = 0xFFFE;
        Load(f, tab, WriteWav(f, "ext.wav", s));
        QCOMPARE(Text(tab, "Label_WAVFormatVal"), QStringLiteral("UNKNOWN"));
        QCOMPARE(f.LastBox().text, std::string("Analyze File Error!!!"));

        s.audioFormat = 1;
        s.chunkBeforeData = testsupport::Chunk("LIST", {'I', 'N', 'F', 'O'});
        Load(f, tab, WriteWav(f, "list.wav", s));
        QCOMPARE(f.LastBox().text, std::string("Analyze File Error!!!"));
        QCOMPARE(Text(tab, "Label_WavFileNameVal"), QStringLiteral("list.wav"));
        QCOMPARE(Text(tab, "Label_WAVFormatVal"), QStringLiteral("UNKNOWN")); // no field was read

        const size_t before = f.boxes.boxes.size();
        Load(f, tab, f.dir / "missing.wav");
        QCOMPARE(f.boxes.boxes.size(), before + 1);
        QCOMPARE(f.LastBox().text, std::string("Open File Error!!!"));
        QCOMPARE(f.Panel(2), QStringLiteral("missing.wav: No such file or directory"));
        QCOMPARE(Text(tab, "Label_WavFileNameVal"), QStringLiteral("list.wav"));

        // A cancelled dialog changes nothing but the buttons.
        Load(f, tab, WriteWav(f, "good2.wav", StereoFile()));
        QVERIFY(Enabled(tab, "Button_RESampleGen"));
        f.dialogs.CancelFile();
        Click(tab, "Button_WAVLoad");
        QVERIFY(!Enabled(tab, "Button_RESampleGen"));
        QCOMPARE(f.Window().OpenDialog_Main.Filter,
                 std::string(ui::kPictureOpenFilter));
        QCOMPARE(f.dialogs.unexpected, 0);
    }

    void generateAndSaveWriteWhatTheCliWrites() {
        UiFixture f;
        wav::WavTab* tab = ShowWavTab(f);
        const std::string path = WriteWav(f, "byte.wav", ByteFile());
        Load(f, tab, path);

        // With no list item selected the target is 8000: 1000 samples, 1008 bytes at 8 bits.
        Click(tab, "Button_RESampleGen");
        QCOMPARE(Text(tab, "Label_RESampleLenVal"), QStringLiteral("0x000003F0-00001008"));
        QVERIFY(Enabled(tab, "Button_RESampleSave"));
        Save(f, tab, f.dir / "w8.bin");
        QCOMPARE(f.dialogs.shownFiles.back().Filter, std::string(kSampleFilter));
        QCOMPARE(f.Window().SaveDialog_Main.Filter,
                 std::string("Binary File(*.bin)|*.bin|Data File(*.dat)|*.dat|All File(*.*)|*.*"));
        QVERIFY(!Enabled(tab, "Button_RESampleSave"));
        QVERIFY(Enabled(tab, "Button_RESampleGen"));
        Cli({"wav", "resample", path, f.dir / "c8.bin", "--rate", "8000", "--bits", "8"});
        QCOMPARE(testsupport::ReadFile(f.dir / "w8.bin"), testsupport::ReadFile(f.dir / "c8.bin"));
        QCOMPARE(testsupport::ReadFile(f.dir / "w8.bin").size(), size_t{1008});

        // 16000 from the list, 16 bits; a name typed without an extension gets ".bin".
        auto* rate = Child<QComboBox>(tab, "ComboBox_RESampleFreq");
        rate->setCurrentIndex(1);
        Choose(tab, "RadioGroup_RESample_Bit", 1);
        Click(tab, "Button_RESampleGen");
        QCOMPARE(Text(tab, "Label_RESampleLenVal"), QStringLiteral("0x00000FB2-00004018")); // 2001 x 2 + 16
        Save(f, tab, f.dir / "w16");
        Cli({"wav", "resample", path, f.dir / "c16.bin", "--rate", "16000", "--bits", "16"});
        QCOMPARE(testsupport::ReadFile(f.dir / "w16.bin"), testsupport::ReadFile(f.dir / "c16.bin"));

        // A width changed after generation: the save takes the new one, the label keeps the old.
        Click(tab, "Button_RESampleGen");
        Choose(tab, "RadioGroup_RESample_Bit", 0);
        QVERIFY(Enabled(tab, "Button_RESampleSave"));
        QCOMPARE(Text(tab, "Label_RESampleLenVal"), QStringLiteral("0x00000FB2-00004018"));
        Save(f, tab, f.dir / "w8b.bin");
        Cli({"wav", "resample", path, f.dir / "c8b.bin", "--rate", "16000"});
        QCOMPARE(testsupport::ReadFile(f.dir / "w8b.bin"), testsupport::ReadFile(f.dir / "c8b.bin"));

        // Text typed over the list leaves no item selected: 8000 again, whatever the box shows.
        rate->setEditText(QStringLiteral("16000 "));
        Click(tab, "Button_RESampleGen");
        QCOMPARE(Text(tab, "Label_RESampleLenVal"), QStringLiteral("0x000003F0-00001008"));
        QCOMPARE(f.dialogs.unexpected, 0);
    }

    void buttonStatesFollowTheResult() {
        UiFixture f;
        wav::WavTab* tab = ShowWavTab(f);
        auto state = [&] {
            return std::make_pair(Enabled(tab, "Button_RESampleGen"), Enabled(tab, "Button_RESampleSave"));
        };
        QCOMPARE(state(), std::make_pair(false, false)); // no usable file
        const std::string path = WriteWav(f, "byte.wav", ByteFile());
        Load(f, tab, path);
        QCOMPARE(state(), std::make_pair(true, false)); // file analysed
        Click(tab, "Button_RESampleGen");
        QCOMPARE(state(), std::make_pair(true, true)); // result held
        Choose(tab, "RadioGroup_RESample_Bit", 1);
        QCOMPARE(state(), std::make_pair(true, true)); // the width has no handler
        Child<QComboBox>(tab, "ComboBox_RESampleFreq")->setCurrentIndex(1);
        QCOMPARE(state(), std::make_pair(true, false)); // stale
        Click(tab, "Button_RESampleGen");
        QCOMPARE(state(), std::make_pair(true, true));
        Save(f, tab, f.dir / "o.bin");
        QCOMPARE(state(), std::make_pair(true, false)); // saved
        Click(tab, "Button_RESampleGen");
        QCOMPARE(state(), std::make_pair(true, true));

        // A file that cannot be written: the message, and the result stays ready to save.
        Save(f, tab, f.dir / "no/such/dir/o.bin");
        QCOMPARE(f.LastBox().text, std::string("Save File Error!!!"));
        QCOMPARE(f.Panel(2), QStringLiteral("cannot create o.bin: No such file or directory"));
        QCOMPARE(state(), std::make_pair(true, true));
        f.dialogs.CancelFile();
        Click(tab, "Button_RESampleSave");
        QCOMPARE(state(), std::make_pair(true, true));

        // A new load starts over; a refused one leaves nothing to generate from.
        Load(f, tab, path);
        QCOMPARE(state(), std::make_pair(true, false));
        testsupport::WavLayout bad = ByteFile();
        bad.bits = 24;
        Load(f, tab, WriteWav(f, "bad.wav", bad));
        QCOMPARE(f.LastBox().text, std::string("Analyze File Error!!!"));
        QCOMPARE(state(), std::make_pair(false, false));
        QCOMPARE(f.dialogs.unexpected, 0);
    }

    void theChannelChosenAtGenerationIsResampled() {
        UiFixture f;
        wav::WavTab* tab = ShowWavTab(f);
        const std::string path = WriteWav(f, "st.wav", StereoFile());
        Load(f, tab, path);
        Choose(tab, "RadioGroup_RESample_Ch_Sel", 1);
        Choose(tab, "RadioGroup_RESample_Bit", 1);
        Click(tab, "Button_RESampleGen");
        Save(f, tab, f.dir / "right.bin");
        Cli({"wav", "resample", path, f.dir / "c.bin", "--channel", "right", "--bits", "16"});
        QCOMPARE(testsupport::ReadFile(f.dir / "right.bin"), testsupport::ReadFile(f.dir / "c.bin"));
        Cli({"wav", "resample", path, f.dir / "l.bin", "--channel", "left", "--bits", "16"});
        QVERIFY(testsupport::ReadFile(f.dir / "right.bin") != testsupport::ReadFile(f.dir / "l.bin"));

        // Every load goes back to the left channel; a mono file leaves the choice disabled.
        Load(f, tab, path);
        QVERIFY(Child<QRadioButton>(tab, "RadioGroup_RESample_Ch_Sel_0")->isChecked());
        Load(f, tab, WriteWav(f, "mono.wav", ByteFile()));
        QVERIFY(!Child<QGroupBox>(tab, "RadioGroup_RESample_Ch_Sel")->isEnabled());
        QCOMPARE(Text(tab, "Label_WavChannelVal"), QStringLiteral("1-Mono"));
    }
};

TAVIX_UI_SUITE(WavTabTest)
#include "WavTabTest.moc"
