#pragma once

#include "aosd/AosdPicture.h"
#include "aosd/AosdState.h"
#include "aosd/AosdWriters.h"
#include "aosd/RlcEncoder.h"
#include "settings/Settings.h"
#include "ui/Dialogs.h"
#include "ui/Tab.h"

#include <QColor>

#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace widgets {
class ColourGrid;
class PictureView;
class PreviewWindow;
} // namespace widgets

namespace aosd {

// The "AOSD" tab: an indexed picture and its palette, written as raw or RLC image data, as a numbered
// sequence or as palette data, and merged into one file with an offset table. The " Palette Format " choice
// it holds is also followed by the OSD tab's after views and every palette writer.
class AosdTab final : public ui::Tab {
    Q_OBJECT
public:
    AosdTab(const ui::TabContext& context, settings::Settings& settings, PaletteTable& paletteTable,
            AosdState& state, QWidget* parent = nullptr);

    QString Caption() const override { return QStringLiteral("AOSD"); }
    // The radio group shows the PaletteFormat the settings file gave.
    void FormCreate() override { ShowPaletteFormat(); }
    void TabShown() override { TabSheet_AOsdShow(); }
    void TabHidden() override { TabSheet_AOsdHide(); }
    // One picture dropped: Open Picture.
    DropOpen DropTaken(const std::vector<std::string>& paths) const override {
        return paths.size() == 1 ? DropOpen::Own : DropOpen::None;
    }
    void OpenDropped(const std::vector<std::string>&) override { Aosd_BtnOpenPictureClick(); }

    void TabSheet_AOsdShow() {}
    void TabSheet_AOsdHide() {}
    void rgPaletteFormatClick(int itemIndex);
    // Selects the item of the current palette format (none for a number the settings file held that the
    // group has no item for).
    void ShowPaletteFormat();

    void Aosd_BtnOpenPictureClick();
    void Aosd_edtImageNoChange();
    void Aosd_chkRLCEnableClick();
    void Aosd_chkSplitPaletteClick();
    void Aosd_BtnWriteImageClick();
    void Aosd_BtnWritePaletteClick();
    void Aosd_BtnMultiImagesClick();
    void Aosd_BtnMergeFilesClick();
    // The colour of palette grid cell i, or nothing for the grid's own look (before a picture is opened).
    std::optional<QColor> Aosd_SGrid_PaletteDrawCell(int i) const;

    // The "AOSD Preview" window, once an image was written (nothing before).
    widgets::PreviewWindow* Preview() const { return preview_; }

private:
    RlcOptions ChosenRlc() const;
    void ShowImageWrite(const ImageWriteResult& result);
    // Reads the output just written back and shows it beside the pictures it was made from; the status bar
    // says "identical" or how many pixels differ.
    void ShowWritePreview(const RlcOptions& rlc, bool sequence);

    settings::Settings& settings_;
    PaletteTable& paletteTable_;
    AosdState& state_;
    ui::Messages& messages_;
    ui::DialogDriver& dialogs_;
    std::string& folder_;

    ui::FileDialog Aosd_DlgOpenPicture;
    ui::FileDialog Aosd_DlgOpenBinary;
    ui::FileDialog Aosd_DlgSaveFile;

    widgets::PictureView* Aosd_imgPicture = nullptr;
    widgets::PreviewWindow* preview_ = nullptr; // built by the first write of an image
    QPushButton* Aosd_BtnOpenPicture = nullptr;
    QPushButton* Aosd_BtnWriteImage = nullptr;
    QPushButton* Aosd_BtnWritePalette = nullptr;
    QPushButton* Aosd_BtnMultiImages = nullptr;
    QPushButton* Aosd_BtnMergeFiles = nullptr;
    QCheckBox* Aosd_chkMergeFiles = nullptr;
    QLabel* Aosd_LblImgNum = nullptr;
    QLineEdit* Aosd_edtImageNo = nullptr;
    QPlainTextEdit* Aosd_MemoTxt = nullptr;
    widgets::ColourGrid* Aosd_SGrid_Palette = nullptr;
    QRadioButton* rgb666_ = nullptr;
    QRadioButton* rgb888_ = nullptr;
    QGroupBox* Aosd_gbImgInfo = nullptr;
    QLabel* Aosd_lbFname = nullptr;
    QLabel* Aosd_lbImgWidth = nullptr;
    QLabel* Aosd_lbImgHeight = nullptr;
    QLabel* Aosd_lbWriteSize = nullptr;
    QLabel* Aosd_lbPercent = nullptr;
    QGroupBox* Aosd_gbImgOption = nullptr;
    QCheckBox* Aosd_chkBinary = nullptr;
    QCheckBox* Aosd_chkRLCEnable = nullptr;
    QCheckBox* Aosd_chkSplitPalette = nullptr;
    QRadioButton* Aosd_rdo70A = nullptr;
    QRadioButton* Aosd_rdo70E = nullptr;
};

} // namespace aosd
