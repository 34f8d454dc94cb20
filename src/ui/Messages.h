#pragma once

#include "base/FileProblem.h"

#include <string>

namespace ui {

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
//
// The boxes and panel 1 carry the tool's own texts. Panel 2 carries what those texts do not say: the file a
// failure concerns and why (the limit exceeded, the system's error text). It is written before the box opens,
// so the reason can be read while the box is up, and keeps its text until the next failure that names a file,
// or the next DialogPrintError, which empties it when it names none: panel 2 never explains a panel-1
// message it does not belong to. Panel 3 carries what a rendering could not put into the glyph.
class Messages final {
public:
    static constexpr int kDetailPanel = 2;
    static constexpr int kRenderPanel = 3;

    Messages(MessageBoxes& boxes, StatusPanels& panels) : boxes_(boxes), panels_(panels) {}

    // An error box titled "Error" with the text; once it is closed, the same text in status-bar panel panel.
    void DialogPrintError(int panel, const std::string& text, const base::FailureDetail& detail = {}) {
        panels_.SetPanelText(kDetailPanel, base::DetailPanelText(detail));
        boxes_.ErrorBox("Error", text);
        panels_.SetPanelText(panel, text);
    }
    void ShowMessage(const std::string& text, const base::FailureDetail& detail = {}) {
        if (!detail.empty()) panels_.SetPanelText(kDetailPanel, base::DetailPanelText(detail));
        boxes_.PlainBox(text);
    }
    void SetPanel(int panel, const std::string& text) { panels_.SetPanelText(panel, text); }
    // An error that ended a handler, shown the way the platform shows an uncaught error.
    void ShowUncaught(const std::string& text, const base::FailureDetail& detail = {}) {
        if (!detail.empty()) panels_.SetPanelText(kDetailPanel, base::DetailPanelText(detail));
        boxes_.ErrorBox("Tavix", text);
    }

private:
    MessageBoxes& boxes_;
    StatusPanels& panels_;
};

} // namespace ui
