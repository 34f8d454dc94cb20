#include "osd/OsdTab.h"

#include "osd/OsdDecoder.h"
#include "osd/OsdFont.h"
#include "osd/OsdOpen.h"
#include "osd/PaletteReduce.h"
#include "osd/PaletteViews.h"
#include "osd/ReducedSave.h"
#include "ui/Guarded.h"
#include "ui/Placement.h"
#include "ui/QtConvert.h"
#include "widgets/ColourGrid.h"
#include "widgets/PictureView.h"
#include "widgets/PreviewWindow.h"
#include "widgets/Swatch.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace osd {

namespace {

// The picture on the Generate button: a character cell cut into MSB and LSB planes.
QIcon GenerateIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.fillRect(QRect(2, 2, 16, 28), QColor(0x1F, 0x2A, 0x44));
    p.fillRect(QRect(6, 6, 8, 3), QColor(0xFF, 0xC8, 0x3C));
    p.fillRect(QRect(9, 9, 2, 17), QColor(0xFF, 0xC8, 0x3C));
    p.fillRect(QRect(21, 4, 9, 11), QColor(0x5C, 0xE0, 0xD0));
    p.fillRect(QRect(21, 17, 9, 11), QColor(0x3A, 0x9A, 0xE0));
    return QIcon(pixmap);
}

} // namespace

OsdTab::OsdTab(const ui::TabContext& context, const settings::Settings& settings,
               picture::CurrentBitmap& bitmap, OsdState& state, QWidget* parent)
    : ui::Tab(parent), settings_(settings), bitmap_(bitmap), state_(state), messages_(context.messages),
      openDialog_(context.OpenDialog_Main), folder_(context.folder) {
    setObjectName(QStringLiteral("TabSheet_BmpFont"));

    Image_BMP_Before = ui::Placed(new widgets::PictureView(this), "Image_BMP_Before", 3, 11);
    Image_BMP_Before->setFixedSize(256, 256);
    Image_BMP_After = ui::Placed(new widgets::PictureView(this), "Image_BMP_After", 3, 307);
    Image_BMP_After->setFixedSize(256, 256);
    Image_BMP_After->setToolTip(QStringLiteral("The picture after Reduce Palette. Ctrl+Z undoes"));

    StringGrid_Palette_Before =
        ui::Placed(new widgets::ColourGrid(this), "StringGrid_Palette_Before", 279, 3);
    StringGrid_Palette_After =
        ui::Placed(new widgets::ColourGrid(this), "StringGrid_Palette_After", 272, 307);
    StringGrid_Palette_Before->SetCellColour([this](int i) -> std::optional<QColor> {
        if (i < bitmap_.PaletteBytes / 4) return ui::ToQColor(RawEntryColour(bitmap_, i));
        return std::nullopt;
    });
    StringGrid_Palette_After->SetCellColour([this](int i) -> std::optional<QColor> {
        if (i < bitmap_.ReducedCount) return ui::ToQColor(AfterColour(i));
        return std::nullopt;
    });

    Label_PaletteIndex_Before =
        ui::PlacedLabel(this, "Label_PaletteIndex_Before", "[B] Palette Index:", 496, 13, 380);
    Edit_PaletteIndex_Before = ui::Placed(new widgets::Swatch(this), "Edit_PaletteIndex_Before", 496, 32);
    Label_SelectedIndex_Before =
        ui::PlacedLabel(this, "Label_SelectedIndex_Before", "[B] Selected Index:", 496, 64, 380);
    Edit_SelectedIndex_Before = ui::Placed(new widgets::Swatch(this), "Edit_SelectedIndex_Before", 496, 88);
    Label_PaletteIndex_After =
        ui::PlacedLabel(this, "Label_PaletteIndex_After", "[A] Palette Index:", 496, 304, 380);
    Edit_PaletteIndex_After = ui::Placed(new widgets::Swatch(this), "Edit_PaletteIndex_After", 496, 328);
    Label_SelectedIndex_After =
        ui::PlacedLabel(this, "Label_SelectedIndex_After", "[A] Selected Index:", 496, 360, 380);
    Edit_SelectedIndex_After = ui::Placed(new widgets::Swatch(this), "Edit_SelectedIndex_After", 496, 384);

    // The palette grids and swatches draw themselves: they carry the names of what they show, and each
    // describes the entry its read-out names.
    ui::NameOwnerDrawn(StringGrid_Palette_Before, QStringLiteral("Palette before"));
    ui::NameOwnerDrawn(StringGrid_Palette_After, QStringLiteral("Palette after"));
    ui::NameAfterLabel(Label_PaletteIndex_Before, Edit_PaletteIndex_Before);
    ui::NameAfterLabel(Label_SelectedIndex_Before, Edit_SelectedIndex_Before);
    ui::NameAfterLabel(Label_PaletteIndex_After, Edit_PaletteIndex_After);
    ui::NameAfterLabel(Label_SelectedIndex_After, Edit_SelectedIndex_After);

    BitBtn_ReducePalette =
        ui::Placed(new QPushButton(QStringLiteral("Reduce Palette"), this), "BitBtn_ReducePalette", 279, 232);
    BitBtn_ReducePalette->setFixedSize(120, 28);
    Label_PaletteNumber_After =
        ui::PlacedLabel(this, "Label_PaletteNumber_After", "[A] Palette Number:  000 ", 279, 272, 380);

    BitBtn_Generate = ui::Placed(new QToolButton(this), "BitBtn_Generate", 700, 150);
    BitBtn_Generate->setText(QStringLiteral("Generate"));
    BitBtn_Generate->setIcon(GenerateIcon());
    BitBtn_Generate->setIconSize(QSize(32, 32));
    BitBtn_Generate->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    BitBtn_Generate->setFixedSize(110, 64);
    OSD_chkTo2BPP =
        ui::Placed(new QCheckBox(QStringLiteral("Generate to 2BPP output"), this), "OSD_chkTo2BPP", 680, 224);
    OSD_chkTo2BPP->setVisible(false);

    connect(BitBtn_Generate, &QToolButton::clicked, this, ui::Guarded([this] { BitBtn_GenerateClick(); }));
    connect(BitBtn_ReducePalette, &QPushButton::clicked, this, ui::Guarded([this] {
                history_.Begin(bitmap_, state_);
                BitBtn_ReducePaletteClick();
                history_.End(bitmap_);
            }));
    connect(StringGrid_Palette_Before, &widgets::ColourGrid::pointerMoved, this,
            [this](int x, int y) { ui::RunGuarded([=, this] { StringGrid_Palette_BeforeMuseMove(x, y); }); });
    connect(StringGrid_Palette_Before, &widgets::ColourGrid::pressed, this,
            [this](int, int, Qt::MouseButton) {
                ui::RunGuarded([this] { StringGrid_Palette_BeforeMouseDown(); });
            });
    connect(StringGrid_Palette_After, &widgets::ColourGrid::pointerMoved, this,
            [this](int x, int y) { ui::RunGuarded([=, this] { StringGrid_Palette_AfterMouseMove(x, y); }); });
    connect(StringGrid_Palette_After, &widgets::ColourGrid::pressed, this, [this](int, int, Qt::MouseButton) {
        ui::RunGuarded([this] { StringGrid_Palette_AfterMouseDown(); });
    });
}

