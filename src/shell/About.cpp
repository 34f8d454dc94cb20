#include "shell/About.h"

#include "settings/AppIdentity.h"
#include "shell/Ide.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace shell {

QPixmap AboutLogo() {
    QPixmap pixmap(299, 100);
    pixmap.fill(QColor(0x1F, 0x2A, 0x44));
    QPainter p(&pixmap);
    // A row of character cells in firmware colours, the first ones lit like an OSD glyph grid.
    for (int i = 0; i < 20; ++i) {
        const QColor cell = i % 3 == 0 ? QColor(0xFF, 0xC8, 0x3C)
                                       : (i % 3 == 1 ? QColor(0x5C, 0xE0, 0xD0) : QColor(0x3A, 0x4A, 0x70));
        p.fillRect(QRect(10 + i * 14, 82, 12, 12), cell);
    }
    QFont font(QStringLiteral("DejaVu Sans"), 30, QFont::Bold);
    p.setFont(font);
    p.setPen(QColor(0xFF, 0xFF, 0xFF));
    p.drawText(QRect(0, 8, 299, 52), Qt::AlignCenter, QStringLiteral("TAVIX"));
    QFont small(QStringLiteral("DejaVu Sans"), 9);
    p.setFont(small);
    p.setPen(QColor(0x5C, 0xE0, 0xD0));
    p.drawText(QRect(0, 58, 299, 20), Qt::AlignCenter, QStringLiteral("OSD tables for display firmware"));
    return pixmap;
}

TAboutTop::TAboutTop(QWidget* parent, const std::string& settingsNote) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutTop"));
    setWindowTitle(QStringLiteral("About Tavix Utility "));
    setWindowIcon(ProgramIcon());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);
    setFixedSize(416, 363);

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("Image_Logo"));
    logo->setPixmap(AboutLogo());
    logo->setGeometry(58, 16, 299, 100);

    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel_About"));
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(16, 132, 384, 160);

    auto* name = new QLabel(QStringLiteral("Tavix Utility"), this);
    name->setObjectName(QStringLiteral("Lbl_Name"));
    QFont nameFont = name->font();
    nameFont.setPointSize(10);
    name->setFont(nameFont);
    name->setAlignment(Qt::AlignCenter);
    name->setGeometry(24, 150, 368, 28);

    Lbl_VersionAP = new QLabel(QStringLiteral("Version"), this);
    Lbl_VersionAP->setObjectName(QStringLiteral("Lbl_VersionAP"));
    Lbl_VersionAP->setAlignment(Qt::AlignCenter);
    Lbl_VersionAP->setGeometry(24, 190, 368, 24);
    // Set at creation, as the creation handler does.
    Lbl_VersionAP->setText(QStringLiteral("Version: ") + QString::fromLatin1(settings::AppVersion));

    auto* warning = new QLabel(QStringLiteral("For Engineering Evaluation Only"), this);
    warning->setObjectName(QStringLiteral("lbl_Warning"));
    warning->setStyleSheet(QStringLiteral("color: red;"));
    warning->setAlignment(Qt::AlignCenter);
    warning->setGeometry(24, 236, 368, 24);

    if (!settingsNote.empty()) {
        // A long path shows its ends; the whole of it is the tooltip and what a screen reader reads.
        auto* where = new QLabel(this);
        where->setObjectName(QStringLiteral("Lbl_Settings"));
        where->setAlignment(Qt::AlignCenter);
        where->setTextFormat(Qt::PlainText);
        where->setGeometry(24, 264, 368, 24);
        const QString note = QString::fromLocal8Bit(settingsNote.c_str());
        where->setText(where->fontMetrics().elidedText(note, Qt::ElideMiddle, 368));
        where->setToolTip(note);
        where->setAccessibleName(note);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button_Ok"));
    ok->setGeometry(170, 312, 76, 28);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { Button_OkClick(); });
}

void TAboutTop::Button_OkClick() {
    hide();
}

} // namespace shell
