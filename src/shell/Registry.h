#pragma once

#include "shell/Tab.h"

#include <vector>

namespace shell {

struct Workspace;

// Every tab of the main window, in page order, each built with the context and the workspace parts it uses.
// Adding a tab is one line in Registry.cpp.
std::vector<Tab*> CreateTabs(const TabContext& context, Workspace& ws, QWidget* parent);

// A page whose tool is not built yet: its caption and nothing else.
class EmptyTab final : public Tab {
public:
    EmptyTab(const char* objectName, QString caption, Page page, QWidget* parent)
        : Tab(parent), caption_(std::move(caption)), page_(page) {
        setObjectName(QString::fromLatin1(objectName));
    }
    QString Caption() const override { return caption_; }
    Page PageId() const override { return page_; }

private:
    QString caption_;
    Page page_;
};

} // namespace shell
