#pragma once

#include "base/FileProblem.h"
#include "base/Note.h"

#include <string>
#include <vector>

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

// How handlers tell the user what happened, and where each kind of note of an operation shows.
//
// Panel 0 carries the opened picture's figures. The boxes and panel 1 carry the tool's own texts: failures,
// errors, statuses. Panel 2 carries what those texts do not say: the file a failure concerns and why (the
// limit exceeded, the system's error text), or an operation's detail note. It is written before the box
// opens, so the reason can be read while the box is up, and keeps its text until the next failure that names
// a file, or the next DialogPrintError, which empties it when it names none: panel 2 never explains a panel-1
// message it does not belong to. Panel 3 carries the shortfalls: what a font choice or a rendering could not
// do as asked.
class Messages final {
public:
    static constexpr int kPicturePanel = 0;
    static constexpr int kMessagePanel = 1;
    static constexpr int kDetailPanel = 2;
    static constexpr int kShortfallPanel = 3;

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

    // An operation's notes, in order, each where its kind goes: an error through DialogPrintError on panel 1,
    // a status on panel 1, a detail on panel 2, and the shortfalls, joined by "; ", on panel 3.
    void ShowNotes(const base::Notes& notes) {
        for (const base::Note& note : notes) {
            switch (note.kind) {
            case base::Note::Kind::Error:
                DialogPrintError(kMessagePanel, note.text);
                break;
            case base::Note::Kind::Status:
                SetPanel(kMessagePanel, note.text);
                break;
            case base::Note::Kind::Detail:
                SetPanel(kDetailPanel, note.text);
                break;
            case base::Note::Kind::Shortfall:
                break;
            }
        }
        const std::vector<std::string> shortfalls = base::TextsOf(notes, base::Note::Kind::Shortfall);
        if (!shortfalls.empty()) ShowShortfalls(shortfalls);
    }
    // Panel 2 shows the operation's detail notes, or nothing when it has none.
    void ShowDetailOf(const base::Notes& notes) {
        SetPanel(kDetailPanel, Joined(base::TextsOf(notes, base::Note::Kind::Detail)));
    }
    // Panel 3 shows these shortfalls, or nothing when there are none.
    void ShowShortfalls(const std::vector<std::string>& lines) { SetPanel(kShortfallPanel, Joined(lines)); }
    // An error that ended a handler, shown the way the platform shows an uncaught error.
    void ShowUncaught(const std::string& text, const base::FailureDetail& detail = {}) {
        if (!detail.empty()) panels_.SetPanelText(kDetailPanel, base::DetailPanelText(detail));
        boxes_.ErrorBox("Tavix", text);
    }

private:
    static std::string Joined(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines)
            text += (text.empty() ? "" : "; ") + line;
        return text;
    }

    MessageBoxes& boxes_;
    StatusPanels& panels_;
};

} // namespace ui
