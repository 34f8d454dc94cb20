#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <utility>

namespace widgets {

// The magnified glyph: columns x rows cells of cellWidth x cellHeight screen pixels, each with a 1-pixel grid
// line on its right and below it, so the grid is columns * (cellWidth + 1) pixels wide and has no frame,
// no fixed cells and no scroll bars. Pointer positions are the grid's own pixel coordinates, so cell
// (c, r) starts at (c * (cellWidth + 1), r * (cellHeight + 1)).
//
// Keyboard: the arrow keys move a cursor cell and Space presses it with the left button (Alt or Shift held
// counting as Alt, since desktops often keep Alt+Space for themselves), so a glyph can be drawn without a
// mouse. The accessible description names the cursor cell and what the describe function says of it.
class GlyphGrid final : public QWidget {
    Q_OBJECT
public:
    explicit GlyphGrid(QWidget* parent = nullptr);

    // Resizes the grid to the shape; the cursor stays inside it.
    void SetShape(int columns, int rows, int cellWidth, int cellHeight);
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    int CellWidth() const { return cellWidth_; }
    int CellHeight() const { return cellHeight_; }
    // The point in the middle of cell (column, row), in pointer positions.
    QPoint CellCentre(int column, int row) const;
    // The cell (column, row) under a pointer position, its grid lines included; nothing off the cells.
    std::optional<std::pair<int, int>> CellAt(int x, int y) const;

    void SetCellColour(std::function<QColor(int column, int row)> cellColour);
    void SetCellDescription(std::function<QString(int column, int row)> describe);
    // Repaints every cell and describes the cursor cell anew (after the picture changed).
    void Refresh();

    int CursorColumn() const { return cursorColumn_; }
    int CursorRow() const { return cursorRow_; }
    void SetCursor(int column, int row);

signals:
    // A mouse button went down (or Space was pressed) at (x, y); alt: the Alt key was held.
    void pressed(int x, int y, Qt::MouseButton button, bool alt);
    // The pointer moved to (x, y) while a button is held; leftHeld: the left one is among them.
    void moved(int x, int y, bool leftHeld, bool alt);
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void Describe();

    int columns_ = 16;
    int rows_ = 16;
    int cellWidth_ = 10;
    int cellHeight_ = 10;
    int cursorColumn_ = 0;
    int cursorRow_ = 0;
    std::function<QColor(int, int)> cellColour_;
    std::function<QString(int, int)> describe_;
};

} // namespace widgets
