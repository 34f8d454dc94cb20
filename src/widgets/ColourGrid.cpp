#include "widgets/ColourGrid.h"

#include <QMouseEvent>
#include <QPainter>

namespace widgets {

ColourGrid::ColourGrid(QWidget* parent) : QWidget(parent) {
    setFixedSize(211, 211);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

void ColourGrid::SetCellColour(std::function<std::optional<QColor>(int index)> cellColour) {
    cellColour_ = std::move(cellColour);
    update();
}

void ColourGrid::SetCurrent(int column, int row) {
    if (column < 0 || column >= kCells || row < 0 || row >= kCells) return;
    column_ = column;
    row_ = row;
    update();
}

void ColourGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int span = kCells * kPitch;
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.fillRect(QRect(0, 0, span + 2 * kBorder, span + 2 * kBorder), palette().color(QPalette::Dark));
    // Grid lines, then each cell in its default look and its colour on top.
    p.fillRect(QRect(kBorder, kBorder, span, span), QColor(0xA0, 0xA0, 0xA0));
    for (int row = 0; row < kCells; ++row) {
        for (int column = 0; column < kCells; ++column) {
            const QRect cell(kBorder + column * kPitch, kBorder + row * kPitch, kCellSize, kCellSize);
            p.fillRect(cell, Qt::white);
            if (cellColour_) {
                if (const auto colour = cellColour_(kCells * row + column)) p.fillRect(cell, *colour);
            }
        }
    }
    if (hasFocus()) {
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawRect(QRect(kBorder + column_ * kPitch, kBorder + row_ * kPitch, kCellSize - 1, kCellSize - 1));
    }
}

void ColourGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint() - QPoint(kBorder, kBorder);
    emit pointerMoved(pos.x(), pos.y());
}

void ColourGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint() - QPoint(kBorder, kBorder);
    const bool onCell =
        pos.x() >= 0 && pos.y() >= 0 && pos.x() < kCells * kPitch && pos.y() < kCells * kPitch;
    if (event->button() == Qt::LeftButton && onCell) SetCurrent(pos.x() / kPitch, pos.y() / kPitch);
    emit pressed(pos.x(), pos.y(), event->button());
}

} // namespace widgets
