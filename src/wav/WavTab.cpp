#include "wav/WavTab.h"

#include "base/FileProblem.h"
#include "ui/Guarded.h"
#include "ui/Placement.h"
#include "ui/QtConvert.h"
#include "wav/Resampler.h"
#include "wav/SampleWriter.h"
#include "widgets/ValueLabel.h"

#include <QAbstractListModel>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <algorithm>
#include <climits>
#include <optional>

namespace wav {

namespace {

constexpr const char* kWavFilter = "WAV File(*.wav)|*.wav|All File(*.*)|*.*";
constexpr const char* kSampleFilter = "Binary File(*.bin)|*.bin|All File(*.*)|*.*";

constexpr int kGridRowHeight = 20;
constexpr int kGridColumnWidth = 36;
constexpr int kGridTextWidth = 168;
// The view's text is sized in pixels, so that its 17 rows of 20 pixels fit the tab whatever the desktop's
// font size and resolution: a font that needed taller rows would push row 0F out of the view.
constexpr int kGridFontPixels = 12;

// A group of radio buttons side by side, the first one checked; item i is named "<group>_<i>".
QGroupBox* RadioGroup(QWidget* parent, const char* name, const char* caption,
                      std::initializer_list<const char*> items, QButtonGroup*& buttons, int x, int y) {
    auto* group = ui::Placed(new QGroupBox(QString::fromLatin1(caption), parent), name, x, y);
    group->setFixedSize(260, 50);
    auto* layout = new QHBoxLayout(group);
    buttons = new QButtonGroup(group);
    int id = 0;
    for (const char* item : items) {
        auto* radio = new QRadioButton(QString::fromLatin1(item), group);
        radio->setObjectName(QString::fromLatin1(name) + QLatin1Char('_') + QString::number(id));
        layout->addWidget(radio);
        buttons->addButton(radio, id++);
    }
    buttons->button(0)->setChecked(true);
    return group;
}

} // namespace

// The items of the bank box, made when they are shown: a file of a hundred megabytes has some 400,000 banks.
// Before any load the box holds the one item "00000000".
class BankListModel final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void SetBankCount(std::uint64_t count) {
        beginResetModel();
        count_ = count;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        if (parent.isValid()) return 0;
        return count_ ? static_cast<int>(std::min<std::uint64_t>(*count_, INT_MAX)) : 1;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
        if (!count_) return QStringLiteral("00000000");
        return ui::ToQt(BankItemText(static_cast<std::uint64_t>(index.row())));
    }

private:
    std::optional<std::uint64_t> count_;
};

