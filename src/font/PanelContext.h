#pragma once

#include "font/FontState.h"
#include "font/TextRenderer.h"
#include "settings/Settings.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"

#include <string>

namespace font {

// What the Font tab hands each of its panels: the document state they edit, the settings they read, the
// renderer, and the services. A panel reports what it changed to the tab through its signals and never
// reaches another panel; the tab refreshes the panels that show the change.
struct PanelContext {
    FontState& state;
    const settings::Settings& settings;
    TextRenderer& renderer;
    ui::Messages& messages;
    ui::DialogDriver& dialogs;
    ui::FileDialog& openDialog; // OpenDialog_Main, which the loaders borrow
    std::string& folder;        // the document's current folder
};

} // namespace font
