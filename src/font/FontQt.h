#pragma once

#include "font/ColourImage.h"
#include "font/TextRenderer.h"
#include "ui/Dialogs.h"

#include <QImage>

namespace font {

// A picture of colour values as the toolkit shows it.
QImage ToQImage(const ColourImage& image);
// The font the font dialog chose (its family without a foundry tag), and the dialog's preset from a font.
FontChoice FromDialog(const ui::FontChoice& chosen);
ui::FontChoice ToDialog(const FontChoice& font);

} // namespace font
