#include "bitmap/BitmapHeaderTab.h"

#include "ui/Placement.h"

#include "picture/HeaderView.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/QtConvert.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

namespace bitmap {

namespace {

constexpr int kRowHeight = 22;

QTableWidget* MakeGrid(QWidget* parent, const char* name, int rows, const int (&widths)[3]) {
    auto* grid = new QTableWidget(rows, 3, parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setShowGrid(true);
    grid->setFont(QFont(QStringLiteral("Arial Narrow"), 12));
    int width = 0;
    for (int c = 0; c < 3; ++c) {
        grid->setColumnWidth(c, widths[c]);
        width += widths[c];
    }
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int r = 0; r < rows; ++r)
        grid->setRowHeight(r, kRowHeight);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem;
            // The first row and column are fixed cells, drawn like the grid's title cells.
            if (r == 0 || c == 0) {
                item->setBackground(grid->palette().color(QPalette::Button));
                item->setFlags(Qt::ItemIsEnabled);
            }
            grid->setItem(r, c, item);
        }
    }
    const int frame = 2 * grid->frameWidth();
    grid->setFixedSize(width + frame + 1, rows * kRowHeight + frame + 1);
    return grid;
}

QLabel* MakeTitle(QWidget* parent, const char* name, const char* text) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setStyleSheet(QStringLiteral("color: blue;"));
    return label;
}

void SetRow(QTableWidget* grid, int row, const picture::HeaderRow& fixed) {
    grid->item(row, 0)->setText(ui::ToQt(fixed.range));
    grid->item(row, 2)->setText(ui::ToQt(fixed.description));
}

} // namespace

BitmapHeaderTab::BitmapHeaderTab(const ui::TabContext& context, const picture::CurrentBitmap& bitmap,
                                 QWidget* parent)
    : ui::Tab(parent), messages_(context.messages), bitmap_(bitmap) {
    setObjectName(QStringLiteral("TabSheet_BitmapHeader"));
    auto* fileTitle = MakeTitle(this, "StaticText_FileHeader", "File Header:");
    fileTitle->move(12, 8);
    StringGrid_FileHeader = MakeGrid(this, "StringGrid_FileHeader", 10, {90, 179, 271});
    StringGrid_FileHeader->move(12, 28);
    auto* infoTitle = MakeTitle(this, "StaticText_InfoHeader", "Info Header:");
    infoTitle->move(12, 268);
    StringGrid_InfoHeader = MakeGrid(this, "StringGrid_InfoHeader", 14, {90, 179, 273});
    StringGrid_InfoHeader->move(12, 288);
    ui::NameAfterLabel(fileTitle, StringGrid_FileHeader);
    ui::NameAfterLabel(infoTitle, StringGrid_InfoHeader);

    connect(StringGrid_FileHeader, &QTableWidget::cellClicked, this,
            [this](int, int) { ui::RunGuarded([this] { StringGrid_FileHeaderClick(); }); });
    connect(StringGrid_InfoHeader, &QTableWidget::cellClicked, this,
            [this](int, int) { ui::RunGuarded([this] { StringGrid_InfoHeaderClick(); }); });
}

void BitmapHeaderTab::TabSheet_BitmapHeaderShow() {
    const picture::HeaderRow titles = picture::HeaderTitles();
    SetRow(StringGrid_FileHeader, 0, titles);
    StringGrid_FileHeader->item(0, 1)->setText(ui::ToQt(titles.value));
    const auto fileRows = picture::FileHeaderRows(bitmap_.FileHeader);
    for (size_t i = 0; i < fileRows.size(); ++i)
        SetRow(StringGrid_FileHeader, static_cast<int>(i) + 1, fileRows[i]);
    StringGrid_FileHeaderClick();

    SetRow(StringGrid_InfoHeader, 0, titles);
    StringGrid_InfoHeader->item(0, 1)->setText(ui::ToQt(titles.value));
    const auto infoRows = picture::InfoHeaderRows(bitmap_.InfoHeader);
    for (size_t i = 0; i < infoRows.size(); ++i)
        SetRow(StringGrid_InfoHeader, static_cast<int>(i) + 1, infoRows[i]);
    StringGrid_InfoHeaderClick();
}

void BitmapHeaderTab::StringGrid_FileHeaderClick() {
    const auto rows = picture::FileHeaderRows(bitmap_.FileHeader);
    for (size_t i = 0; i < rows.size(); ++i)
        StringGrid_FileHeader->item(static_cast<int>(i) + 1, 1)->setText(ui::ToQt(rows[i].value));
}

void BitmapHeaderTab::StringGrid_InfoHeaderClick() {
    const auto rows = picture::InfoHeaderRows(bitmap_.InfoHeader);
    for (size_t i = 0; i < rows.size(); ++i)
        StringGrid_InfoHeader->item(static_cast<int>(i) + 1, 1)->setText(ui::ToQt(rows[i].value));
}

void BitmapHeaderTab::PictureRead(const picture::OpenOutcome& outcome, bool active) {
    if (!outcome.headersRead) return;
    StringGrid_FileHeaderClick();
    StringGrid_InfoHeaderClick();
    if (active && outcome.png) messages_.SetPanel(ui::Messages::kMessagePanel, picture::kPngHeaderNote);
}

} // namespace bitmap
