#pragma once

#include <QColor>
#include <QWidget>

#include <functional>
#include <optional>

namespace widgets {

// An owner-drawn 16 x 16 grid of 12-pixel colour cells with 1-pixel grid lines, no fixed rows or columns and
// no scroll bars, inside a 1-pixel frame. Pointer positions are reported from the top-left cell's corner, so
// x 0..12 lies in column 0. Each cell is white unless cellColour gives it a colour. The grid keeps a current
// cell, which a left click moves before pressed() is sent.
class ColourGrid final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCells = 16;
    static constexpr int kCellSize = 12;
    static constexpr int kPitch = kCellSize + 1;
    static constexpr int kBorder = 1; // the frame around the cells; pointer positions are inside it

    explicit ColourGrid(QWidget* parent = nullptr);

    // Colour of entry 16 * row + column, or nothing for the empty default look.
    void SetCellColour(std::function<std::optional<QColor>(int index)> cellColour);

    int CurrentColumn() const { return column_; }
    int CurrentRow() const { return row_; }
    void SetCurrent(int column, int row);

signals:
    void pointerMoved(int x, int y);
    void pressed(int x, int y, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<std::optional<QColor>(int)> cellColour_;
    int column_ = 0;
    int row_ = 0;
};

} // namespace widgets
