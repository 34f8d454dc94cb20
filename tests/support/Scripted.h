#pragma once

#include "ui/Dialogs.h"
#include "ui/Messages.h"

#include <deque>
#include <string>
#include <vector>

namespace testsupport {

// A dialog driver that answers from a script: each dialog takes the next answer in order. A dialog with no
// answer left is cancelled and counted in `unexpected`.
class ScriptedDialogs final : public ui::DialogDriver {
public:
    void ConfirmFile(std::string path) { files_.push_back({true, std::move(path), 0}); }
    // The same with the filter entry the user picked in the dialog's list (1-based).
    void ConfirmFile(std::string path, int filterIndex) {
        files_.push_back({true, std::move(path), filterIndex});
    }
    void CancelFile() { files_.push_back({false, {}, 0}); }
    void ConfirmColour(base::Colour colour) { colours_.push_back({true, colour}); }
    void CancelColour() { colours_.push_back({false, 0}); }
    void ConfirmFont(ui::FontChoice font) { fonts_.push_back({true, std::move(font)}); }
    void CancelFont() { fonts_.push_back({false, {}}); }

    bool RunFileDialog(ui::FileDialog& dialog, const std::string& folder) override {
        shownFiles.push_back(dialog);
        shownFolders.push_back(folder);
        if (files_.empty()) {
            ++unexpected;
            return false;
        }
        const auto answer = files_.front();
        files_.pop_front();
        if (answer.confirm) dialog.FileName = answer.path;
        if (answer.confirm && answer.filterIndex > 0) dialog.FilterIndex = answer.filterIndex;
        return answer.confirm;
    }
    bool RunColourDialog(ui::ColourDialog& dialog) override {
        shownColours.push_back(dialog);
        if (colours_.empty()) {
            ++unexpected;
            return false;
        }
        const auto answer = colours_.front();
        colours_.pop_front();
        if (answer.confirm) dialog.Colour = answer.colour;
        return answer.confirm;
    }

    bool RunFontDialog(ui::FontDialog& dialog) override {
        shownFonts.push_back(dialog);
        if (fonts_.empty()) {
            ++unexpected;
            return false;
        }
        const auto answer = fonts_.front();
        fonts_.pop_front();
        if (answer.confirm) dialog.Font = answer.font;
        return answer.confirm;
    }

    std::vector<ui::FileDialog> shownFiles; // each dialog as it was when shown
    std::vector<std::string> shownFolders;  // the folder each file dialog showed
    std::vector<ui::ColourDialog> shownColours;
    std::vector<ui::FontDialog> shownFonts;
    int unexpected = 0;

private:
    struct FileAnswer {
        bool confirm;
        std::string path;
        int filterIndex; // 0: the dialog's own
    };
    struct ColourAnswer {
        bool confirm;
        base::Colour colour;
    };
    std::deque<FileAnswer> files_;
    struct FontAnswer {
        bool confirm;
        ui::FontChoice font;
    };
    std::deque<ColourAnswer> colours_;
    std::deque<FontAnswer> fonts_;
};

// Message boxes that record instead of showing.
class RecordingBoxes final : public ui::MessageBoxes {
public:
    struct Box {
        std::string title;
        std::string text;
        bool error;
    };
    void ErrorBox(const std::string& title, const std::string& text) override {
        boxes.push_back({title, text, true});
    }
    void PlainBox(const std::string& text) override { boxes.push_back({"", text, false}); }

    std::vector<Box> boxes;
};

} // namespace testsupport
