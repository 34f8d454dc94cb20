#pragma once

#include <QImage>
#include <QStringList>
#include <QTableWidget>

#include <functional>
#include <vector>

namespace widgets {

// A grid of text and picture cells under a fixed title row, with a vertical scroll bar: every column has
// its own width and every row below the titles the same height (the sizes are the cells' insides, grid
// lines not counted). The first column may be fixed (drawn like the titles, never selected), and one column
// shows a picture in each row, unscaled from the cell's top-left corner and cut by the cell. Rows are
// counted as the grid shows them: row 0 is the title row, the first row of data is row 1.
//
// Keyboard: the arrow keys move the current cell, Space or Enter presses it (pressedAt with the left
// button), so what a click on a cell does can be done without a mouse. Screen readers read each cell's
// text; a picture cell reads its description.
class PictureGrid final : public QTableWidget {
    Q_OBJECT
public:
    struct Shape {
        std::vector<int> columnWidths; // one per column
        int titleHeight = 32;
        int rowHeight = 64;
        QStringList titles;
        bool fixedFirstColumn = true;
        int pictureColumn = 1;
    };

    explicit PictureGrid(Shape shape, QWidget* parent = nullptr);

    // Rows below the title row.
    void SetDataRows(int count);
    int DataRows() const { return rowCount(); }
    // Fills grid row `row` (1-based): the texts of the columns (the picture column's text is its
    // description), and the picture.
    void SetRow(int row, const QStringList& texts, const QImage& picture);
    QString Text(int column, int row) const;
    QImage Picture(int row) const;

    // The current cell in grid rows (0: none, the title row).
    int CurrentGridRow() const { return currentRow() + 1; }
    int CurrentGridColumn() const { return currentColumn(); }
    // The rectangle of cell (column, row) in the viewport (row 1 and up).
    QRect CellRect(int column, int row) const;

    // What the tooltip of the picture in row (1-based) shows, asked for when the tooltip is about to show
    // (rich text; an empty text keeps the cell's own tooltip, its description).
    void SetPictureToolTip(std::function<QString(int row)> provider) { pictureToolTip_ = std::move(provider); }
    QString PictureToolTip(int row) const { return pictureToolTip_ ? pictureToolTip_(row) : QString(); }

signals:
    // A mouse button was pressed on cell (column, row) in grid rows, after the grid moved its current cell.
    void pressedAt(int column, int row, Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    Shape shape_;
    std::function<QString(int row)> pictureToolTip_;
};

} // namespace widgets
