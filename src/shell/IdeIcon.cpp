#include "shell/Ide.h"
#include "shell/IconPattern.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace shell {

namespace {

// The icon's pattern drawn at size pixels a side.
QPixmap IconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    const double cell = size / 16.0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const IconColour c = IconCellColour(x, y);
            p.fillRect(QRectF(x * cell, y * cell, cell, cell), QColor(c.r, c.g, c.b));
        }
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
