#pragma once

#include <QDialog>

#include <string>

class QLabel;

namespace shell {

// The About window: created hidden at start-up, shown without blocking the main window, hidden by OK.
class TAboutTop final : public QDialog {
    Q_OBJECT
public:
    // settingsNote, when not empty, names the settings file in use (one that is not beside the executable).
    explicit TAboutTop(QWidget* parent = nullptr, const std::string& settingsNote = {});

    void Button_OkClick();

private:
    QLabel* Lbl_VersionAP = nullptr;
};

// The About window's logo, 299 x 100 (the project's own drawing).
QPixmap AboutLogo();

} // namespace shell
