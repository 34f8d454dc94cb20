#include "shell/Ide.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace shell {

namespace {

// A 16 x 16 character cell with a "T" drawn in its pixels, on a dark screen: what the tool makes, in small.
QPixmap IconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    const double cell = size / 16.0;
    p.fillRect(QRectF(0, 0, size, size), QColor(0x1F, 0x2A, 0x44));
    static constexpr const char* kGlyph[16] = {
        "................", "................", ".##############.", ".##############.",
        ".......##.......", ".......##.......", ".......##.......", ".......##.......",
        ".......##.......", ".......##.......", ".......##.......", ".......##.......",
        ".......##.......", ".......##.......", "................", "................",
    };
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (kGlyph[y][x] == '#')
                p.fillRect(QRectF(x * cell, y * cell, cell, cell),
                           y < 4 ? QColor(0xFF, 0xC8, 0x3C) : QColor(0x5C, 0xE0, 0xD0));
    return pixmap;
}

} // namespace

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(IconPixmap(size));
    return icon;
}

} // namespace shell
