#include "aosd/AosdTab.h"

#include "shell/FileOpen.h"

#include "shell/QtApplication.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>

namespace aosd {

AosdTab::AosdTab(const shell::TabContext&, shell::Settings& settings, QWidget* parent)
    : shell::Tab(parent), settings_(settings) {
    setObjectName(QStringLiteral("TabSheet_AOsd"));
    auto* group = new QGroupBox(QStringLiteral(" Palette Format "), this);
    group->setObjectName(QStringLiteral("rgPaletteFormat"));
    group->setGeometry(8, 336, 200, 48);
    auto* layout = new QHBoxLayout(group);
    rgb666_ = new QRadioButton(QStringLiteral("RGB666"), group);
    rgb888_ = new QRadioButton(QStringLiteral("RGB888"), group);
    rgb666_->setObjectName(QStringLiteral("rgPaletteFormat_RGB666"));
    rgb888_->setObjectName(QStringLiteral("rgPaletteFormat_RGB888"));
    layout->addWidget(rgb666_);
    layout->addWidget(rgb888_);
    auto* buttons = new QButtonGroup(this);
    buttons->addButton(rgb666_, 0);
    buttons->addButton(rgb888_, 1);
    connect(buttons, &QButtonGroup::idClicked, this,
            [this](int id) { shell::RunGuarded([=, this] { rgPaletteFormatClick(id); }); });
}

void AosdTab::rgPaletteFormatClick(int itemIndex) {
    settings_.SetPaletteFormat(itemIndex);
}

void AosdTab::ShowPaletteFormat() {
    const std::int32_t format = settings_.PaletteFormat;
    rgb666_->setChecked(format == 0);
    rgb888_->setChecked(format == 1);
}

shell::Page AosdTab::PageId() const {
    return shell::Page::Aosd;
}

} // namespace aosd
