#include "widgets/PictureGrid.h"

#include <QHelpEvent>
#include <QToolTip>

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace widgets {

namespace {

constexpr int kPictureRole = Qt::UserRole;

// Draws the picture column: the picture from the cell's top-left corner, cut by the cell; the other
// columns as usual.
class PictureDelegate final : public QStyledItemDelegate {
public:
    PictureDelegate(int pictureColumn, QObject* parent)
        : QStyledItemDelegate(parent), column_(pictureColumn) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (index.column() != column_) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        painter->save();
        painter->setClipRect(option.rect);
        painter->fillRect(option.rect, Qt::white);
        const QImage picture = index.data(kPictureRole).value<QImage>();
        if (!picture.isNull()) painter->drawImage(option.rect.topLeft(), picture);
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(option.palette.color(QPalette::Highlight), 1, Qt::DotLine));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

private:
    int column_;
};

} // namespace

PictureGrid::PictureGrid(Shape shape, QWidget* parent) : QTableWidget(parent), shape_(std::move(shape)) {
    const int columns = static_cast<int>(shape_.columnWidths.size());
    setColumnCount(columns);
    setHorizontalHeaderLabels(shape_.titles);
    setItemDelegate(new PictureDelegate(shape_.pictureColumn, this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    setTabKeyNavigation(false);

    // A section holds its cell and the grid line at its right or bottom edge.
    QHeaderView* top = horizontalHeader();
    top->setSectionResizeMode(QHeaderView::Fixed);
    top->setSectionsClickable(false);
    top->setHighlightSections(false);
    top->setFixedHeight(shape_.titleHeight + 1);
    int width = 0;
    for (int c = 0; c < columns; ++c) {
        setColumnWidth(c, shape_.columnWidths[static_cast<size_t>(c)] + 1);
        width += shape_.columnWidths[static_cast<size_t>(c)] + 1;
    }
    QHeaderView* side = verticalHeader();
    side->hide();
    side->setSectionResizeMode(QHeaderView::Fixed);
    side->setDefaultSectionSize(shape_.rowHeight + 1);
    setFixedWidth(width + 2 * frameWidth() + verticalScrollBar()->sizeHint().width());
}

void PictureGrid::SetDataRows(int count) {
    setRowCount(count < 0 ? 0 : count);
    // A grid with rows always has a current one, as a grid of fixed and data rows does.
    if (rowCount() > 0 && currentRow() < 0) setCurrentCell(0, shape_.pictureColumn);
}

void PictureGrid::SetRow(int row, const QStringList& texts, const QImage& picture) {
    const int r = row - 1;
    if (r < 0 || r >= rowCount()) return;
    for (int c = 0; c < columnCount(); ++c) {
        const QString text = c < texts.size() ? texts[c] : QString();
        auto* cell = new QTableWidgetItem;
        if (c == shape_.pictureColumn) {
            cell->setData(kPictureRole, picture);
            cell->setData(Qt::AccessibleTextRole, text);
            cell->setToolTip(text);
        } else {
            cell->setText(text);
        }
        if (c == 0 && shape_.fixedFirstColumn) {
            cell->setFlags(Qt::ItemIsEnabled);
            cell->setBackground(palette().color(QPalette::Button));
            cell->setForeground(palette().color(QPalette::ButtonText));
            cell->setTextAlignment(Qt::AlignCenter);
        } else {
            cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            cell->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        }
        setItem(r, c, cell);
    }
}

QString PictureGrid::Text(int column, int row) const {
    const QTableWidgetItem* cell = item(row - 1, column);
    if (!cell) return {};
    return column == shape_.pictureColumn ? cell->data(Qt::AccessibleTextRole).toString() : cell->text();
}

QImage PictureGrid::Picture(int row) const {
    const QTableWidgetItem* cell = item(row - 1, shape_.pictureColumn);
    return cell ? cell->data(kPictureRole).value<QImage>() : QImage();
}

QRect PictureGrid::CellRect(int column, int row) const {
    return visualRect(model()->index(row - 1, column));
}

void PictureGrid::mousePressEvent(QMouseEvent* event) {
    QTableWidget::mousePressEvent(event);
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid()) emit pressedAt(at.column(), at.row() + 1, event->button());
}

void PictureGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (currentRow() >= 0) emit pressedAt(currentColumn(), currentRow() + 1, Qt::LeftButton);
        return;
    default:
        QTableWidget::keyPressEvent(event);
    }
}

bool PictureGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip && pictureToolTip_) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid() && index.column() == shape_.pictureColumn) {
            const QString text = pictureToolTip_(index.row() + 1);
            if (!text.isEmpty()) {
                QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
                return true;
            }
        }
    }
    return QTableWidget::viewportEvent(event);
}

} // namespace widgets
