#include "aosd/AosdTab.h"

#include "aosd/AosdDecoder.h"
#include "aosd/AosdMerge.h"
#include "base/Path.h"
#include "ui/Guarded.h"
#include "ui/Placement.h"
#include "ui/QtConvert.h"
#include "widgets/ColourGrid.h"
#include "widgets/PictureView.h"
#include "widgets/PreviewWindow.h"
#include "widgets/ValueLabel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace aosd {

namespace {

// What the value labels of "Information" hold before anything was written into them.
const QString kBlankValue = QStringLiteral("        ");

} // namespace

AosdTab::AosdTab(const ui::TabContext& context, settings::Settings& settings, PaletteTable& paletteTable,
                 AosdState& state, QWidget* parent)
    : ui::Tab(parent), settings_(settings), paletteTable_(paletteTable), state_(state),
      messages_(context.messages), dialogs_(context.dialogs), folder_(context.folder) {
    setObjectName(QStringLiteral("TabSheet_AOsd"));

    Aosd_DlgOpenPicture.Name = "Aosd_DlgOpenPicture";
    Aosd_DlgOpenPicture.Filter = ui::kPictureOpenFilter;
    Aosd_DlgOpenBinary.Name = "Aosd_DlgOpenBinary";
    Aosd_DlgOpenBinary.Filter = "Binary File(*.bin)|*.bin|All File(*.*)|*.*";
    Aosd_DlgSaveFile.Name = "Aosd_DlgSaveFile";
    Aosd_DlgSaveFile.kind = ui::FileDialog::Kind::Save;
    Aosd_DlgSaveFile.Filter = "Binary File(*.bin)|*.bin|Text File(*.txt)|*.txt|All File(*.*)|*.*";

    Aosd_imgPicture = ui::Placed(new widgets::PictureView(this), "Aosd_imgPicture", 8, 8);
    Aosd_imgPicture->setFixedSize(800, 320);
    ui::NameOwnerDrawn(Aosd_imgPicture, QStringLiteral("Picture"));

    // The palette format, under the picture on the left.
    auto* group = new QGroupBox(QStringLiteral(" Palette Format "), this);
    group->setObjectName(QStringLiteral("rgPaletteFormat"));
    group->setGeometry(8, 336, 200, 48);
    auto* layout = new QHBoxLayout(group);
    rgb666_ = new QRadioButton(QStringLiteral("RGB666"), group);
    rgb888_ = new QRadioButton(QStringLiteral("RGB888"), group);
    rgb666_->setObjectName(QStringLiteral("rgPaletteFormat_RGB666"));
    rgb888_->setObjectName(QStringLiteral("rgPaletteFormat_RGB888"));
    layout->addWidget(rgb666_);
    layout->addWidget(rgb888_);
    auto* formats = new QButtonGroup(this);
    formats->addButton(rgb666_, 0);
    formats->addButton(rgb888_, 1);

    // The buttons and the image count.
    Aosd_BtnOpenPicture = ui::PlacedButton(this, "Aosd_BtnOpenPicture", "Open Picture", 8, 392, 150, 28);
    Aosd_BtnWriteImage = ui::PlacedButton(this, "Aosd_BtnWriteImage", "Write Image", 8, 424, 150, 28);
    Aosd_BtnWritePalette = ui::PlacedButton(this, "Aosd_BtnWritePalette", "Write Palette", 8, 456, 150, 28);
    Aosd_BtnMultiImages =
        ui::PlacedButton(this, "Aosd_BtnMultiImages", "Write Multi Images", 8, 488, 150, 28);
    Aosd_BtnMergeFiles = ui::PlacedButton(this, "Aosd_BtnMergeFiles", "Merge Bin Files", 8, 544, 150, 28);
    Aosd_BtnWriteImage->setEnabled(false);
    Aosd_BtnWritePalette->setEnabled(false);
    Aosd_BtnMultiImages->setEnabled(false);
    Aosd_chkMergeFiles =
        ui::Placed(new QCheckBox(QStringLiteral("New Merge File"), this), "Aosd_chkMergeFiles", 8, 576);
    Aosd_LblImgNum = ui::PlacedLabel(this, "Aosd_LblImgNum", "Image Number:", 8, 522, 90);
    Aosd_edtImageNo = ui::Placed(new QLineEdit(QStringLiteral("1"), this), "Aosd_edtImageNo", 104, 519);
    Aosd_edtImageNo->setFixedWidth(54);
    Aosd_edtImageNo->setMaxLength(3);
    Aosd_edtImageNo->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), Aosd_edtImageNo));
    ui::NameAfterLabel(Aosd_LblImgNum, Aosd_edtImageNo);
    Aosd_MemoTxt = ui::Placed(new QPlainTextEdit(this), "Aosd_MemoTxt", 0, 0);
    Aosd_MemoTxt->setVisible(false);

    // "Information": bold captions, blue values.
    Aosd_gbImgInfo =
        ui::Placed(new QGroupBox(QStringLiteral("Information"), this), "Aosd_gbImgInfo", 216, 336);
    Aosd_gbImgInfo->setFixedSize(260, 170);
    const struct {
        const char* caption;
        const char* name;
        QLabel** value;
    } rows[] = {
        {"File Name:", "Aosd_lbFname", &Aosd_lbFname},
        {"Image Width:", "Aosd_lbImgWidth", &Aosd_lbImgWidth},
        {"Image Height:", "Aosd_lbImgHeight", &Aosd_lbImgHeight},
        {"Write Size:", "Aosd_lbWriteSize", &Aosd_lbWriteSize},
        {"Compress Percent:", "Aosd_lbPercent", &Aosd_lbPercent},
    };
    int y = 28;
    for (const auto& row : rows) {
        auto* caption = new QLabel(QString::fromLatin1(row.caption), Aosd_gbImgInfo);
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
        caption->move(10, y);
        auto* value = ui::PlacedLabel(Aosd_gbImgInfo, row.name, "        ", 140, y, 110);
        QPalette blue = value->palette();
        blue.setColor(QPalette::WindowText, Qt::blue);
        value->setPalette(blue);
        widgets::NameValueLabel(value, caption->text());
        *row.value = value;
        y += 26;
    }
    Aosd_lbPercent->setText(QString());

    // "Option".
    Aosd_gbImgOption =
        ui::Placed(new QGroupBox(QStringLiteral("Option"), this), "Aosd_gbImgOption", 484, 336);
    Aosd_gbImgOption->setFixedSize(180, 170);
    Aosd_chkBinary =
        ui::Placed(new QCheckBox(QStringLiteral("Binary"), Aosd_gbImgOption), "Aosd_chkBinary", 12, 26);
    Aosd_chkBinary->setChecked(true);
    Aosd_chkBinary->setEnabled(false);
    Aosd_chkRLCEnable = ui::Placed(new QCheckBox(QStringLiteral("RLC Enable"), Aosd_gbImgOption),
                                   "Aosd_chkRLCEnable", 12, 52);
    Aosd_chkRLCEnable->setToolTip(QStringLiteral("Data 0xFF will change to 0xFE"));
    Aosd_chkSplitPalette = ui::Placed(new QCheckBox(QStringLiteral("Hex Palette"), Aosd_gbImgOption),
                                      "Aosd_chkSplitPalette", 12, 78);
    Aosd_rdo70A =
        ui::Placed(new QRadioButton(QStringLiteral("K470A"), Aosd_gbImgOption), "Aosd_rdo70A", 12, 108);
    Aosd_rdo70E =
        ui::Placed(new QRadioButton(QStringLiteral("K470E"), Aosd_gbImgOption), "Aosd_rdo70E", 12, 134);
    Aosd_rdo70A->setChecked(true);
    Aosd_rdo70A->setEnabled(false);
    Aosd_rdo70E->setEnabled(false);

    Aosd_SGrid_Palette = ui::Placed(new widgets::ColourGrid(this), "Aosd_SGrid_Palette", 672, 336);
    Aosd_SGrid_Palette->SetCellColour([this](int i) { return Aosd_SGrid_PaletteDrawCell(i); });
    ui::NameOwnerDrawn(Aosd_SGrid_Palette, QStringLiteral("Palette"));

    // The options act on their state change, whatever made it: a click, the keyboard, a screen reader's
    // toggle action or the program. ShowPaletteFormat blocks the radio buttons' signals while it shows the
    // setting, so that showing it does not set it again.
    for (QAbstractButton* radio : formats->buttons())
        connect(radio, &QAbstractButton::toggled, this, [this, id = formats->id(radio)](bool checked) {
            if (checked) ui::RunGuarded([=, this] { rgPaletteFormatClick(id); });
        });
    connect(Aosd_BtnOpenPicture, &QPushButton::clicked, this,
            ui::Guarded([this] { Aosd_BtnOpenPictureClick(); }));
    connect(Aosd_BtnWriteImage, &QPushButton::clicked, this,
            ui::Guarded([this] { Aosd_BtnWriteImageClick(); }));
    connect(Aosd_BtnWritePalette, &QPushButton::clicked, this,
            ui::Guarded([this] { Aosd_BtnWritePaletteClick(); }));
    connect(Aosd_BtnMultiImages, &QPushButton::clicked, this,
            ui::Guarded([this] { Aosd_BtnMultiImagesClick(); }));
    connect(Aosd_BtnMergeFiles, &QPushButton::clicked, this,
            ui::Guarded([this] { Aosd_BtnMergeFilesClick(); }));
    connect(Aosd_edtImageNo, &QLineEdit::textChanged, this, ui::Guarded([this] { Aosd_edtImageNoChange(); }));
    connect(Aosd_chkRLCEnable, &QCheckBox::toggled, this, ui::Guarded([this] { Aosd_chkRLCEnableClick(); }));
    connect(Aosd_chkSplitPalette, &QCheckBox::toggled, this,
            ui::Guarded([this] { Aosd_chkSplitPaletteClick(); }));
}

