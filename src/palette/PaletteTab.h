#pragma once

#include "palette/PaletteHistory.h"
#include "palette/PaletteState.h"
#include "picture/BmpLoader.h"
#include "ui/Tab.h"

#include <functional>

class QLabel;
class QPushButton;

namespace widgets {
class ColourGrid;
class PictureView;
class Swatch;
class TCSpinEdit;
} // namespace widgets

namespace palette {

struct EditResult;

// The "Palette" tab: the 256 entries of PaletteTable as a grid, the hover, LEFT and RIGHT read-outs, and the
// edits that keep the opened picture's look. It reads and edits the opened bitmap, the palette table and its
// own state, which the frame owns.
class PaletteTab final : public ui::Tab {
    Q_OBJECT
public:
    PaletteTab(const ui::TabContext& context, picture::CurrentBitmap& bitmap, PaletteTable& table,
               PaletteState& state, QWidget* parent = nullptr);

    QString Caption() const override { return QStringLiteral("Palette"); }
    void TabShown() override { TabSheet_PaletteShow(); }
    void TabHidden() override { depthNoteShown_ = false; }
    // File > Open shows the file as this tab's picture and puts its colour table into PaletteTable; File >
    // Save writes the picture with PaletteTable as its colour table.
    picture::OpenTarget FileOpenTarget() override { return {&state_.PalettePicture, &table_}; }
    // One picture dropped: File > Open.
    DropOpen DropTaken(const std::vector<std::string>& paths) const override {
        return paths.size() == 1 ? DropOpen::FileOpen : DropOpen::None;
    }
    void SaveActivePicture(const std::string& path) override;
    void PictureRead(const picture::OpenOutcome& outcome, bool active) override;
    void PictureAccepted(bool active) override;
    bool UndoStep() override;
    bool RedoStep() override;

    ui::ColourDialog ColorDialog_Palette; // this tab's own colour dialog

    // The tab is shown, and after every edit: picture size and palette size in panel 0.
    void TabSheet_PaletteShow();

    void StringGrid_Palette_GRIDMouseMove(int x, int y);
    void StringGrid_Palette_GRIDMouseDown(int x, int y, Qt::MouseButton button);
    void Edit_SelectedIndex_GRID_LDblClick();
    void Edit_SelectedIndex_GRID_RDblClick();
    void CSpinEdit_RepeatChange();
    void Button_Palette_InsertClick();
    void Button_Palette_DeleteClick();
    void Button_Palette_SwapClick();
    void Button_Palette_UpdateClick();
    void Button_Palette_InvertClick();

    // The read-outs of the hover, RIGHT and LEFT entries, in that order (after File > Open on this tab).
    void ShowEntries();
    // PalettePicture as the state holds it now.
    void ShowPicture();

private:
    // An edit as one step of the tab's history.
    void Step(const std::function<void()>& edit);
    void ShowAll();
    void ShowHoverEntry();
    void ShowLeftEntry();
    void ShowRightEntry();
    // Below 8 bits an edit may leave the picture with an index its depth cannot hold: panel 1 says what
    // Generate and File > Save then write, until an edit fits again.
    void ShowDepthNote(const EditResult& result);
    // The accessible descriptions of the grid and the LEFT and RIGHT swatches: what their read-outs show.
    void DescribeSelection();

    picture::CurrentBitmap& bitmap_;
    PaletteTable& table_;
    PaletteState& state_;
    ui::Messages& messages_;
    ui::DialogDriver& dialogs_;
    PaletteHistory history_;      // the edits Ctrl+Z takes back
    bool depthNoteShown_ = false; // panel 1 holds this tab's note since it was last shown

    widgets::ColourGrid* StringGrid_Palette_GRID = nullptr;
    QLabel* Label_PaletteIndex_GRID = nullptr;
    widgets::Swatch* Edit_PaletteIndex_GRID = nullptr;
    QLabel* Label_SelectedIndex_GRID_L = nullptr;
    widgets::Swatch* Edit_SelectedIndex_GRID_L = nullptr;
    QLabel* Label_SelectedIndex_GRID_R = nullptr;
    widgets::Swatch* Edit_SelectedIndex_GRID_R = nullptr;
    widgets::TCSpinEdit* CSpinEdit_Repeat = nullptr;
    widgets::PictureView* Image_Palette_PIC = nullptr;
};

} // namespace palette
