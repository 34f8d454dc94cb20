#include "widgets/TCSpinEdit.h"

#include <QLineEdit>

namespace widgets {

TCSpinEdit::TCSpinEdit(QWidget* parent) : QSpinBox(parent) {
    setSingleStep(1);
    setKeyboardTracking(false);
}

void TCSpinEdit::SetTypingAllowed(bool allowed) {
    lineEdit()->setReadOnly(!allowed);
}

} // namespace widgets