void AosdTab::rgPaletteFormatClick(int itemIndex) {
    settings_.SetPaletteFormat(itemIndex == 0 ? settings::PaletteFormat::Rgb666
                                              : settings::PaletteFormat::Rgb888);
}

void AosdTab::ShowPaletteFormat() {
    const std::optional<settings::PaletteFormat> item = settings_.PaletteFormatItem();
    const QSignalBlocker quiet666(rgb666_);
    const QSignalBlocker quiet888(rgb888_);
    rgb666_->setChecked(item == settings::PaletteFormat::Rgb666);
    rgb888_->setChecked(item == settings::PaletteFormat::Rgb888);
}

RlcOptions AosdTab::ChosenRlc() const {
    return RlcOptions{Aosd_chkRLCEnable->isChecked(),
                      Aosd_rdo70E->isChecked() ? ChipModel::K470E : ChipModel::K470A};
}

void AosdTab::Aosd_BtnOpenPictureClick() {
    if (!Aosd_DlgOpenPicture.Execute(dialogs_, folder_)) return;
    const OpenPictureOutcome outcome = OpenAosdPicture(state_, paletteTable_, Aosd_DlgOpenPicture.FileName,
                                                       ui::FromQt(Aosd_edtImageNo->text()));
    if (outcome.failure) messages_.DialogPrintError(1, *outcome.failure);
    if (!outcome.opened) return;
    Aosd_imgPicture->Show(ShownPicture(state_.picture));
    Aosd_lbFname->setText(ui::ToQt(base::FileNameOf(state_.AosdPicturePath)));
    Aosd_lbImgWidth->setText(QString::number(state_.picture.width));
    Aosd_lbImgHeight->setText(QString::number(state_.picture.height));
    Aosd_BtnWriteImage->setEnabled(true);
    Aosd_BtnWritePalette->setEnabled(true);
    if (state_.AosdImageCount >= 2) Aosd_BtnMultiImages->setEnabled(true);
    Aosd_SGrid_Palette->update();
}

