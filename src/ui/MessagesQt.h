#pragma once

#include "ui/Messages.h"

class QWidget;

namespace ui {

// Modal message boxes owned by the main window.
class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    void ErrorBox(const std::string& title, const std::string& text) override;
    void PlainBox(const std::string& text) override;

private:
    QWidget* owner_;
};

} // namespace ui
