#include "widgets/TCSpinEdit.h"

#include <QLineEdit>

namespace widgets {

TCSpinEdit::TCSpinEdit(QWidget* parent) : QSpinBox(parent) {
    setSingleStep(1);
    // The change event follows every change of the value, typed digits included, not only finished edits.
    setKeyboardTracking(true);
}

void TCSpinEdit::SetTypingAllowed(bool allowed) {
    lineEdit()->setReadOnly(!allowed);
}

} // namespace widgets
