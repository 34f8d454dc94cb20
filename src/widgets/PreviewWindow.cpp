#include "widgets/PreviewWindow.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>

namespace widgets {

namespace {

// A picture under its caption, in a scroll area that the keyboard can scroll; the caption names it.
QLabel* AddPicture(QGridLayout* layout, int column, const QString& caption, const char* name, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    auto* view = new QLabel(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view->setAccessibleName(caption);
    auto* scroll = new QScrollArea(parent);
    scroll->setWidget(view);
    scroll->setWidgetResizable(false);
    scroll->setFocusPolicy(Qt::StrongFocus);
    scroll->setAccessibleName(caption);
    label->setBuddy(scroll);
    layout->addWidget(label, 0, column);
    layout->addWidget(scroll, 1, column);
    return view;
}

QPixmap Zoomed(const QImage& image, int zoom) {
    if (image.isNull()) return {};
    return QPixmap::fromImage(zoom > 1 ? image.scaled(image.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                       : image);
}

} // namespace

PreviewWindow::PreviewWindow(const QString& title, const QString& leftCaption, const QString& rightCaption,
                             QWidget* parent)
    : QDialog(parent, Qt::Tool) {
    setWindowTitle(title);
    setAccessibleName(title);
    setModal(false);
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QGridLayout(this);
    leftView_ = AddPicture(layout, 0, leftCaption, "Preview_Left", this);
    rightView_ = AddPicture(layout, 1, rightCaption, "Preview_Right", this);
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("Preview_Text"));
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setFocusPolicy(Qt::StrongFocus);
    text_->setAccessibleName(QStringLiteral("Result"));
    layout->addWidget(text_, 2, 0, 1, 2);
    resize(720, 420);
}

void PreviewWindow::ShowPictures(const QImage& left, const QImage& right, const QString& text, int zoom) {
    left_ = left;
    right_ = right;
    leftView_->setPixmap(Zoomed(left, zoom));
    leftView_->adjustSize();
    rightView_->setPixmap(Zoomed(right, zoom));
    rightView_->adjustSize();
    text_->setText(text);
    text_->setAccessibleDescription(text);
    show();
    raise();
}

QImage ToQImage(const picture::IndexedImage& image) {
    QImage out(static_cast<int>(image.width), static_cast<int>(image.height), QImage::Format_RGB32);
    for (std::uint32_t y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(static_cast<int>(y)));
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const base::Colour c = image.ColourAt(x, y);
            row[x] = qRgb(base::RedOf(c), base::GreenOf(c), base::BlueOf(c));
        }
    }
    return out;
}

QString PreviewWindow::Text() const {
    return text_->text();
}

} // namespace widgets