base::Colour OsdTab::AfterColour(int index) const {
    return bitmap_.ReducedPalette[static_cast<size_t>(index & 0xFF)] & settings_.PaletteColorMask();
}

void OsdTab::TabSheet_BmpFontShow() {
    messages_.SetPanel(ui::Messages::kPicturePanel, PictureStatusText(bitmap_));
    if (bitmap_.Width != 0 && bitmap_.Height != 0) {
        StringGrid_Palette_Before->update();
        StringGrid_Palette_After->update();
    }
}

void OsdTab::BitBtn_GenerateClick() {
    const OsdOptions options = MakeOsdOptions(settings_, openDialog_.FileName, OSD_chkTo2BPP->isChecked(),
                                              base::OutputDirectory::Current(folder_));
    const GenerateResult result = GenerateOsdFont(bitmap_, options);
    messages_.ShowNotes(result.notes);
    // Panel 1 keeps the last " OK !" note; what FONT_Init leaves out goes beside it, or nothing.
    if (result.ran) messages_.ShowDetailOf(result.notes);
    if (result.failure) {
        messages_.DialogPrintError(1, *result.failure);
        return;
    }
    if (result.ran) ShowGeneratePreview(options);
}

void OsdTab::ShowGeneratePreview(const OsdOptions& options) {
    const auto files = GeneratedFilesOf(options, bitmap_.BitsPerPixel);
    if (!files) return;
    const picture::Picture& sheet = state_.Before;
    const OsdPreview preview = PreviewOsdFiles(files->base, files->options, sheet.pixels, sheet.width, sheet.height);
    const picture::IndexedImage& decoded = preview.files.decoded.image;
    QImage image = decoded.indices.empty() ? QImage() : widgets::ToQImage(decoded);
    constexpr int kZoom = 2;
    if (!image.isNull()) {
        image = image.scaled(image.size() * kZoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QPainter painter(&image);
        painter.setPen(QPen(Qt::red, 2));
        const int cw = files->options.cellWidth;
        for (std::size_t k = 0; k < preview.mismatched.size(); ++k)
            if (preview.mismatched[k])
                painter.drawRect(static_cast<int>(k % 16) * cw * kZoom + 1, static_cast<int>(k / 16) * 16 * kZoom + 1,
                                 cw * kZoom - 2, 16 * kZoom - 2);
    }
    QStringList lines;
    for (const std::string& line : preview.files.lines)
        lines << ui::ToQt(line);
    if (preview.files.failure) lines << ui::ToQt(*preview.files.failure);
    if (!preview.mismatched.empty())
        lines << (preview.mismatchedCells == 0
                      ? QStringLiteral("Every cell shows the sheet's colours.")
                      : QStringLiteral("%1 of %2 cells differ from the sheet (outlined in red).")
                            .arg(preview.mismatchedCells)
                            .arg(preview.mismatched.size()));
    if (!preview_) {
        preview_ = new widgets::PreviewWindow(QStringLiteral("OSD Preview"), QStringLiteral("After"),
                                              QStringLiteral("Preview"), this);
        preview_->setObjectName(QStringLiteral("OSD_Preview"));
        // Beside the After picture, right of the tab.
        preview_->move(mapToGlobal(QPoint(width(), Image_BMP_After->y())));
    }
    const QImage after = widgets::ToImage(state_.After.Empty() ? state_.Before : state_.After);
    preview_->ShowPictures(after.scaled(after.size() * kZoom, Qt::IgnoreAspectRatio, Qt::FastTransformation), image,
                           lines.join(QLatin1Char('\n')));
}

void OsdTab::BitBtn_ReducePaletteClick() {
    const int count = ReducePalette(bitmap_, state_, settings_.PaletteColorMask());
    Label_PaletteNumber_After->setText(ui::ToQt(PaletteNumberText(count)));
    Image_BMP_After->Show(state_.After);
    StringGrid_Palette_After->update();
}

void OsdTab::StringGrid_Palette_BeforeMuseMove(int x, int y) {
    const auto entry = StringGrid_Palette_Before->EntryAt(x, y);
    if (!entry) return;
    const int i = *entry;
    const base::Colour c = RawEntryColour(bitmap_, i);
    Label_PaletteIndex_Before->setText(
        ui::ToQt(EntryText("[B] Palette Index:", static_cast<std::uint16_t>(i), c)));
    Edit_PaletteIndex_Before->SetColour(ui::ToQColor(c));
    Edit_PaletteIndex_Before->setAccessibleDescription(Label_PaletteIndex_Before->text());
}

void OsdTab::StringGrid_Palette_BeforeMouseDown() {
    const int i = 16 * StringGrid_Palette_Before->CurrentRow() + StringGrid_Palette_Before->CurrentColumn();
    const base::Colour c = RawEntryColour(bitmap_, i);
    Label_SelectedIndex_Before->setText(
        ui::ToQt(EntryText("[B] Selected Index:", static_cast<std::uint16_t>(i), c)));
    Edit_SelectedIndex_Before->SetColour(ui::ToQColor(c));
    Edit_SelectedIndex_Before->setAccessibleDescription(Label_SelectedIndex_Before->text());
    StringGrid_Palette_Before->setAccessibleDescription(Label_SelectedIndex_Before->text());
}

void OsdTab::StringGrid_Palette_AfterMouseMove(int x, int y) {
    const auto entry = StringGrid_Palette_After->EntryAt(x, y);
    if (!entry) return;
    const int i = *entry;
    const base::Colour c = AfterColour(i);
    Label_PaletteIndex_After->setText(
        ui::ToQt(EntryText("[A] Palette Index:", static_cast<std::uint16_t>(i), c)));
    Edit_PaletteIndex_After->SetColour(ui::ToQColor(c));
    Edit_PaletteIndex_After->setAccessibleDescription(Label_PaletteIndex_After->text());
}

void OsdTab::StringGrid_Palette_AfterMouseDown() {
    const int i = 16 * StringGrid_Palette_After->CurrentRow() + StringGrid_Palette_After->CurrentColumn();
    const base::Colour c = AfterColour(i);
    Label_SelectedIndex_After->setText(
        ui::ToQt(EntryText("[A] Selected Index:", static_cast<std::uint16_t>(i), c)));
    Edit_SelectedIndex_After->SetColour(ui::ToQColor(c));
    Edit_SelectedIndex_After->setAccessibleDescription(Label_SelectedIndex_After->text());
    StringGrid_Palette_After->setAccessibleDescription(Label_SelectedIndex_After->text());
}

void OsdTab::ShowPictures() {
    Image_BMP_Before->Show(state_.Before);
    Image_BMP_After->Show(state_.After);
    StringGrid_Palette_Before->update();
    StringGrid_Palette_After->update();
}

void OsdTab::SetTo2BppVisible(bool visible) {
    OSD_chkTo2BPP->setVisible(visible);
}

void OsdTab::SaveActivePicture(const std::string& path) {
    SaveReducedPicture(bitmap_, state_, settings_.PaletteColorMask(), path);
    ShowPictures();
}

void OsdTab::PictureRead(const picture::OpenOutcome& outcome, bool) {
    FollowOpen(state_, outcome);
    ShowPictures();
}

bool OsdTab::UndoStep() {
    if (!history_.Undo(bitmap_, state_)) return false;
    Label_PaletteNumber_After->setText(ui::ToQt(PaletteNumberText(bitmap_.ReducedCount)));
    ShowPictures();
    return true;
}

bool OsdTab::RedoStep() {
    if (!history_.Redo(bitmap_, state_)) return false;
    Label_PaletteNumber_After->setText(ui::ToQt(PaletteNumberText(bitmap_.ReducedCount)));
    ShowPictures();
    return true;
}

void OsdTab::PictureAccepted(bool active) {
    history_.Clear(); // another picture: its reductions cannot be taken back
    SetTo2BppVisible(bitmap_.BitsPerPixel == 4);
    if (active) TabSheet_BmpFontShow();
}

} // namespace osd
