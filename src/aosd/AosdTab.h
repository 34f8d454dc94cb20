#pragma once

#include "shell/Workspace.h"

#include <QWidget>

class QRadioButton;

namespace aosd {

// The "AOSD" tab. It holds the " Palette Format " choice that the OSD tab's after views and every palette
// writer follow.
class AosdTab final : public QWidget {
    Q_OBJECT
public:
    explicit AosdTab(shell::Workspace& ws, QWidget* parent = nullptr);

    void TabSheet_AOsdShow() {}
    void TabSheet_AOsdHide() {}
    void rgPaletteFormatClick(int itemIndex);
    // Selects the item of the current PaletteFormat (none for a value other than 0 and 1).
    void ShowPaletteFormat();

private:
    shell::Workspace& ws_;
    QRadioButton* rgb666_ = nullptr;
    QRadioButton* rgb888_ = nullptr;
};

} // namespace aosd
