#include "ui/Dialogs.h"

#include "base/Path.h"

#include <unistd.h>

namespace ui {

std::string WithDefaultExtension(const std::string& name, const std::string& defaultExt) {
    if (defaultExt.empty() || name.empty()) return name;
    const base::PathParts parts = base::SplitPath(name);
    if (!parts.extension.empty() || parts.baseName.empty()) return name;
    return name + (defaultExt.front() == '.' ? defaultExt : "." + defaultExt);
}

bool FileDialog::Execute(DialogDriver& driver) {
    if (!driver.RunFileDialog(*this)) return false;
    if (kind == Kind::Save) FileName = WithDefaultExtension(FileName, DefaultExt);
    const std::string dir = base::SplitPath(FileName).directory;
    if (!dir.empty()) {
        // A confirmed dialog moves the current directory to the chosen file, as desktop dialogs do. A
        // directory that cannot be entered leaves the current one; the chosen path still holds.
        [[maybe_unused]] const int ignored = ::chdir(dir.c_str());
    }
    return true;
}

bool ColourDialog::Execute(DialogDriver& driver) {
    return driver.RunColourDialog(*this);
}

bool FontDialog::Execute(DialogDriver& driver) {
    return driver.RunFontDialog(*this);
}

} // namespace ui
