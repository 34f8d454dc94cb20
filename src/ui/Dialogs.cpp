#include "ui/Dialogs.h"

#include "base/Path.h"

namespace ui {

std::string WithDefaultExtension(const std::string& name, const std::string& defaultExt) {
    if (defaultExt.empty() || name.empty()) return name;
    const base::PathParts parts = base::SplitPath(name);
    if (!parts.extension.empty() || parts.baseName.empty()) return name;
    return name + (defaultExt.front() == '.' ? defaultExt : "." + defaultExt);
}

bool FileDialog::Execute(DialogDriver& driver, std::string& folder) {
    if (!driver.RunFileDialog(*this, folder)) return false;
    if (kind == Kind::Save) FileName = WithDefaultExtension(FileName, DefaultExt);
    FileName = base::ResolvePath(folder, FileName);
    // A confirmed dialog moves the current folder to the chosen file's, as desktop dialogs do. A folder
    // that cannot be entered leaves the current one; the chosen path still holds.
    const std::string dir = base::SplitPath(FileName).directory;
    if (!dir.empty() && base::IsEnterableDirectory(dir)) folder = dir;
    return true;
}

bool ColourDialog::Execute(DialogDriver& driver) {
    return driver.RunColourDialog(*this);
}

bool FontDialog::Execute(DialogDriver& driver) {
    return driver.RunFontDialog(*this);
}

} // namespace ui
