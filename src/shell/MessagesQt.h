#pragma once

#include "shell/Messages.h"

#include <QString>

class QWidget;

namespace shell {

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

// The tool's texts are single-byte text; the toolkit wants Unicode.
QString ToQt(const std::string& text);
std::string FromQt(const QString& text);

} // namespace shell
