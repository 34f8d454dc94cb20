#include "palette/PaletteTab.h"

#include <functional>

#include "osd/PaletteViews.h"
#include "palette/PaletteEdit.h"
#include "palette/PaletteOpen.h"
#include "palette/PaletteSave.h"
#include "ui/Guarded.h"
#include "ui/Placement.h"
#include "ui/QtConvert.h"
#include "widgets/ColourGrid.h"
#include "widgets/PictureView.h"
#include "widgets/Swatch.h"
#include "widgets/TCSpinEdit.h"

#include <QLabel>
#include <QPushButton>

namespace palette {

namespace {

// The swatch beside label is named after it; the form's captions put a blank before the colon
// ("LEFT Index :"), which a screen reader should not announce.
void NameAfter(QLabel* label, QWidget* control) {
    ui::NameAfterLabel(label, control);
    control->setAccessibleName(control->accessibleName().trimmed());
}

} // namespace

PaletteTab::PaletteTab(const ui::TabContext& context, picture::CurrentBitmap& bitmap, PaletteTable& table,
                       PaletteState& state, QWidget* parent)
    : ui::Tab(parent), bitmap_(bitmap), table_(table), state_(state), messages_(context.messages),
      dialogs_(context.dialogs) {
    ColorDialog_Palette.Name = "ColorDialog_Palette";
    setObjectName(QStringLiteral("TabSheet_Palette"));

    StringGrid_Palette_GRID = ui::Placed(new widgets::ColourGrid(this), "StringGrid_Palette_GRID", 8, 6);
    StringGrid_Palette_GRID->SetCellColour(
        [this](int i) -> std::optional<QColor> { return ui::ToQColor(EntryColour(table_, i)); });

    Label_PaletteIndex_GRID =
        ui::PlacedLabel(this, "Label_PaletteIndex_GRID", "Palette Index:", 236, 10, 330);
    Edit_PaletteIndex_GRID = ui::Placed(new widgets::Swatch(this), "Edit_PaletteIndex_GRID", 236, 30);
    Label_SelectedIndex_GRID_L =
        ui::PlacedLabel(this, "Label_SelectedIndex_GRID_L", "LEFT Index :", 236, 70, 330);
    Edit_SelectedIndex_GRID_L = ui::Placed(new widgets::Swatch(this), "Edit_SelectedIndex_GRID_L", 236, 90);
    Label_SelectedIndex_GRID_R =
        ui::PlacedLabel(this, "Label_SelectedIndex_GRID_R", "RIGHT Index :", 236, 130, 330);
    Edit_SelectedIndex_GRID_R = ui::Placed(new widgets::Swatch(this), "Edit_SelectedIndex_GRID_R", 236, 150);

    // The edits, one under the other, in bold.
    auto* insert = ui::PlacedButton(this, "Button_Palette_Insert", "Insert", 600, 10, 88, 28);
    auto* remove = ui::PlacedButton(this, "Button_Palette_Delete", "Delete", 600, 44, 88, 28);
    auto* swap = ui::PlacedButton(this, "Button_Palette_Swap", "Swap", 600, 78, 88, 28);
    auto* update = ui::PlacedButton(this, "Button_Palette_Update", "Update", 600, 112, 88, 28);
    auto* invert = ui::PlacedButton(this, "Button_Palette_Invert", "Invert", 600, 146, 88, 28);
    for (QPushButton* edit : {insert, remove, swap, update, invert}) {
        QFont bold = edit->font();
        bold.setBold(true);
        edit->setFont(bold);
    }
    CSpinEdit_Repeat = ui::Placed(new widgets::TCSpinEdit(this), "CSpinEdit_Repeat", 700, 80);
    CSpinEdit_Repeat->setRange(1, 100);
    CSpinEdit_Repeat->setValue(1);
    CSpinEdit_Repeat->setFixedWidth(64);

    Image_Palette_PIC = ui::Placed(new widgets::PictureView(this), "Image_Palette_PIC", 8, 224);
    Image_Palette_PIC->setFixedSize(800, 420);

    // Names for a screen reader; the descriptions repeat the read-outs once there are any (ShowHoverEntry
    // and its kin).
    ui::NameOwnerDrawn(StringGrid_Palette_GRID, QStringLiteral("Palette entries"));
    StringGrid_Palette_GRID->setToolTip(
        QStringLiteral("Left click: LEFT entry; right click: RIGHT entry. Ctrl+Z undoes an edit"));
    NameAfter(Label_PaletteIndex_GRID, Edit_PaletteIndex_GRID);
    NameAfter(Label_SelectedIndex_GRID_L, Edit_SelectedIndex_GRID_L);
    NameAfter(Label_SelectedIndex_GRID_R, Edit_SelectedIndex_GRID_R);
    CSpinEdit_Repeat->setAccessibleName(QStringLiteral("Swap repeat count"));
    CSpinEdit_Repeat->setAccessibleDescription(QStringLiteral("Number of entries Swap exchanges, 1 to 100"));

    connect(StringGrid_Palette_GRID, &widgets::ColourGrid::pointerMoved, this,
            [this](int x, int y) { ui::RunGuarded([=, this] { StringGrid_Palette_GRIDMouseMove(x, y); }); });
    connect(StringGrid_Palette_GRID, &widgets::ColourGrid::pressed, this,
            [this](int x, int y, Qt::MouseButton b) {
                ui::RunGuarded([=, this] { StringGrid_Palette_GRIDMouseDown(x, y, b); });
            });
    connect(Edit_SelectedIndex_GRID_L, &widgets::Swatch::clicked, this,
            ui::Guarded([this] { Edit_SelectedIndex_GRID_LDblClick(); }));
    connect(Edit_SelectedIndex_GRID_R, &widgets::Swatch::clicked, this,
            ui::Guarded([this] { Edit_SelectedIndex_GRID_RDblClick(); }));
    connect(CSpinEdit_Repeat, &QSpinBox::valueChanged, this,
            ui::Guarded([this] { CSpinEdit_RepeatChange(); }));
    connect(insert, &QPushButton::clicked, this,
            ui::Guarded([this] { Step([this] { Button_Palette_InsertClick(); }); }));
    connect(remove, &QPushButton::clicked, this,
            ui::Guarded([this] { Step([this] { Button_Palette_DeleteClick(); }); }));
    connect(swap, &QPushButton::clicked, this,
            ui::Guarded([this] { Step([this] { Button_Palette_SwapClick(); }); }));
    connect(update, &QPushButton::clicked, this,
            ui::Guarded([this] { Step([this] { Button_Palette_UpdateClick(); }); }));
    connect(invert, &QPushButton::clicked, this,
            ui::Guarded([this] { Step([this] { Button_Palette_InvertClick(); }); }));
}

void PaletteTab::TabSheet_PaletteShow() {
    messages_.SetPanel(ui::Messages::kPicturePanel, osd::PictureStatusText(bitmap_));
    if (bitmap_.Width != 0 && bitmap_.Height != 0) StringGrid_Palette_GRID->update();
}

void PaletteTab::ShowHoverEntry() {
    const QString text = ui::ToQt(HoverEntryText(table_, state_));
    Label_PaletteIndex_GRID->setText(text);
    Edit_PaletteIndex_GRID->SetColour(ui::ToQColor(state_.HoverSwatch));
    Edit_PaletteIndex_GRID->setAccessibleDescription(text);
}

void PaletteTab::ShowLeftEntry() {
    palette::ShowLeftEntry(table_, state_);
    Label_SelectedIndex_GRID_L->setText(ui::ToQt(LeftEntryText(table_, state_)));
    Edit_SelectedIndex_GRID_L->SetColour(ui::ToQColor(state_.LeftSwatch));
    DescribeSelection();
}

void PaletteTab::ShowRightEntry() {
    palette::ShowRightEntry(table_, state_);
    Label_SelectedIndex_GRID_R->setText(ui::ToQt(RightEntryText(table_, state_)));
    Edit_SelectedIndex_GRID_R->SetColour(ui::ToQColor(state_.RightSwatch));
    DescribeSelection();
}

void PaletteTab::DescribeSelection() {
    // What the labels show, also where a handler leaves one of them behind its entry (Invert, Update).
    const QString left = Label_SelectedIndex_GRID_L->text();
    const QString right = Label_SelectedIndex_GRID_R->text();
    Edit_SelectedIndex_GRID_L->setAccessibleDescription(left);
    Edit_SelectedIndex_GRID_R->setAccessibleDescription(right);
    StringGrid_Palette_GRID->setAccessibleDescription(left + QLatin1Char('\n') + right);
}

void PaletteTab::ShowEntries() {
    ShowHoverEntry();
    ShowRightEntry();
    ShowLeftEntry();
}

void PaletteTab::ShowPicture() {
    Image_Palette_PIC->Show(state_.PalettePicture);
    StringGrid_Palette_GRID->update();
}

void PaletteTab::ShowDepthNote(const EditResult& result) {
    if (!result.notes.empty()) {
        messages_.ShowNotes(result.notes);
        depthNoteShown_ = true;
    } else if (depthNoteShown_) {
        // The picture fits its depth again: the note no longer holds.
        messages_.SetPanel(ui::Messages::kMessagePanel, std::string());
        depthNoteShown_ = false;
    }
}

void PaletteTab::StringGrid_Palette_GRIDMouseMove(int x, int y) {
    const auto i = StringGrid_Palette_GRID->EntryAt(x, y);
    if (i && PointAt(table_, state_, *i)) ShowHoverEntry();
}

void PaletteTab::StringGrid_Palette_GRIDMouseDown(int x, int y, Qt::MouseButton button) {
    if (button == Qt::RightButton) {
        const auto i = StringGrid_Palette_GRID->EntryAt(x, y);
        if (!i) return;
        StringGrid_Palette_GRID->SetCurrent(*i % 16, *i / 16);
        PickRight(table_, state_, *i);
        ShowRightEntry();
    } else if (button == Qt::LeftButton) {
        PickLeft(table_, state_,
                 16 * StringGrid_Palette_GRID->CurrentRow() + StringGrid_Palette_GRID->CurrentColumn());
        ShowLeftEntry();
    }
}

void PaletteTab::Edit_SelectedIndex_GRID_LDblClick() {
    ColorDialog_Palette.Colour = state_.LeftSwatch;
    if (!ColorDialog_Palette.Execute(dialogs_)) return;
    state_.LeftSwatch = ColorDialog_Palette.Colour;
    Edit_SelectedIndex_GRID_L->SetColour(ui::ToQColor(state_.LeftSwatch));
}

void PaletteTab::Edit_SelectedIndex_GRID_RDblClick() {
    ColorDialog_Palette.Colour = state_.RightSwatch;
    if (!ColorDialog_Palette.Execute(dialogs_)) return;
    state_.RightSwatch = ColorDialog_Palette.Colour;
    Edit_SelectedIndex_GRID_R->SetColour(ui::ToQColor(state_.RightSwatch));
}

void PaletteTab::CSpinEdit_RepeatChange() {
    state_.RepeatCount = static_cast<std::uint8_t>(CSpinEdit_Repeat->value());
}

void PaletteTab::Button_Palette_InsertClick() {
    const EditResult result = InsertEntry(bitmap_, table_, state_, state_.LeftIndex, state_.LeftSwatch);
    TabSheet_PaletteShow();
    ShowRightEntry();
    ShowLeftEntry();
    ShowPicture();
    ShowDepthNote(result);
}

void PaletteTab::Button_Palette_DeleteClick() {
    const EditResult result = DeleteEntry(bitmap_, table_, state_, state_.LeftIndex);
    TabSheet_PaletteShow();
    ShowRightEntry();
    ShowLeftEntry();
    ShowPicture();
    ShowDepthNote(result);
}

void PaletteTab::Button_Palette_SwapClick() {
    state_.RepeatCount = static_cast<std::uint8_t>(CSpinEdit_Repeat->value());
    const EditResult result =
        SwapEntries(bitmap_, table_, state_, state_.LeftIndex, state_.RightIndex, state_.RepeatCount);
    TabSheet_PaletteShow();
    ShowRightEntry();
    ShowLeftEntry();
    ShowPicture();
    ShowDepthNote(result);
}

void PaletteTab::Button_Palette_UpdateClick() {
    const EditResult result = UpdateEntry(bitmap_, table_, state_, state_.LeftIndex, state_.LeftSwatch);
    TabSheet_PaletteShow();
    ShowLeftEntry();
    ShowPicture();
    ShowDepthNote(result);
}

void PaletteTab::Button_Palette_InvertClick() {
    const EditResult result = InvertEntry(bitmap_, table_, state_, state_.LeftIndex);
    TabSheet_PaletteShow();
    ShowLeftEntry();
    ShowPicture();
    ShowDepthNote(result);
}

void PaletteTab::PictureRead(const picture::OpenOutcome& outcome, bool active) {
    // A new picture starts within its depth; panel 1 now belongs to whatever File > Open reports.
    depthNoteShown_ = false;
    if (active && outcome.pictureLoaded) ShowPicture();
}

void PaletteTab::Step(const std::function<void()>& edit) {
    history_.Begin(bitmap_, table_, state_);
    edit();
    history_.End(bitmap_, table_, state_);
}

bool PaletteTab::UndoStep() {
    if (!history_.Undo(bitmap_, table_, state_)) return false;
    ShowAll();
    return true;
}

bool PaletteTab::RedoStep() {
    if (!history_.Redo(bitmap_, table_, state_)) return false;
    ShowAll();
    return true;
}

void PaletteTab::ShowAll() {
    TabSheet_PaletteShow();
    ShowEntries();
    ShowPicture();
}

void PaletteTab::SaveActivePicture(const std::string& path) {
    SavePalettePicture(bitmap_, table_, state_, path);
    ShowPicture();
}

void PaletteTab::PictureAccepted(bool active) {
    history_.Clear(); // another picture: its steps cannot be taken back
    if (!active) return;
    ResetPicks(table_, state_);
    TabSheet_PaletteShow();
    ShowEntries();
}

} // namespace palette
