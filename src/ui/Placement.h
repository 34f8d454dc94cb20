#pragma once

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace ui {

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

// A push button named and placed in the tab, of a fixed size, with its caption; its hint, when it has one,
// is its tooltip.
inline QPushButton* PlacedButton(QWidget* parent, const char* name, const char* caption, int x, int y,
                                 int width, int height, const char* hint = nullptr) {
    auto* button = Placed(new QPushButton(QString::fromLatin1(caption), parent), name, x, y);
    button->setFixedSize(width, height);
    if (hint) button->setToolTip(QString::fromLatin1(hint));
    return button;
}

// The control that stands beside label takes the label's text as its accessible name (the label becomes its
// buddy), which is what a screen reader announces for it.
inline void NameAfterLabel(QLabel* label, QWidget* control) {
    label->setBuddy(control);
    QString name = label->text().trimmed();
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    control->setAccessibleName(name.trimmed());
}

// An owner-drawn control has no text of its own: name it, and describe what it shows now (the read-out of
// its selected entry), so that a screen reader can tell the user.
inline void NameOwnerDrawn(QWidget* control, const QString& name, const QString& description = {}) {
    control->setAccessibleName(name);
    control->setAccessibleDescription(description);
}

} // namespace ui
