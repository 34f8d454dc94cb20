#include "ui/Suites.h"

#include "widgets/TCSpinEdit.h"

#include <QSignalSpy>
#include <QTest>

class WidgetsTest : public QObject {
    Q_OBJECT
private slots:
    // The change event comes with every change of the value: each typed digit and each arrow step.
    void spinEditReportsEveryChange() {
        widgets::TCSpinEdit spin;
        spin.setRange(-32, 32);
        spin.setValue(0);
        spin.show();
        QSignalSpy changes(&spin, &QSpinBox::valueChanged);
        spin.selectAll();
        QTest::keyClicks(&spin, QStringLiteral("12"));
        QCOMPARE(changes.count(), 2);
        QCOMPARE(changes.at(0).at(0).toInt(), 1);
        QCOMPARE(changes.at(1).at(0).toInt(), 12);
        QTest::keyClick(&spin, Qt::Key_Up);
        QCOMPARE(changes.count(), 3);
        QCOMPARE(spin.value(), 13);

        // With typing refused, only the arrows change it.
        spin.SetTypingAllowed(false);
        spin.selectAll();
        QTest::keyClicks(&spin, QStringLiteral("5"));
        QCOMPARE(spin.value(), 13);
        QTest::keyClick(&spin, Qt::Key_Down);
        QCOMPARE(spin.value(), 12);
        QCOMPARE(changes.count(), 4);
    }
};

TAVIX_UI_SUITE(WidgetsTest)

#include "WidgetsTest.moc"
