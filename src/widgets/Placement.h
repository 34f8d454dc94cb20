#pragma once

#include "base/Colour.h"

#include <QColor>
#include <QLabel>
#include <QString>
#include <QWidget>

namespace widgets {

inline QColor ToQColor(base::Colour c) {
    return QColor(base::RedOf(c), base::GreenOf(c), base::BlueOf(c));
}

// Names a control with its component name and puts it at its place in the tab.
template <typename W> W* Placed(W* widget, const char* name, int x, int y) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->move(x, y);
    return widget;
}

// A read-out label: plain text, wide enough for its longest text.
inline QLabel* PlacedLabel(QWidget* parent, const char* name, const char* text, int x, int y, int minWidth) {
    auto* label = Placed(new QLabel(QString::fromLatin1(text), parent), name, x, y);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(minWidth);
    return label;
}

} // namespace widgets
