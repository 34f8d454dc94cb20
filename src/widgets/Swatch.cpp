#include "widgets/Swatch.h"

#include <QMouseEvent>
#include <QPainter>

namespace widgets {

Swatch::Swatch(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFixedSize(65, 21);
}

void Swatch::SetColour(const QColor& colour) {
    colour_ = colour;
    update();
}

void Swatch::paintEvent(QPaintEvent* event) {
    {
        QPainter p(this);
        p.fillRect(contentsRect(), colour_);
    }
    QFrame::paintEvent(event);
}

void Swatch::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit clicked();
}

void Swatch::mouseDoubleClickEvent(QMouseEvent* event) {
    // The first click of a double click has already asked; the second press arrives here instead of in
    // mousePressEvent and asks again, as the click and double-click events both do.
    if (event->button() == Qt::LeftButton) emit clicked();
}

} // namespace widgets
