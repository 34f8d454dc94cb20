#pragma once

#include <QSpinBox>

namespace widgets {

// The numeric up/down edit box: a minimum, a maximum, a value, arrows that step it by 1, an option that
// refuses typed input, and valueChanged on every change of the value: each arrow step and, where typing is
// allowed, each typed digit that makes a new value.
class TCSpinEdit final : public QSpinBox {
    Q_OBJECT
public:
    explicit TCSpinEdit(QWidget* parent = nullptr);

    // With typing refused the value changes by the arrows (and the arrow keys) only.
    void SetTypingAllowed(bool allowed);
};

} // namespace widgets
