#pragma once

#include <string>

namespace shell {

// The message boxes of the window system. The window shows modal boxes; tests record what would be shown.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A modal box with the title, the text, the error icon and one OK button.
    virtual void ErrorBox(const std::string& title, const std::string& text) = 0;
    // A plain box with the text and one OK button.
    virtual void PlainBox(const std::string& text) = 0;
};

// The four panels of the main window's status bar.
class StatusPanels {
public:
    virtual ~StatusPanels() = default;
    virtual void SetPanelText(int panel, const std::string& text) = 0;
};

// How handlers tell the user what happened.
class Messages final {
public:
    Messages(MessageBoxes& boxes, StatusPanels& panels) : boxes_(boxes), panels_(panels) {}

    // An error box titled "Error" with the text; once it is closed, the same text in status-bar panel panel.
    void DialogPrintError(int panel, const std::string& text) {
        boxes_.ErrorBox("Error", text);
        panels_.SetPanelText(panel, text);
    }
    void ShowMessage(const std::string& text) { boxes_.PlainBox(text); }
    void SetPanel(int panel, const std::string& text) { panels_.SetPanelText(panel, text); }
    // An error that ended a handler, shown the way the platform shows an uncaught error.
    void ShowUncaught(const std::string& text) { boxes_.ErrorBox("Tavix", text); }

private:
    MessageBoxes& boxes_;
    StatusPanels& panels_;
};

} // namespace shell