void AosdTab::Aosd_edtImageNoChange() {
    switch (
        ImageNumberChanged(state_, ui::FromQt(Aosd_edtImageNo->text()), Aosd_BtnWriteImage->isEnabled())) {
    case MultiButton::Disable:
        Aosd_BtnMultiImages->setEnabled(false);
        break;
    case MultiButton::Enable:
        Aosd_BtnMultiImages->setEnabled(true);
        break;
    case MultiButton::Keep:
        break;
    }
}

void AosdTab::Aosd_chkRLCEnableClick() {
    const bool on = Aosd_chkRLCEnable->isChecked();
    Aosd_rdo70A->setEnabled(on);
    Aosd_rdo70E->setEnabled(on);
}

void AosdTab::Aosd_chkSplitPaletteClick() {
    Aosd_chkBinary->setChecked(!Aosd_chkSplitPalette->isChecked());
}

std::optional<QColor> AosdTab::Aosd_SGrid_PaletteDrawCell(int i) const {
    if (i < 0 || i >= 256 || i >= ShownPaletteEntries(state_.AosdPaletteBytes)) return std::nullopt;
    const base::PALETTEENTRY& e = paletteTable_[static_cast<std::size_t>(i)];
    return QColor(e.peRed, e.peGreen, e.peBlue);
}

void AosdTab::ShowImageWrite(const ImageWriteResult& result) {
    Aosd_imgPicture->Show(ShownPicture(state_.picture));
    Aosd_lbFname->setText(ui::ToQt(result.fileName));
    Aosd_lbImgWidth->setText(QString::number(result.width));
    Aosd_lbImgHeight->setText(QString::number(result.height));
    Aosd_lbWriteSize->setText(QString::number(result.writeSize));
    Aosd_lbPercent->setText(ui::ToQt(CompressPercentText(result.rawSize, result.writeSize)));
    // The code has no room for index 255: say how many pixels it moved to 254.
    messages_.SetPanel(ui::Messages::kDetailPanel, ChangedPixelsNote(result.changedPixels));
}

