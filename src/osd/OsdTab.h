#pragma once

#include "osd/OsdFont.h"
#include "osd/OsdState.h"
#include "osd/ReduceHistory.h"
#include "picture/BmpLoader.h"
#include "settings/Settings.h"
#include "ui/Tab.h"

class QCheckBox;
class QLabel;
class QToolButton;
class QPushButton;

namespace widgets {
class ColourGrid;
class PictureView;
class PreviewWindow;
class Swatch;
} // namespace widgets

namespace osd {

// The "OSD" tab: the opened picture before and after palette reduction, both palettes as grids with their
// read-outs, "Reduce Palette" and "Generate".
class OsdTab final : public ui::Tab {
    Q_OBJECT
public:
    OsdTab(const ui::TabContext& context, const settings::Settings& settings, picture::CurrentBitmap& bitmap,
           OsdState& state, QWidget* parent = nullptr);

    QString Caption() const override { return QStringLiteral("OSD"); }
    void TabShown() override { TabSheet_BmpFontShow(); }
    // File > Open shows the file as the Before picture; File > Save writes the After picture with the
    // reduced palette.
    picture::OpenTarget FileOpenTarget() override { return {&state_.Before}; }
    // One picture dropped: File > Open.
    DropOpen DropTaken(const std::vector<std::string>& paths) const override {
        return paths.size() == 1 ? DropOpen::FileOpen : DropOpen::None;
    }
    void SaveActivePicture(const std::string& path) override;
    void PictureRead(const picture::OpenOutcome& outcome, bool active) override;
    void PictureAccepted(bool active) override;
    // Ctrl+Z / Ctrl+Shift+Z: Reduce Palette taken back / made again.
    bool UndoStep() override;
    bool RedoStep() override;

    // The tab is shown (also after File > Open on this tab): picture size and palette size in panel 0.
    void TabSheet_BmpFontShow();
    void BitBtn_GenerateClick();
    void BitBtn_ReducePaletteClick();

    void StringGrid_Palette_BeforeMuseMove(int x, int y);
    void StringGrid_Palette_BeforeMouseDown();
    void StringGrid_Palette_AfterMouseMove(int x, int y);
    void StringGrid_Palette_AfterMouseDown();

    // The Before and After pictures as the workspace holds them now.
    void ShowPictures();
    // "Generate to 2BPP output" is offered for 4-bpp pictures only.
    void SetTo2BppVisible(bool visible);

    // The "OSD Preview" window, once Generate has made one (nothing before).
    widgets::PreviewWindow* Preview() const { return preview_; }

private:
    base::Colour AfterColour(int index) const;
    // Reads the files Generate wrote back and shows them beside the After picture, each cell whose colours
    // differ from the sheet's outlined in red.
    void ShowGeneratePreview(const OsdOptions& options);

    const settings::Settings& settings_;
    picture::CurrentBitmap& bitmap_;
    ReduceHistory history_; // the reductions Ctrl+Z takes back
    OsdState& state_;
    ui::Messages& messages_;
    const ui::FileDialog& openDialog_;
    const std::string& folder_;

    widgets::PictureView* Image_BMP_Before = nullptr;
    widgets::PictureView* Image_BMP_After = nullptr;
    widgets::ColourGrid* StringGrid_Palette_Before = nullptr;
    widgets::ColourGrid* StringGrid_Palette_After = nullptr;
    QLabel* Label_PaletteIndex_Before = nullptr;
    widgets::Swatch* Edit_PaletteIndex_Before = nullptr;
    QLabel* Label_SelectedIndex_Before = nullptr;
    widgets::Swatch* Edit_SelectedIndex_Before = nullptr;
    QLabel* Label_PaletteIndex_After = nullptr;
    widgets::Swatch* Edit_PaletteIndex_After = nullptr;
    QLabel* Label_SelectedIndex_After = nullptr;
    widgets::Swatch* Edit_SelectedIndex_After = nullptr;
    QPushButton* BitBtn_ReducePalette = nullptr;
    QLabel* Label_PaletteNumber_After = nullptr;
    QToolButton* BitBtn_Generate = nullptr;
    QCheckBox* OSD_chkTo2BPP = nullptr;
    widgets::PreviewWindow* preview_ = nullptr; // built by the first Generate
};

} // namespace osd
