#pragma once

#include "ui/Dialogs.h"

#include <QFont>
#include <QStringList>

class QWidget;

namespace ui {

// Shows the toolkit's file, colour and font dialogs.
class QtDialogDriver final : public DialogDriver {
public:
    explicit QtDialogDriver(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    bool RunFileDialog(FileDialog& dialog, const std::string& folder) override;
    bool RunColourDialog(ColourDialog& dialog) override;
    bool RunFontDialog(FontDialog& dialog) override;

private:
    QWidget* owner_;
};

// The font as the font dialog can show it: a family the desktop does not have becomes the family the desktop
// draws in its place (Arial its metric twin), and the style is the one that family lists for the weight and
// slant.
QFont ListedFont(const QFont& wanted);

// "BITMAP File(*.bmp)|*.bmp|All File(*.*)|*.*" as the toolkit's name filters, one a pair, each matching its
// patterns in either letter case.
QStringList NameFilters(const std::string& filter);

} // namespace ui
