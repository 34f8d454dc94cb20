#pragma once

#include "shell/Workspace.h"

#include <QWidget>

class QTableWidget;

namespace bitmap {

// The "Bitmap Header" tab: the two headers of the last file File > Open read, field by field.
class BitmapHeaderTab final : public QWidget {
    Q_OBJECT
public:
    BitmapHeaderTab(shell::Workspace& ws, QWidget* parent = nullptr);

    // The tab is shown: fixed texts of both grids, then their values.
    void TabSheet_BitmapHeaderShow();
    // Value columns from the headers (also any click on the grid, and every File > Open).
    void StringGrid_FileHeaderClick();
    void StringGrid_InfoHeaderClick();

private:
    shell::Workspace& ws_;
    QTableWidget* StringGrid_FileHeader = nullptr;
    QTableWidget* StringGrid_InfoHeader = nullptr;
};

} // namespace bitmap
