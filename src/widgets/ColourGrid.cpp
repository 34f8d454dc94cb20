#include "widgets/ColourGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace widgets {

ColourGrid::ColourGrid(QWidget* parent) : ColourGrid(Shape{}, parent) {}

ColourGrid::ColourGrid(Shape shape, QWidget* parent) : QWidget(parent), shape_(std::move(shape)) {
    shape_.columns = std::max(shape_.columns, 1);
    shape_.rows = std::max(shape_.rows, 1);
    column_ = shape_.titleColumn && shape_.columns > 1 ? 1 : 0;
    row_ = shape_.titleRow && shape_.rows > 1 ? 1 : 0;
    // The frame on every side and one pixel to spare on the right and at the bottom.
    setFixedSize(SpanWidth() + 2 * kBorder + 1, SpanHeight() + 2 * kBorder + 1);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void ColourGrid::SetCellColour(std::function<std::optional<QColor>(int index)> cellColour) {
    if (!cellColour) {
        SetCellColourAt({});
        return;
    }
    const int columns = shape_.columns;
    SetCellColourAt([columns, cellColour = std::move(cellColour)](int column, int row) {
        return cellColour(columns * row + column);
    });
}

void ColourGrid::SetCellColourAt(std::function<std::optional<QColor>(int column, int row)> cellColour) {
    cellColour_ = std::move(cellColour);
    update();
}

void ColourGrid::SetTitle(int column, int row, const QString& text) {
    if (!IsFixed(column, row)) return;
    titles_[{column, row}] = text;
    update();
}

QString ColourGrid::Title(int column, int row) const {
    const auto it = titles_.find({column, row});
    return it == titles_.end() ? QString() : it->second;
}

int ColourGrid::ColumnWidth(int column) const {
    const auto c = static_cast<size_t>(column);
    return c < shape_.columnWidths.size() ? shape_.columnWidths[c] : shape_.cellWidth;
}

int ColourGrid::ColumnLeft(int column) const {
    int left = 0;
    for (int c = 0; c < column; ++c)
        left += ColumnWidth(c) + 1;
    return left;
}

bool ColourGrid::IsFixed(int column, int row) const {
    return (shape_.titleRow && row == 0) || (shape_.titleColumn && column == 0);
}

std::optional<std::pair<int, int>> ColourGrid::CellAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= SpanWidth() || y >= SpanHeight()) return std::nullopt;
    int column = 0;
    while (column + 1 < shape_.columns && x >= ColumnLeft(column + 1))
        ++column;
    return std::make_pair(column, y / (shape_.cellHeight + 1));
}

std::optional<int> ColourGrid::EntryAt(int x, int y) const {
    const auto cell = CellAt(x, y);
    if (!cell) return std::nullopt;
    return shape_.columns * cell->second + cell->first;
}

QRect ColourGrid::CellRect(int column, int row) const {
    return QRect(ColumnLeft(column), RowTop(row), ColumnWidth(column), shape_.cellHeight);
}

void ColourGrid::SetCurrent(int column, int row) {
    if (column < 0 || column >= shape_.columns || row < 0 || row >= shape_.rows || IsFixed(column, row))
        return;
    column_ = column;
    row_ = row;
    update();
}

void ColourGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPoint origin(kBorder, kBorder);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.fillRect(QRect(0, 0, SpanWidth() + 2 * kBorder, SpanHeight() + 2 * kBorder),
               palette().color(QPalette::Dark));
    // Grid lines, then each cell in its default look and its colour or title on top.
    p.fillRect(QRect(origin, QSize(SpanWidth(), SpanHeight())), QColor(0xA0, 0xA0, 0xA0));
    for (int row = 0; row < shape_.rows; ++row) {
        for (int column = 0; column < shape_.columns; ++column) {
            const QRect cell = CellRect(column, row).translated(origin);
            if (IsFixed(column, row)) {
                p.fillRect(cell, palette().color(QPalette::Button));
                p.setPen(palette().color(QPalette::ButtonText));
                p.drawText(cell, Qt::AlignCenter, Title(column, row));
                continue;
            }
            p.fillRect(cell, Qt::white);
            if (cellColour_) {
                if (const auto colour = cellColour_(column, row)) p.fillRect(cell, *colour);
            }
        }
    }
    if (hasFocus()) {
        const QRect current = CellRect(column_, row_).translated(origin);
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawRect(current.adjusted(0, 0, -1, -1));
    }
}

void ColourGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint() - QPoint(kBorder, kBorder);
    emit pointerMoved(pos.x(), pos.y());
}

void ColourGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint() - QPoint(kBorder, kBorder);
    if (event->button() == Qt::LeftButton) {
        if (const auto cell = CellAt(pos.x(), pos.y())) SetCurrent(cell->first, cell->second);
    }
    emit pressed(pos.x(), pos.y(), event->button());
}

void ColourGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click: the double click on the cell under it first, then the press it
    // also is.
    const QPoint pos = event->position().toPoint() - QPoint(kBorder, kBorder);
    if (event->button() == Qt::LeftButton) {
        if (const auto cell = CellAt(pos.x(), pos.y())) SetCurrent(cell->first, cell->second);
        emit doubleClicked(pos.x(), pos.y());
    }
    emit pressed(pos.x(), pos.y(), event->button());
}

void ColourGrid::keyPressEvent(QKeyEvent* event) {
    int column = column_;
    int row = row_;
    const QPoint centre = CellRect(column_, row_).center();
    switch (event->key()) {
    case Qt::Key_Left:
        --column;
        break;
    case Qt::Key_Right:
        ++column;
        break;
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_Space:
        emit pressed(centre.x(), centre.y(),
                     event->modifiers().testFlag(Qt::ShiftModifier) ? Qt::RightButton : Qt::LeftButton);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit doubleClicked(centre.x(), centre.y());
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    SetCurrent(column, row);
}

} // namespace widgets
