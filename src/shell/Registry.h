#pragma once

#include "ui/Tab.h"

#include <vector>

namespace shell {

struct Workspace;

// Every tab of the main window, in page order, each built with the context and the workspace parts it uses.
// Adding a tab is one line (and its include) in Registry.cpp.
std::vector<ui::Tab*> CreateTabs(const ui::TabContext& context, Workspace& ws, QWidget* parent);

} // namespace shell
