#include "widgets/ValueLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace widgets {

namespace {

constexpr const char* kCaptionProperty = "tavixValueCaption";

class ValueLabelAccessible final : public QAccessibleWidget {
public:
    explicit ValueLabelAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        const auto* label = static_cast<const QLabel*>(object());
        const QString value = label->text().trimmed();
        if (t == QAccessible::Value) return value;
        if (t == QAccessible::Name) {
            const QString caption = label->property(kCaptionProperty).toString();
            return value.isEmpty() ? caption : caption + QStringLiteral(": ") + value;
        }
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* ValueLabelFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("QLabel") || !object || !object->property(kCaptionProperty).isValid())
        return nullptr;
    return new ValueLabelAccessible(static_cast<QLabel*>(object));
}

} // namespace

void NameValueLabel(QLabel* value, const QString& caption) {
    static const bool installed = [] {
        QAccessible::installFactory(ValueLabelFactory);
        return true;
    }();
    (void)installed;
    QString name = caption.trimmed();
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    value->setAccessibleName(QString());
    value->setProperty(kCaptionProperty, name.trimmed());
    // Setting the label's text has already made it an interface of the plain kind (Qt makes one for the
    // change event); drop it, so that the next one asked for is made by the factory above.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(value))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

} // namespace widgets
