#pragma once

#include "picture/Picture.h"

#include <QImage>
#include <QWidget>

namespace widgets {

// A picture control: shows a picture unscaled from its top-left corner, cut at the control's edge; an empty
// picture shows nothing.
class PictureView final : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);

    void Show(const picture::Picture& picture);
    const QImage& Image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

// The picture as a toolkit image (red in the low byte of a colour value becomes the image's red).
QImage ToImage(const picture::Picture& picture);

} // namespace widgets
