#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace widgets {

// An owner-drawn grid of colour cells with 1-pixel grid lines and no scroll bars, inside a 1-pixel frame:
// by default 16 x 16 cells of 12 pixels and no fixed cells (the palette views), or any rows x columns with a
// cell size, per-column widths and a fixed title row and/or column that show texts. Pointer positions are
// reported from the top-left cell's corner, so with the default shape x 0..12 lies in column 0. Each
// non-fixed cell is white unless the cell colour function gives it a colour. The grid keeps a current cell
// (never a fixed one), which a left click moves before pressed() is sent.
//
// Keyboard: the arrow keys move the current cell, Space presses it with the left button, Shift+Space with
// the right, and Enter double-clicks it, so everything the mouse does can be done without one.
class ColourGrid final : public QWidget {
    Q_OBJECT
public:
    // The default shape.
    static constexpr int kCells = 16;
    static constexpr int kCellSize = 12;
    static constexpr int kPitch = kCellSize + 1;
    static constexpr int kBorder = 1; // the frame around the cells; pointer positions are inside it

    struct Shape {
        int columns = kCells;
        int rows = kCells;
        int cellWidth = kCellSize; // every column, unless columnWidths names it
        int cellHeight = kCellSize;
        std::vector<int> columnWidths; // widths of the first columns (grid line not included)
        bool titleRow = false;         // row 0 is fixed and shows titles
        bool titleColumn = false;      // column 0 is fixed and shows titles
    };

    explicit ColourGrid(QWidget* parent = nullptr);
    explicit ColourGrid(Shape shape, QWidget* parent = nullptr);

    // Colour of entry columns * row + column (16 * row + column in the default shape), or nothing for the
    // empty default look.
    void SetCellColour(std::function<std::optional<QColor>(int index)> cellColour);
    // The same by column and row.
    void SetCellColourAt(std::function<std::optional<QColor>(int column, int row)> cellColour);
    // The text of a fixed cell (in the title row or the title column).
    void SetTitle(int column, int row, const QString& text);
    QString Title(int column, int row) const;

    const Shape& GridShape() const { return shape_; }
    int ColumnWidth(int column) const;
    // The cell under a pointer position (as the signals report them), or nothing off the cells.
    std::optional<std::pair<int, int>> CellAt(int x, int y) const;
    // The entry (columns * row + column) of the cell under a pointer position, or nothing off the cells.
    std::optional<int> EntryAt(int x, int y) const;
    // The rectangle of cell (column, row) in pointer positions.
    QRect CellRect(int column, int row) const;

    int CurrentColumn() const { return column_; }
    int CurrentRow() const { return row_; }
    // Moves the current cell; a fixed cell or one off the grid is refused.
    void SetCurrent(int column, int row);

signals:
    void pointerMoved(int x, int y);
    void pressed(int x, int y, Qt::MouseButton button);
    void doubleClicked(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool IsFixed(int column, int row) const;
    int ColumnLeft(int column) const;
    int RowTop(int row) const { return row * (shape_.cellHeight + 1); }
    int SpanWidth() const { return ColumnLeft(shape_.columns); }
    int SpanHeight() const { return RowTop(shape_.rows); }

    Shape shape_;
    std::function<std::optional<QColor>(int, int)> cellColour_;
    std::map<std::pair<int, int>, QString> titles_;
    int column_ = 0;
    int row_ = 0;
};

} // namespace widgets
