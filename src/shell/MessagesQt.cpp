#include "shell/MessagesQt.h"

#include "settings/AppIdentity.h"

#include <QMessageBox>
#include <QString>

namespace shell {

QString ToQt(const std::string& text) {
    // The texts are single-byte; what the grids show of a byte such as 0x00 is its character.
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text) {
    // Paths come from the file dialogs in the file system's encoding.
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void QtMessageBoxes::ErrorBox(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::Critical, ToQt(title), ToQt(text), QMessageBox::Ok, owner_);
    box.exec();
}

void QtMessageBoxes::PlainBox(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(settings::AppName), ToQt(text), QMessageBox::Ok,
                    owner_);
    box.exec();
}

} // namespace shell
