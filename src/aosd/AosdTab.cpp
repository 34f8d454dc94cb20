#include "aosd/AosdTab.h"

#include "shell/QtApplication.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>

namespace aosd {

AosdTab::AosdTab(shell::Workspace& ws, QWidget* parent) : QWidget(parent), ws_(ws) {
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
    ws_.settings.SetPaletteFormat(itemIndex);
}

void AosdTab::ShowPaletteFormat() {
    const std::int32_t format = ws_.settings.PaletteFormat;
    rgb666_->setChecked(format == 0);
    rgb888_->setChecked(format == 1);
}

} // namespace aosd
