#include "widgets/GlyphGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace widgets {

GlyphGrid::GlyphGrid(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    SetShape(columns_, rows_, cellWidth_, cellHeight_);
}

void GlyphGrid::SetShape(int columns, int rows, int cellWidth, int cellHeight) {
    columns_ = std::max(columns, 1);
    rows_ = std::max(rows, 1);
    cellWidth_ = std::max(cellWidth, 1);
    cellHeight_ = std::max(cellHeight, 1);
    setFixedSize(columns_ * (cellWidth_ + 1), rows_ * (cellHeight_ + 1));
    SetCursor(cursorColumn_, cursorRow_);
}

QPoint GlyphGrid::CellCentre(int column, int row) const {
    return QPoint(column * (cellWidth_ + 1) + cellWidth_ / 2, row * (cellHeight_ + 1) + cellHeight_ / 2);
}

std::optional<std::pair<int, int>> GlyphGrid::CellAt(int x, int y) const {
    if (x < 0 || y < 0) return std::nullopt;
    const int column = x / (cellWidth_ + 1);
    const int row = y / (cellHeight_ + 1);
    if (column >= columns_ || row >= rows_) return std::nullopt;
    return std::make_pair(column, row);
}

void GlyphGrid::SetCellColour(std::function<QColor(int column, int row)> cellColour) {
    cellColour_ = std::move(cellColour);
    update();
}

void GlyphGrid::SetCellDescription(std::function<QString(int column, int row)> describe) {
    describe_ = std::move(describe);
    Describe();
}

void GlyphGrid::Refresh() {
    update();
    Describe();
}

void GlyphGrid::SetCursor(int column, int row) {
    cursorColumn_ = std::clamp(column, 0, columns_ - 1);
    cursorRow_ = std::clamp(row, 0, rows_ - 1);
    update();
    Describe();
}

void GlyphGrid::Describe() {
    QString text = QStringLiteral("Column %1, row %2").arg(cursorColumn_).arg(cursorRow_);
    if (describe_) text += QStringLiteral(": ") + describe_(cursorColumn_, cursorRow_);
    setAccessibleDescription(text);
}

void GlyphGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0xA0, 0xA0, 0xA0)); // the grid lines
    for (int row = 0; row < rows_; ++row) {
        for (int column = 0; column < columns_; ++column) {
            const QRect cell(column * (cellWidth_ + 1), row * (cellHeight_ + 1), cellWidth_, cellHeight_);
            p.fillRect(cell, cellColour_ ? cellColour_(column, row) : QColor(Qt::white));
        }
    }
    if (hasFocus()) {
        // The cursor in both black and white, so it shows on any pixel colour.
        const QRect cursor(cursorColumn_ * (cellWidth_ + 1) - 1, cursorRow_ * (cellHeight_ + 1) - 1,
                           cellWidth_ + 1, cellHeight_ + 1);
        p.setPen(QPen(Qt::white, 1));
        p.drawRect(cursor);
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawRect(cursor);
    }
}

void GlyphGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (pos.x() >= 0 && pos.y() >= 0) SetCursor(pos.x() / (cellWidth_ + 1), pos.y() / (cellHeight_ + 1));
    emit pressed(pos.x(), pos.y(), event->button(), event->modifiers().testFlag(Qt::AltModifier));
}

void GlyphGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    emit moved(pos.x(), pos.y(), event->buttons().testFlag(Qt::LeftButton),
               event->modifiers().testFlag(Qt::AltModifier));
}

void GlyphGrid::mouseReleaseEvent(QMouseEvent*) {
    emit released();
}

void GlyphGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        SetCursor(cursorColumn_ - 1, cursorRow_);
        return;
    case Qt::Key_Right:
        SetCursor(cursorColumn_ + 1, cursorRow_);
        return;
    case Qt::Key_Up:
        SetCursor(cursorColumn_, cursorRow_ - 1);
        return;
    case Qt::Key_Down:
        SetCursor(cursorColumn_, cursorRow_ + 1);
        return;
    case Qt::Key_Space: {
        const QPoint centre = CellCentre(cursorColumn_, cursorRow_);
        emit pressed(centre.x(), centre.y(), Qt::LeftButton,
                     event->modifiers().testFlag(Qt::AltModifier) ||
                         event->modifiers().testFlag(Qt::ShiftModifier));
        return;
    }
    default:
        QWidget::keyPressEvent(event);
    }
}

void GlyphGrid::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        emit released();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

} // namespace widgets
