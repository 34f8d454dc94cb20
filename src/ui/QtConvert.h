#pragma once

#include "base/Colour.h"

#include <QColor>
#include <QString>

#include <string>

namespace ui {

// The tool's texts are single-byte text; the toolkit wants Unicode.
QString ToQt(const std::string& text);
// A status-bar text: UTF-8 when it is valid UTF-8 (the paths it names, a dash in a note), else single-byte
// text as ToQt reads it.
QString MessageToQt(const std::string& text);
// Paths come from the file dialogs in the file system's encoding.
std::string FromQt(const QString& text);

// A colour value (0x00BBGGRR) as the toolkit's colour.
inline QColor ToQColor(base::Colour c) {
    return QColor(base::RedOf(c), base::GreenOf(c), base::BlueOf(c));
}

} // namespace ui
