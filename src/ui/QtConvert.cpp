#include "ui/QtConvert.h"

#include <QStringDecoder>

namespace ui {

QString ToQt(const std::string& text) {
    // The texts are single-byte; what the grids show of a byte such as 0x00 is its character.
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString MessageToQt(const std::string& text) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    return utf8.hasError() ? ToQt(text) : decoded;
}

std::string FromQt(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

} // namespace ui
