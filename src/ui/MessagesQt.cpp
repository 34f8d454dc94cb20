#include "ui/MessagesQt.h"

#include "settings/AppIdentity.h"
#include "ui/QtConvert.h"

#include <QMessageBox>

namespace ui {

void QtMessageBoxes::ErrorBox(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::Critical, ToQt(title), ToQt(text), QMessageBox::Ok, owner_);
    box.exec();
}

void QtMessageBoxes::PlainBox(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(settings::AppName), ToQt(text), QMessageBox::Ok,
                    owner_);
    box.exec();
}

} // namespace ui
