#pragma once

#include "base/Colour.h"

#include <string>

namespace ui {

class DialogDriver;

// The filter of the dialogs that open a picture: BMP first (the filter they start with), then PNG, both,
// and every file.
inline constexpr const char* kPictureOpenFilter =
    "BITMAP File(*.bmp)|*.bmp|PNG files (*.png)|*.png|All pictures|*.bmp;*.png|All File(*.*)|*.*";

// A file dialog component with the state it keeps between uses: what it was last set to and what the user
// last chose. Execute() asks the driver, showing the document's current folder; a confirmed choice is taken
// as seen from that folder (a typed relative name is resolved against it), and the chosen file's folder
// becomes the current folder, where the outputs with fixed names are then written. The process's working
// directory never changes.
struct FileDialog {
    enum class Kind { Open, Save };

    std::string Name; // the component name, e.g. "OpenDialog_Main"
    Kind kind = Kind::Open;
    std::string FileName;   // the chosen (or preset) path; after a confirmed Execute, resolved
    std::string Filter;     // "description|pattern|description|pattern..."
    int FilterIndex = 1;    // 1-based, as the filter lists the pairs
    std::string DefaultExt; // ".BMP" or empty; added to a typed name without extension

    // folder: the document's current folder ("" for the process's working directory).
    bool Execute(DialogDriver& driver, std::string& folder);
};

struct ColourDialog {
    std::string Name;
    base::Colour Colour = 0; // preset before Execute, the choice after a confirmed Execute

    bool Execute(DialogDriver& driver);
};

// The font a font dialog presets and returns: the face, the size in points and the style the user picked.
struct FontChoice {
    std::string Name = "Arial";
    int Size = 8; // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    int Charset = 1; // the character set number the font dialog reports (1: the default set)
};

struct FontDialog {
    std::string Name;
    FontChoice Font; // preset before Execute, the choice after a confirmed Execute

    bool Execute(DialogDriver& driver);
};

// Shows dialogs: the window's driver shows the platform's dialogs, the tests' driver answers from a script.
class DialogDriver {
public:
    virtual ~DialogDriver() = default;
    // Shows the dialog in folder (where a relative FileName lies); on confirmation sets dialog.FileName (and
    // FilterIndex) and returns true.
    virtual bool RunFileDialog(FileDialog& dialog, const std::string& folder) = 0;
    // Shows the colour dialog preset to dialog.Colour; on confirmation sets it and returns true.
    virtual bool RunColourDialog(ColourDialog& dialog) = 0;
    // Shows the font dialog preset to dialog.Font; on confirmation sets it and returns true.
    virtual bool RunFontDialog(FontDialog& dialog) = 0;
};

// Remembers a borrowed dialog's file name, filter, filter index and default extension, and puts all four
// back when it goes out of scope, on every path (a cancel, an early return or an exception included).
// A loader that borrows OpenDialog_Main or SaveDialog_Main holds one for the whole handler.
class DialogRestore final {
public:
    explicit DialogRestore(FileDialog& dialog)
        : dialog_(dialog), fileName_(dialog.FileName), filter_(dialog.Filter),
          filterIndex_(dialog.FilterIndex), defaultExt_(dialog.DefaultExt) {}
    ~DialogRestore() {
        dialog_.FileName = fileName_;
        dialog_.Filter = filter_;
        dialog_.FilterIndex = filterIndex_;
        dialog_.DefaultExt = defaultExt_;
    }
    DialogRestore(const DialogRestore&) = delete;
    DialogRestore& operator=(const DialogRestore&) = delete;

private:
    FileDialog& dialog_;
    std::string fileName_;
    std::string filter_;
    int filterIndex_;
    std::string defaultExt_;
};

// The name with the default extension added when it has none (a name ending in "." is left as typed).
std::string WithDefaultExtension(const std::string& name, const std::string& defaultExt);

} // namespace ui