WavTab::WavTab(const ui::TabContext& context, WavState& state, QWidget* parent)
    : ui::Tab(parent), state_(state), messages_(context.messages), dialogs_(context.dialogs),
      openDialog_(context.OpenDialog_Main), saveDialog_(context.SaveDialog_Main), folder_(context.folder),
      header_(DefaultHeaderView()) {
    setObjectName(QStringLiteral("TabSheet_Wav"));

    // The header, one label pair a field.
    GroupBox_WAV = ui::Placed(new QGroupBox(QStringLiteral("Header"), this), "GroupBox_WAV", 8, 4);
    GroupBox_WAV->setFixedSize(300, 276);
    for (int r = 0; r < kHeaderRowCount; ++r) {
        const HeaderLabel& row = header_[static_cast<size_t>(r)];
        captions_[r] = ui::PlacedLabel(GroupBox_WAV, row.captionName, row.caption, 12, 22 + 25 * r, 118);
        values_[r] = ui::PlacedLabel(GroupBox_WAV, row.valueName, "", 136, 22 + 25 * r, 156);
        widgets::NameValueLabel(values_[r], captions_[r]->text());
    }

    // Loading and resampling.
    Button_WAVLoad = ui::PlacedButton(this, "Button_WAVLoad", "WAV Load", 320, 12, 110, 28,
                                      "Open a PCM WAV file and show its header and bytes");
    CheckBox_RemoveWavHeader = ui::Placed(new QCheckBox(QStringLiteral("ReSample_ByPass"), this),
                                          "CheckBox_RemoveWavHeader", 440, 16);
    CheckBox_RemoveWavHeader->setToolTip(QStringLiteral(
        "At the next load, write the sample data without its header beside the WAV file (.bin)"));
    RadioGroup_RESample_Ch_Sel = RadioGroup(this, "RadioGroup_RESample_Ch_Sel", "RESample_Channel",
                                            {"Left Channel", "Right Channel"}, channels_, 320, 48);
    RadioGroup_RESample_Ch_Sel->setEnabled(false);
    RadioGroup_RESample_Ch_Sel->setToolTip(QStringLiteral("The channel of a stereo file that is resampled"));

    Label_RESampleFreq = ui::PlacedLabel(this, "Label_RESampleFreq", "RESample_Frequency:", 320, 110, 126);
    Label_RESampleFreq->setToolTip(QStringLiteral("ADDR: 0x149[7:0]; Default : 0x00"));
    ComboBox_RESampleFreq = ui::Placed(new QComboBox(this), "ComboBox_RESampleFreq", 452, 106);
    ComboBox_RESampleFreq->setFixedSize(100, 24);
    ComboBox_RESampleFreq->setEditable(true);
    ComboBox_RESampleFreq->setInsertPolicy(QComboBox::NoInsert);
    ComboBox_RESampleFreq->addItems({QStringLiteral("8000"), QStringLiteral("16000")});
    ComboBox_RESampleFreq->setCurrentIndex(-1);
    ComboBox_RESampleFreq->setEditText(QStringLiteral("8000"));
    ComboBox_RESampleFreq->setToolTip(Label_RESampleFreq->toolTip());
    ui::NameAfterLabel(Label_RESampleFreq, ComboBox_RESampleFreq);
    // The text is typed into the box's own edit, which a screen reader announces by itself.
    ComboBox_RESampleFreq->lineEdit()->setAccessibleName(ComboBox_RESampleFreq->accessibleName());
    // Beside the rate it filters for.
    CheckBox_LowPass =
        ui::Placed(new QCheckBox(QStringLiteral("Low-pass"), this), "CheckBox_LowPass", 562, 108);
    CheckBox_LowPass->setChecked(false);
    CheckBox_LowPass->setToolTip(QStringLiteral("RESample Gen filters out what lies above half the target "
                                                "frequency first, and an 8-bit save rounds"));

    RadioGroup_RESample_Bit =
        RadioGroup(this, "RadioGroup_RESample_Bit", "RESample_Bit", {"8 Bit", "16 Bit"}, widths_, 320, 138);
    RadioGroup_RESample_Bit->setToolTip(QStringLiteral("The width of the samples RESample Save writes"));

    Button_RESampleGen = ui::PlacedButton(this, "Button_RESampleGen", "RESample Gen", 320, 198, 110, 28,
                                          "Resample the chosen channel to the chosen frequency");
    Button_RESampleSave = ui::PlacedButton(this, "Button_RESampleSave", "RESample Save", 440, 198, 110, 28,
                                           "Write the result as raw samples of the chosen width");
    Button_RESampleGen->setEnabled(false);
    Button_RESampleSave->setEnabled(false);
    Label_RESampleLen = ui::PlacedLabel(this, "Label_RESampleLen", "RESample_Length :", 320, 240, 110);
    Label_RESampleLenVal = ui::PlacedLabel(this, "Label_RESampleLenVal", "0", 440, 240, 160);
    widgets::NameValueLabel(Label_RESampleLenVal, Label_RESampleLen->text());

    // The bank box and the hexadecimal view.
    Label_WAVBankSel = ui::PlacedLabel(this, "Label_WAVBankSel", "Bank:", 612, 16, 36);
    ComboBox_WAVBankSel = ui::Placed(new QComboBox(this), "ComboBox_WAVBankSel", 652, 12);
    ComboBox_WAVBankSel->setFixedSize(150, 24);
    ComboBox_WAVBankSel->setEditable(true);
    ComboBox_WAVBankSel->setInsertPolicy(QComboBox::NoInsert);
    // Neither a completer nor a size fitted to the items would stay quick with hundreds of thousands of them.
    ComboBox_WAVBankSel->setCompleter(nullptr);
    ComboBox_WAVBankSel->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* bankView = new QListView(ComboBox_WAVBankSel);
    bankView->setUniformItemSizes(true);
    ComboBox_WAVBankSel->setView(bankView);
    banks_ = new BankListModel(ComboBox_WAVBankSel);
    ComboBox_WAVBankSel->setModel(banks_);
    ComboBox_WAVBankSel->setCurrentIndex(-1);
    ComboBox_WAVBankSel->setEditText(QStringLiteral("None"));
    ComboBox_WAVBankSel->setToolTip(
        QStringLiteral("The 256-byte bank of the file shown below: offset-number"));
    ui::NameAfterLabel(Label_WAVBankSel, ComboBox_WAVBankSel);
    ComboBox_WAVBankSel->lineEdit()->setAccessibleName(ComboBox_WAVBankSel->accessibleName());

    StringGrid_WavData =
        ui::Placed(new QTableWidget(kDataGridRows, kDataGridColumns, this), "StringGrid_WavData", 8, 288);
    StringGrid_WavData->horizontalHeader()->hide();
    StringGrid_WavData->verticalHeader()->hide();
    StringGrid_WavData->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid_WavData->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid_WavData->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont gridFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    gridFont.setPixelSize(kGridFontPixels);
    StringGrid_WavData->setFont(gridFont);
    // The rows keep their height: the headers would otherwise raise it to what their own font asks for.
    StringGrid_WavData->verticalHeader()->setMinimumSectionSize(kGridRowHeight);
    StringGrid_WavData->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid_WavData->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int c = 0; c < kDataGridColumns; ++c)
        StringGrid_WavData->setColumnWidth(c, c == kDataGridColumns - 1 ? kGridTextWidth : kGridColumnWidth);
    for (int r = 0; r < kDataGridRows; ++r)
        StringGrid_WavData->setRowHeight(r, kGridRowHeight);
    const QBrush fixed = StringGrid_WavData->palette().button();
    for (int r = 0; r < kDataGridRows; ++r)
        for (int c = 0; c < kDataGridColumns; ++c) {
            auto* item = new QTableWidgetItem;
            if (r == 0 || c == 0) { // the title row and column, as the fixed cells of a grid
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(fixed);
            }
            StringGrid_WavData->setItem(r, c, item);
        }
    StringGrid_WavData->setFixedSize(kGridColumnWidth * (kDataGridColumns - 1) + kGridTextWidth + 2,
                                     kGridRowHeight * kDataGridRows + 2);
    StringGrid_WavData->setAccessibleName(QStringLiteral("WAV data"));
    StringGrid_WavData->setToolTip(
        QStringLiteral("The chosen bank of the file: 16 rows of 16 bytes and their text"));

    ShowHeader();

    connect(Button_WAVLoad, &QPushButton::clicked, this, ui::Guarded([this] { Button_WAVLoadClick(); }));
    connect(Button_RESampleGen, &QPushButton::clicked, this,
            ui::Guarded([this] { Button_RESampleGenClick(); }));
    connect(Button_RESampleSave, &QPushButton::clicked, this,
            ui::Guarded([this] { Button_RESampleSaveClick(); }));
    connect(ComboBox_WAVBankSel, &QComboBox::currentIndexChanged, this,
            ui::Guarded([this] { ComboBox_WAVBankSelChange(); }));
    // Any change of the rate box, a chosen item or typed text.
    connect(ComboBox_RESampleFreq, &QComboBox::currentIndexChanged, this,
            ui::Guarded([this] { ComboBox_RESampleFreqChange(); }));
    connect(ComboBox_RESampleFreq, &QComboBox::editTextChanged, this,
            ui::Guarded([this] { ComboBox_RESampleFreqChange(); }));
    connect(CheckBox_LowPass, &QCheckBox::toggled, this, ui::Guarded([this] { CheckBox_LowPassClick(); }));
}

