#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "font/FontTab.h"
#include "font/TextRenderer.h"
#include "ui/DialogsQt.h"

#include <QApplication>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The font the user picks is the font that draws the glyphs: the dialog opens at its start font, its
// choice reaches the renderer as a family the renderer knows, and what the renderer could not do as asked
// is said in the status bar.
namespace {

QString Box(shell::TMainTop& w, const char* name) {
    return Child<QLineEdit>(&w, name)->text();
}

// Types text into the entry box and presses Enter.
void Enter(shell::TMainTop& w, const QString& text) {
    auto* entry = Child<QLineEdit>(&w, "Edit_Char");
    entry->setText(text);
    QTest::keyClick(entry, Qt::Key_Return);
}

// Picks a font in the font dialog.
void ChooseFont(UiFixture& f, const char* family, int size) {
    ui::FontChoice font;
    font.Name = family;
    font.Size = size;
    f.dialogs.ConfirmFont(font);
    QTest::mouseClick(Child<QPushButton>(&f.Window(), "OSD_btnTTFFontSel"), Qt::LeftButton);
}

} // namespace

class FontChoiceTest : public QObject {
    Q_OBJECT
private slots:
    // The dialog opens at Arial, 8 points, regular; where Arial is not installed, at the family the desktop
    // draws for it (its metric twin). OK without a change keeps that font.
    void dialogOpensAtArial8Regular() {
        const QString arial = QFontInfo(QFont(QStringLiteral("Arial"))).family();
        QVERIFY2(arial == QStringLiteral("Arial") || arial == QStringLiteral("Liberation Sans"),
                 qPrintable(arial));
        ui::QtDialogDriver driver;
        ui::FontDialog dialog;
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
            ui::FontChoice chosen;
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
        ShowTab(w, "TabSheet_Font");
        ui::FontChoice serif;
        serif.Name = "DejaVu Serif [PfEd]";
        serif.Size = 12;
        f.dialogs.ConfirmFont(serif);
        QTest::mouseClick(Child<QPushButton>(&w, "OSD_btnTTFFontSel"), Qt::LeftButton);
        QCOMPARE(Box(w, "OSD_edtTTFFontFace"), QStringLiteral("DejaVu Serif"));
        QCOMPARE(w.workspace().font.Editor.CurrentFont.Family, std::string("DejaVu Serif"));
    }

    // What the renderer could not do as asked is said in status panel 3, which empties when it no longer
    // holds.
    void theStatusBarNamesWhatTheRendererCouldNotDo() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_Font");
        QCOMPARE(f.Panel(3), QStringLiteral("3"));

        Enter(w, QString::fromUtf8("\xE4\xB8\xAD"));
        QCOMPARE(f.Panel(3),
                 QStringLiteral("DejaVu Sans has no glyph for U+4E2D: each is drawn as an empty box"));
        Enter(w, QStringLiteral("A"));
        QCOMPARE(f.Panel(3), QString());

        ChooseFont(f, "Liberation Mon", 10);
        QCOMPARE(Box(w, "OSD_edtTTFFontFace"), QStringLiteral("DejaVu Sans"));
        QCOMPARE(f.Panel(3),
                 QStringLiteral("Font \"Liberation Mon\" is not installed: DejaVu Sans is used instead"));
        ChooseFont(f, "DejaVu Sans", 12);
        QCOMPARE(f.Panel(3), QString());

        Enter(w, QStringLiteral("g"));
        QCOMPARE(f.Panel(3), QStringLiteral("Ink outside the 16 x 16 glyph is cut off: U+0067 'g'"));

        // A strings run names each glyph that lost ink; the glyphs are made all the same.
        Child<QPlainTextEdit>(&w, "Font_MemoFontString")->setPlainText(QStringLiteral("Ag\ngap"));
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnStringGenerate"), Qt::LeftButton);
        QCOMPARE(f.Panel(3),
                 QStringLiteral("Ink outside the 16 x 16 glyph is cut off: U+0067 'g', U+0070 'p'"));
        QCOMPARE(w.workspace().font.Bank.Count(), size_t{4});
        QVERIFY(f.boxes.boxes.empty());
    }
};

TAVIX_UI_SUITE(FontChoiceTest)

#include "FontChoiceTest.moc"