void AosdTab::Aosd_BtnWriteImageClick() {
    const RlcOptions rlc = ChosenRlc();
    Aosd_DlgSaveFile.FilterIndex = 1;
    Aosd_DlgSaveFile.FileName = ProposedImageName(state_.AosdBaseName, rlc.rlc);
    if (!Aosd_DlgSaveFile.Execute(dialogs_, folder_)) return;
    Aosd_chkBinary->setChecked(true);
    const ImageWriteResult result = WriteAosdImage(state_, rlc, Aosd_DlgSaveFile.FileName);
    if (result.failure) {
        messages_.DialogPrintError(1, *result.failure);
        return;
    }
    ShowImageWrite(result);
    ShowWritePreview(rlc, false);
}

void AosdTab::ShowWritePreview(const RlcOptions& rlc, bool sequence) {
    const AosdPreview preview = PreviewAosdOutput(state_, rlc, sequence);
    QString text = QStringLiteral("Preview: %1").arg(ui::ToQt(DifferingText(preview.differing)));
    if (preview.differingPerFrame.size() > 1) {
        QStringList frames;
        for (std::size_t f = 0; f < preview.differingPerFrame.size(); ++f)
            frames << QStringLiteral("frame %1: %2").arg(f + 1).arg(ui::ToQt(DifferingText(preview.differingPerFrame[f])));
        text += QStringLiteral(" (") + frames.join(QStringLiteral("; ")) + QStringLiteral(")");
    }
    if (preview.failure) text = QStringLiteral("Preview: ") + ui::ToQt(*preview.failure);
    messages_.SetPanel(ui::Messages::kMessagePanel, ui::FromQt(text));
    if (!preview_) {
        preview_ = new widgets::PreviewWindow(QStringLiteral("AOSD Preview"), QStringLiteral("Source"),
                                              QStringLiteral("Decoded"), this);
        preview_->setObjectName(QStringLiteral("Aosd_Preview"));
        preview_->move(mapToGlobal(QPoint(Aosd_imgPicture->x() + 40, Aosd_imgPicture->y() + 40)));
    }
    const QImage source = preview.source.indices.empty() ? QImage() : widgets::ToQImage(preview.source);
    const QImage decoded = preview.decoded.indices.empty() ? QImage() : widgets::ToQImage(preview.decoded);
    // Small pictures are shown larger, up to eight times, so that a differing pixel can be seen.
    const int side = std::max(source.width(), source.height());
    const int zoom = side > 0 ? std::clamp(320 / side, 1, 8) : 1;
    preview_->ShowPictures(source, decoded, text, zoom);
}

void AosdTab::Aosd_BtnWritePaletteClick() {
    const bool hex = Aosd_chkSplitPalette->isChecked();
    Aosd_MemoTxt->clear();
    if (hex) {
        Aosd_chkBinary->setChecked(false);
        QStringList lines;
        for (const std::string& line : HexPaletteLines(paletteTable_, settings_.PaletteFormat()))
            lines << ui::ToQt(line);
        Aosd_MemoTxt->setPlainText(lines.join(QLatin1Char('\n')));
    }
    Aosd_DlgSaveFile.FilterIndex = hex ? 2 : 1;
    Aosd_DlgSaveFile.FileName = ProposedPaletteName(state_.AosdBaseName);
    if (!Aosd_DlgSaveFile.Execute(dialogs_, folder_)) return;
    WriteAosdPalette(state_, paletteTable_, settings_.PaletteFormat(), hex, Aosd_DlgSaveFile.FileName);
}

void AosdTab::Aosd_BtnMultiImagesClick() {
    const RlcOptions rlc = ChosenRlc();
    Aosd_DlgSaveFile.FilterIndex = 1;
    Aosd_DlgSaveFile.FileName = ProposedSequenceName(state_.AosdBaseName, state_.AosdImageCount, rlc.rlc);
    if (!EndsInNumber(state_.AosdBaseName)) {
        messages_.DialogPrintError(1, NoSequenceMessage(state_.AosdBaseName));
        return;
    }
    if (!Aosd_DlgSaveFile.Execute(dialogs_, folder_)) return;
    Aosd_chkBinary->setChecked(true);
    const ImageWriteResult result = WriteAosdSequence(state_, rlc, Aosd_DlgSaveFile.FileName);
    if (result.failure) {
        messages_.DialogPrintError(1, *result.failure);
        return;
    }
    ShowImageWrite(result);
    ShowWritePreview(rlc, true);
}

void AosdTab::Aosd_BtnMergeFilesClick() {
    if (!Aosd_DlgOpenBinary.Execute(dialogs_, folder_)) return;
    const MergeResult result =
        MergeBinFile(state_.merge, Aosd_DlgOpenBinary.FileName, Aosd_chkMergeFiles->isChecked());
    if (result.failure) {
        messages_.DialogPrintError(1, *result.failure);
        return;
    }
    Aosd_chkMergeFiles->setChecked(false);
    Aosd_lbFname->setText(ui::ToQt(result.fileName));
    Aosd_lbWriteSize->setText(QString::number(result.mergedSize));
    Aosd_lbPercent->setText(QString());
}

} // namespace aosd
