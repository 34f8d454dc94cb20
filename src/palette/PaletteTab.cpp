#include "palette/PaletteTab.h"

#include "osd/PaletteViews.h"
#include "palette/PaletteEdit.h"
#include "shell/MessagesQt.h"
#include "shell/QtApplication.h"
#include "widgets/ColourGrid.h"
#include "widgets/PictureView.h"
#include "widgets/Placement.h"
#include "widgets/Swatch.h"
#include "widgets/TCSpinEdit.h"

#include <QLabel>
#include <QPushButton>

namespace palette {

namespace {

QPushButton* Button(QWidget* parent, const char* name, const char* caption, int x, int y) {
    auto* button = widgets::Placed(new QPushButton(QString::fromLatin1(caption), parent), name, x, y);
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    button->setFixedSize(88, 28);
    return button;
}

} // namespace

PaletteTab::PaletteTab(const shell::TabContext& context, shell::Workspace& ws, QWidget* parent)
    : shell::Tab(parent), ws_(ws), messages_(context.messages), dialogs_(context.dialogs) {
    ColorDialog_Palette.Name = "ColorDialog_Palette";
    setObjectName(QStringLiteral("TabSheet_Palette"));

    StringGrid_Palette_GRID = widgets::Placed(new widgets::ColourGrid(this), "StringGrid_Palette_GRID", 8, 6);
    StringGrid_Palette_GRID->SetCellColour([this](int i) -> std::optional<QColor> {
        return widgets::ToQColor(ColourOf(ws_.PaletteTable[static_cast<size_t>(i)]));
    });

    Label_PaletteIndex_GRID =
        widgets::PlacedLabel(this, "Label_PaletteIndex_GRID", "Palette Index:", 236, 10, 330);
    Edit_PaletteIndex_GRID = widgets::Placed(new widgets::Swatch(this), "Edit_PaletteIndex_GRID", 236, 30);
    Label_SelectedIndex_GRID_L =
        widgets::PlacedLabel(this, "Label_SelectedIndex_GRID_L", "LEFT Index :", 236, 70, 330);
    Edit_SelectedIndex_GRID_L =
        widgets::Placed(new widgets::Swatch(this), "Edit_SelectedIndex_GRID_L", 236, 90);
    Label_SelectedIndex_GRID_R =
        widgets::PlacedLabel(this, "Label_SelectedIndex_GRID_R", "RIGHT Index :", 236, 130, 330);
    Edit_SelectedIndex_GRID_R =
        widgets::Placed(new widgets::Swatch(this), "Edit_SelectedIndex_GRID_R", 236, 150);

    auto* insert = Button(this, "Button_Palette_Insert", "Insert", 600, 10);
    auto* remove = Button(this, "Button_Palette_Delete", "Delete", 600, 44);
    auto* swap = Button(this, "Button_Palette_Swap", "Swap", 600, 78);
    auto* update = Button(this, "Button_Palette_Update", "Update", 600, 112);
    auto* invert = Button(this, "Button_Palette_Invert", "Invert", 600, 146);
    CSpinEdit_Repeat = widgets::Placed(new widgets::TCSpinEdit(this), "CSpinEdit_Repeat", 700, 80);
    CSpinEdit_Repeat->setRange(1, 100);
    CSpinEdit_Repeat->setValue(1);
    CSpinEdit_Repeat->setFixedWidth(64);

    Image_Palette_PIC = widgets::Placed(new widgets::PictureView(this), "Image_Palette_PIC", 8, 224);
    Image_Palette_PIC->setFixedSize(800, 420);

    connect(StringGrid_Palette_GRID, &widgets::ColourGrid::pointerMoved, this, [this](int x, int y) {
        shell::RunGuarded([=, this] { StringGrid_Palette_GRIDMouseMove(x, y); });
    });
    connect(StringGrid_Palette_GRID, &widgets::ColourGrid::pressed, this,
            [this](int x, int y, Qt::MouseButton b) {
                shell::RunGuarded([=, this] { StringGrid_Palette_GRIDMouseDown(x, y, b); });
            });
    connect(Edit_SelectedIndex_GRID_L, &widgets::Swatch::clicked, this,
            shell::Guarded([this] { Edit_SelectedIndex_GRID_LDblClick(); }));
    connect(Edit_SelectedIndex_GRID_R, &widgets::Swatch::clicked, this,
            shell::Guarded([this] { Edit_SelectedIndex_GRID_RDblClick(); }));
    connect(CSpinEdit_Repeat, &QSpinBox::valueChanged, this,
            shell::Guarded([this] { CSpinEdit_RepeatChange(); }));
    connect(insert, &QPushButton::clicked, this, shell::Guarded([this] { Button_Palette_InsertClick(); }));
    connect(remove, &QPushButton::clicked, this, shell::Guarded([this] { Button_Palette_DeleteClick(); }));
    connect(swap, &QPushButton::clicked, this, shell::Guarded([this] { Button_Palette_SwapClick(); }));
    connect(update, &QPushButton::clicked, this, shell::Guarded([this] { Button_Palette_UpdateClick(); }));
    connect(invert, &QPushButton::clicked, this, shell::Guarded([this] { Button_Palette_InvertClick(); }));
}

void PaletteTab::TabSheet_PaletteShow() {
    messages_.SetPanel(0, osd::PictureStatusText(ws_.bitmap));
    if (ws_.bitmap.Width != 0 && ws_.bitmap.Height != 0) StringGrid_Palette_GRID->update();
}

void PaletteTab::ShowHoverEntry() {
    Label_PaletteIndex_GRID->setText(shell::ToQt(HoverEntryText(ws_)));
    Edit_PaletteIndex_GRID->SetColour(widgets::ToQColor(ws_.palette.HoverSwatch));
}

void PaletteTab::ShowLeftEntry() {
    Label_SelectedIndex_GRID_L->setText(shell::ToQt(LeftEntryText(ws_)));
    Edit_SelectedIndex_GRID_L->SetColour(widgets::ToQColor(ws_.palette.LeftSwatch));
}

void PaletteTab::ShowRightEntry() {
    Label_SelectedIndex_GRID_R->setText(shell::ToQt(RightEntryText(ws_)));
    Edit_SelectedIndex_GRID_R->SetColour(widgets::ToQColor(ws_.palette.RightSwatch));
}

void PaletteTab::ShowEntries() {
    ShowHoverEntry();
    ShowRightEntry();
    ShowLeftEntry();
}

void PaletteTab::ShowPicture() {
    Image_Palette_PIC->Show(ws_.palette.PalettePicture);
    StringGrid_Palette_GRID->update();
}

void PaletteTab::StringGrid_Palette_GRIDMouseMove(int x, int y) {
    if (PointAt(ws_, x, y)) ShowHoverEntry();
}

void PaletteTab::StringGrid_Palette_GRIDMouseDown(int x, int y, Qt::MouseButton button) {
    if (button == Qt::RightButton) {
        const int i = osd::EntryAt(x, y);
        if (i < 0) return;
        StringGrid_Palette_GRID->SetCurrent(i % 16, i / 16);
        PickRight(ws_, i);
        ShowRightEntry();
    } else if (button == Qt::LeftButton) {
        PickLeft(ws_, 16 * StringGrid_Palette_GRID->CurrentRow() + StringGrid_Palette_GRID->CurrentColumn());
        ShowLeftEntry();
    }
}

void PaletteTab::Edit_SelectedIndex_GRID_LDblClick() {
    ColorDialog_Palette.Colour = ws_.palette.LeftSwatch;
    if (!ColorDialog_Palette.Execute(dialogs_)) return;
    ws_.palette.LeftSwatch = ColorDialog_Palette.Colour;
    Edit_SelectedIndex_GRID_L->SetColour(widgets::ToQColor(ws_.palette.LeftSwatch));
}

void PaletteTab::Edit_SelectedIndex_GRID_RDblClick() {
    ColorDialog_Palette.Colour = ws_.palette.RightSwatch;
    if (!ColorDialog_Palette.Execute(dialogs_)) return;
    ws_.palette.RightSwatch = ColorDialog_Palette.Colour;
    Edit_SelectedIndex_GRID_R->SetColour(widgets::ToQColor(ws_.palette.RightSwatch));
}

void PaletteTab::CSpinEdit_RepeatChange() {
    ws_.palette.RepeatCount = static_cast<std::uint8_t>(CSpinEdit_Repeat->value());
}

void PaletteTab::Button_Palette_InsertClick() {
    InsertEntry(ws_);
    TabSheet_PaletteShow();
    ShowRightEntry();
    ShowLeftEntry();
    ShowPicture();
}

void PaletteTab::Button_Palette_DeleteClick() {
    DeleteEntry(ws_);
    TabSheet_PaletteShow();
    ShowRightEntry();
    ShowLeftEntry();
    ShowPicture();
}

void PaletteTab::Button_Palette_SwapClick() {
    ws_.palette.RepeatCount = static_cast<std::uint8_t>(CSpinEdit_Repeat->value());
    SwapEntries(ws_);
    TabSheet_PaletteShow();
    ShowRightEntry();
    ShowLeftEntry();
    ShowPicture();
}

void PaletteTab::Button_Palette_UpdateClick() {
    UpdateEntry(ws_);
    TabSheet_PaletteShow();
    ShowLeftEntry();
    ShowPicture();
}

void PaletteTab::Button_Palette_InvertClick() {
    InvertEntry(ws_);
    TabSheet_PaletteShow();
    ShowLeftEntry();
    ShowPicture();
}

void PaletteTab::PictureRead(const shell::OpenOutcome& outcome, bool active) {
    if (active && outcome.pictureLoaded) ShowPicture();
}

void PaletteTab::PictureAccepted(bool active) {
    if (!active) return;
    TabSheet_PaletteShow();
    ShowEntries();
}

} // namespace palette
