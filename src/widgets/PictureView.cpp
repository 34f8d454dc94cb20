#include "widgets/PictureView.h"

#include <QPainter>

namespace widgets {

QImage ToImage(const picture::Picture& picture) {
    if (picture.Empty()) return {};
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const base::Colour* row =
            &picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(picture.width)];
        for (int x = 0; x < picture.width; ++x)
            line[x] = qRgb(base::RedOf(row[x]), base::GreenOf(row[x]), base::BlueOf(row[x]));
    }
    return image;
}

PictureView::PictureView(QWidget* parent) : QWidget(parent) {}

void PictureView::Show(const picture::Picture& picture) {
    image_ = ToImage(picture);
    update();
}

void PictureView::paintEvent(QPaintEvent*) {
    if (image_.isNull()) return;
    QPainter p(this);
    p.drawImage(QPoint(0, 0), image_);
}

} // namespace widgets
