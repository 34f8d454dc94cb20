#pragma once

#include <QFrame>

namespace widgets {

// An edit-box-sized field that shows one colour and no text. A click or double click asks for a new colour.
class Swatch final : public QFrame {
    Q_OBJECT
public:
    explicit Swatch(QWidget* parent = nullptr);

    void SetColour(const QColor& colour);
    QColor Colour() const { return colour_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QColor colour_ = Qt::white;
};

} // namespace widgets
