#include "ui/DialogsQt.h"

#include "base/Path.h"
#include "ui/QtConvert.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>

#include <climits>
#include <cstdlib>

namespace ui {

QStringList NameFilters(const std::string& filter) {
    const QStringList parts = ToQt(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << p;
            // File names on Linux are case-sensitive; "*.bmp" should still find LOGO.BMP.
            if (p.toLower() != p) patterns << p.toLower();
            if (p.toUpper() != p) patterns << p.toUpper();
        }
        patterns.removeDuplicates();
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

bool QtDialogDriver::RunFileDialog(FileDialog& dialog, const std::string& folder) {
    QFileDialog fd(owner_);
    fd.setObjectName(ToQt(dialog.Name));
    const bool save = dialog.kind == FileDialog::Kind::Save;
    fd.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // A typed name of a file that does not exist is handed on too: the command that asked reports it in its
    // own words ("File Not Exist !!!"), which a dialog that greys out Open would never let it say.
    fd.setFileMode(QFileDialog::AnyFile);
    fd.setWindowTitle(save ? QStringLiteral("Save As") : QStringLiteral("Open"));
    const QStringList filters = NameFilters(dialog.Filter);
    fd.setNameFilters(filters);
    if (dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size())
        fd.selectNameFilter(filters[dialog.FilterIndex - 1]);
    if (!dialog.DefaultExt.empty()) {
        QString ext = ToQt(dialog.DefaultExt);
        if (ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
        fd.setDefaultSuffix(ext);
    }
    if (!folder.empty()) fd.setDirectory(QString::fromLocal8Bit(folder.c_str()));
    if (!dialog.FileName.empty()) {
        const QFileInfo info(QString::fromLocal8Bit(base::ResolvePath(folder, dialog.FileName).c_str()));
        if (info.isAbsolute()) fd.setDirectory(info.absolutePath());
        fd.selectFile(info.fileName());
    }
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty()) return false;
    dialog.FileName = FromQt(fd.selectedFiles().first());
    const qsizetype index = filters.indexOf(fd.selectedNameFilter());
    if (index >= 0) dialog.FilterIndex = static_cast<int>(index) + 1;
    return true;
}

bool QtDialogDriver::RunColourDialog(ColourDialog& dialog) {
    const base::Colour c = dialog.Colour;
    const QColor chosen =
        QColorDialog::getColor(QColor(base::RedOf(c), base::GreenOf(c), base::BlueOf(c)), owner_);
    if (!chosen.isValid()) return false;
    dialog.Colour =
        base::MakeColour(static_cast<std::uint8_t>(chosen.red()), static_cast<std::uint8_t>(chosen.green()),
                         static_cast<std::uint8_t>(chosen.blue()));
    return true;
}

QFont ListedFont(const QFont& wanted) {
    QFont listed = wanted;
    // A family the desktop does not have (Arial on most Linux systems) is shown as the family it draws in
    // its place, its metric twin where it has one; a dialog that cannot find the family in its list would
    // open at the list's first family instead, in whatever style that family lists first.
    QString family = QFontInfo(wanted).family();
    for (const QString& name : QFontDatabase::families())
        if (name.compare(wanted.family(), Qt::CaseInsensitive) == 0) family = name;
    listed.setFamily(family);
    // The style the family lists for the weight and slant ("Regular", "Book", "Bold Italic"...): the dialog
    // looks styles up by name.
    QString best;
    int bestDistance = INT_MAX;
    for (const QString& style : QFontDatabase::styles(family)) {
        const int distance = std::abs(QFontDatabase::weight(family, style) - wanted.weight()) +
                             (QFontDatabase::italic(family, style) != wanted.italic() ? 10000 : 0);
        if (distance < bestDistance) {
            best = style;
            bestDistance = distance;
        }
    }
    if (!best.isEmpty()) listed.setStyleName(best);
    return listed;
}

bool QtDialogDriver::RunFontDialog(FontDialog& dialog) {
    const FontChoice& f = dialog.Font;
    QFont preset(QString::fromStdString(f.Name), f.Size);
    preset.setBold(f.Bold);
    preset.setItalic(f.Italic);
    preset.setUnderline(f.Underline);
    preset.setStrikeOut(f.StrikeOut);
    QFontDialog fd(owner_);
    fd.setObjectName(ToQt(dialog.Name));
    fd.setCurrentFont(ListedFont(preset));
    if (fd.exec() != QDialog::Accepted) return false;
    const QFont chosen = fd.selectedFont();
    dialog.Font.Name = chosen.family().toStdString();
    dialog.Font.Size = chosen.pointSize() > 0 ? chosen.pointSize() : f.Size;
    dialog.Font.Bold = chosen.bold();
    dialog.Font.Italic = chosen.italic();
    dialog.Font.Underline = chosen.underline();
    dialog.Font.StrikeOut = chosen.strikeOut();
    return true;
}

} // namespace ui