WavTab::~WavTab() = default;

void WavTab::InitWavDataGrid() {
    const DataGrid titles = DataGridTitles();
    for (int c = 0; c < kDataGridColumns; ++c)
        StringGrid_WavData->item(0, c)->setText(ui::ToQt(titles[0][static_cast<size_t>(c)]));
    for (int r = 1; r < kDataGridRows; ++r)
        StringGrid_WavData->item(r, 0)->setText(ui::ToQt(titles[static_cast<size_t>(r)][0]));
}

void WavTab::ShowHeader() {
    for (int r = 0; r < kHeaderRowCount; ++r) {
        const HeaderLabel& row = header_[static_cast<size_t>(r)];
        QLabel* value = values_[r];
        value->setText(ui::ToQt(row.value));
        QPalette palette = value->palette();
        palette.setColor(QPalette::WindowText,
                         row.red ? QColor(Qt::red) : GroupBox_WAV->palette().color(QPalette::WindowText));
        value->setPalette(palette);
    }
}

void WavTab::Button_WAVLoadClick() {
    Button_RESampleSave->setEnabled(false);
    Button_RESampleGen->setEnabled(false);
    const ui::DialogRestore restore(openDialog_);
    openDialog_.Filter = kWavFilter;
    if (!openDialog_.Execute(dialogs_, folder_)) return;
    LoadWav(openDialog_.FileName);
}

