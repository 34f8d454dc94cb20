#pragma once

#include "picture/BmpLoader.h"
#include "ui/Tab.h"

class QTableWidget;

namespace bitmap {

// The "Bitmap Header" tab: the two headers of the last file File > Open read, field by field.
class BitmapHeaderTab final : public ui::Tab {
    Q_OBJECT
public:
    BitmapHeaderTab(const ui::TabContext& context, const picture::CurrentBitmap& bitmap,
                    QWidget* parent = nullptr);

    QString Caption() const override { return QStringLiteral("Bitmap Header"); }
    void TabShown() override { TabSheet_BitmapHeaderShow(); }
    // Every File > Open that read the headers refreshes the value columns, whatever tab is active; when this
    // tab is active and the file is a PNG, the status bar says that the grids show its BMP header.
    void PictureRead(const picture::OpenOutcome& outcome, bool active) override;

    // The tab is shown: fixed texts of both grids, then their values.
    void TabSheet_BitmapHeaderShow();
    // Value columns from the headers (also any click on the grid, and every File > Open).
    void StringGrid_FileHeaderClick();
    void StringGrid_InfoHeaderClick();

private:
    ui::Messages& messages_;
    const picture::CurrentBitmap& bitmap_;
    QTableWidget* StringGrid_FileHeader = nullptr;
    QTableWidget* StringGrid_InfoHeader = nullptr;
};

} // namespace bitmap
