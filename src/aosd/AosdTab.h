#pragma once

#include "shell/Settings.h"
#include "shell/Tab.h"

class QRadioButton;

namespace aosd {

// The "AOSD" tab. It holds the " Palette Format " choice that the OSD tab's after views and every palette
// writer follow.
class AosdTab final : public shell::Tab {
    Q_OBJECT
public:
    AosdTab(const shell::TabContext& context, shell::Settings& settings, QWidget* parent = nullptr);

    QString Caption() const override { return QStringLiteral("AOSD"); }
    shell::Page PageId() const override;
    // The radio group shows the PaletteFormat the settings file gave.
    void FormCreate() override { ShowPaletteFormat(); }
    void TabShown() override { TabSheet_AOsdShow(); }
    void TabHidden() override { TabSheet_AOsdHide(); }

    void TabSheet_AOsdShow() {}
    void TabSheet_AOsdHide() {}
    void rgPaletteFormatClick(int itemIndex);
    // Selects the item of the current PaletteFormat (none for a value other than 0 and 1).
    void ShowPaletteFormat();

private:
    shell::Settings& settings_;
    QRadioButton* rgb666_ = nullptr;
    QRadioButton* rgb888_ = nullptr;
};

} // namespace aosd
