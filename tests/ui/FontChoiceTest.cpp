#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "font/FontTab.h"
#include "font/TextRenderer.h"
#include "shell/DialogsQt.h"

#include <QApplication>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The font the user picks is the font that draws the glyphs: the dialog opens at its specified font, its
// choice reaches the renderer as a family the renderer knows, and what the renderer could not do as asked
// is said in the status bar.
namespace {

QString Box(shell::TMainTop& w, const char* name) {
    return Child<QLineEdit>(&w, name)->text();
}

} // namespace

class FontChoiceTest : public QObject {
    Q_OBJECT
private slots:
    // The dialog opens at Arial, 8 points, regular; where Arial is not installed, at the family the desktop
    // draws for it (its metric twin). OK without a change keeps that font.
    void dialogOpensAtArial8Regular() {
        const QString arial = QFontInfo(QFont(QStringLiteral("Arial"))).family();
        QVERIFY2(arial == QStringLiteral("Arial") || arial == QStringLiteral("Liberation Sans"), qPrintable(arial));
        shell::QtDialogDriver driver;
        shell::FontDialog dialog;
        dialog.Name = "Font_digFontSel";
        dialog.Font = font::ToDialog(font::DialogStartFont());
        QFont shown;
        bool found = false;
        QTimer::singleShot(0, [&] {
            auto* open = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
            found = open && open->objectName() == QStringLiteral("Font_digFontSel");
            if (!open) return;
            shown = open->currentFont();
            open->accept();
        });
        QVERIFY(dialog.Execute(driver));
        QVERIFY(found);
        QCOMPARE(shown.family(), arial);
        QCOMPARE(shown.pointSize(), 8);
        QVERIFY(!shown.bold());
        QVERIFY(!shown.italic());
        QCOMPARE(QString::fromStdString(dialog.Font.Name), arial);
        QCOMPARE(dialog.Font.Size, 8);
        QVERIFY(!dialog.Font.Bold && !dialog.Font.Italic && !dialog.Font.Underline && !dialog.Font.StrikeOut);
    }

    // The dialog tags a family that several foundries make with the foundry's name; the renderer is asked
    // for the family alone.
    void theDialogsFoundryTagIsNotPartOfTheFamily() {
        const struct {
            const char* chosen;
            const char* family;
        } cases[] = {
            {"Nimbus Sans [urw]", "Nimbus Sans"},
            {"DejaVu Serif [PfEd]", "DejaVu Serif"},
            {"C059 [UKWN] ", "C059"},
            {"Liberation Sans", "Liberation Sans"},
            {"Odd [name", "Odd [name"},
            {"[urw]", "[urw]"},
            {"Empty []", "Empty []"},
        };
        for (const auto& c : cases) {
            shell::FontChoice chosen;
            chosen.Name = c.chosen;
            chosen.Size = 11;
            chosen.Italic = true;
            const font::FontChoice font = font::FromDialog(chosen);
            QCOMPARE(QString::fromStdString(font.Family), QString::fromLatin1(c.family));
            QCOMPARE(font.Size, 11);
            QCOMPARE(int(font.Style), int(font::kItalic));
        }

        // Through the window: the face box and the bank name the family chosen, which drew the glyph.
        UiFixture f;
        auto& w = f.Window();
        w.SetActivePage(shell::Page::Font);
        shell::FontChoice serif;
        serif.Name = "DejaVu Serif [PfEd]";
        serif.Size = 12;
        f.dialogs.ConfirmFont(serif);
        QTest::mouseClick(Child<QPushButton>(&w, "OSD_btnTTFFontSel"), Qt::LeftButton);
        QCOMPARE(Box(w, "OSD_edtTTFFontFace"), QStringLiteral("DejaVu Serif"));
        QCOMPARE(w.workspace().font.Editor.CurrentFont.Family, std::string("DejaVu Serif"));
    }
};

TAVIX_UI_SUITE(FontChoiceTest)

#include "FontChoiceTest.moc"