void WavTab::LoadWav(const std::string& path) {
    Button_RESampleSave->setEnabled(false);
    Button_RESampleGen->setEnabled(false);
    const LoadResult result =
        LoadWavFile(state_, path, {.writeBypass = CheckBox_RemoveWavHeader->isChecked()});
    if (result.fileRead) {
        ShowLoad(header_, result, state_.check);
        ShowHeader();
        if (state_.check.reach >= HeaderReach::Fields) {
            channels_->button(0)->setChecked(true);
            RadioGroup_RESample_Ch_Sel->setEnabled(state_.check.header.NumChannels != 1);
        }
    }
    if (result.failure) {
        // The message as the tab words it; which file and why (missing, not permitted, not a regular file, a
        // header the tab does not take) beside it.
        messages_.ShowMessage(*result.failure, result.detail);
        return;
    }
    {
        const QSignalBlocker quiet(ComboBox_WAVBankSel);
        banks_->SetBankCount(BankCount(state_.WavImage.size()));
        ComboBox_WAVBankSel->setCurrentIndex(0);
    }
    ShowWavBank(0);
    Button_RESampleGen->setEnabled(true);
    if (result.bypassFailure) messages_.ShowMessage(*result.bypassFailure, result.bypassDetail);
}

void WavTab::ShowWavBank(std::uint64_t bank) {
    if (!state_.imageHeld) return;
    const DataGrid grid = DataGridOf(state_.WavImage.Bytes(), bank);
    for (int r = 1; r < kDataGridRows; ++r)
        for (int c = 1; c < kDataGridColumns; ++c)
            StringGrid_WavData->item(r, c)->setText(
                QString::fromLatin1(grid[static_cast<size_t>(r)][static_cast<size_t>(c)]));
}

void WavTab::ComboBox_WAVBankSelChange() {
    const int index = ComboBox_WAVBankSel->currentIndex();
    if (index >= 0) ShowWavBank(static_cast<std::uint64_t>(index));
}

int WavTab::SelectedRateItem() const {
    const int item = ComboBox_RESampleFreq->currentIndex();
    // A text typed over the chosen item leaves no item chosen.
    if (item < 0 || ComboBox_RESampleFreq->currentText() != ComboBox_RESampleFreq->itemText(item)) return -1;
    return item;
}

SampleWidth WavTab::SelectedWidth() const {
    return widths_->checkedId() == 1 ? SampleWidth::Bits16 : SampleWidth::Bits8;
}

void WavTab::Button_RESampleGenClick() {
    const Channel channel = channels_->checkedId() == 1 ? Channel::Right : Channel::Left;
    const GenerateResult result =
        GenerateResample(state_, channel, TargetRate(SelectedRateItem()), CheckBox_LowPass->isChecked());
    if (result.failure) {
        Button_RESampleSave->setEnabled(false); // no result is held
        messages_.ShowMessage(*result.failure);
        return;
    }
    Label_RESampleLenVal->setText(ui::ToQt(ResampleLengthText(result.count, SelectedWidth())));
    Button_RESampleSave->setEnabled(true);
}

void WavTab::Button_RESampleSaveClick() {
    const ui::DialogRestore restore(saveDialog_);
    saveDialog_.Filter = kSampleFilter;
    saveDialog_.DefaultExt = ".bin";
    if (!saveDialog_.Execute(dialogs_, folder_)) return;
    if (!state_.resultHeld) return;
    base::FailureDetail detail;
    if (const auto failure = SaveSampleFile(state_.ResampleBuffer, SelectedWidth(), Sign::OffsetBinary,
                                            saveDialog_.FileName, state_.WavPath, &detail,
                                            state_.resultFiltered ? EightBit::Round : EightBit::Cut)) {
        messages_.ShowMessage(*failure, detail);
        return;
    }
    Button_RESampleSave->setEnabled(false);
}

void WavTab::ComboBox_RESampleFreqChange() {
    Button_RESampleSave->setEnabled(false);
}

void WavTab::CheckBox_LowPassClick() {
    // As with the rate: the result held no longer matches what the box shows.
    Button_RESampleSave->setEnabled(false);
}

} // namespace wav
