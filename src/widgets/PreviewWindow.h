#pragma once

#include "picture/IndexedImage.h"

#include <QDialog>
#include <QImage>
#include <QString>

class QLabel;
class QScrollArea;

namespace widgets {

// A window that shows two pictures side by side, each under its caption, and a line of text below them: a
// tab's check of what its output will show beside what it came from. It stays open beside the main window
// (not modal, not taking the keyboard when it appears) and closes with Esc. Built by the tab the first time
// it has something to show, so it costs nothing before.
class PreviewWindow final : public QDialog {
    Q_OBJECT
public:
    PreviewWindow(const QString& title, const QString& leftCaption, const QString& rightCaption, QWidget* parent);

    // Shows the pictures (each scaled up by zoom, pixels kept sharp) and the text, and brings the window up.
    void ShowPictures(const QImage& left, const QImage& right, const QString& text, int zoom = 1);

    const QImage& LeftImage() const { return left_; }
    const QImage& RightImage() const { return right_; }
    QString Text() const;

private:
    QLabel* leftView_ = nullptr;
    QLabel* rightView_ = nullptr;
    QLabel* text_ = nullptr;
    QImage left_;
    QImage right_;
};

// An indexed picture as a toolkit image, each pixel its palette colour (black past the palette).
QImage ToQImage(const picture::IndexedImage& image);

} // namespace widgets
