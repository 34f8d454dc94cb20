#pragma once

#include "font/GlyphEditor.h"
#include "font/PanelContext.h"
#include "ui/Dialogs.h"

#include <QWidget>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace widgets {
class ColourGrid;
class GlyphGrid;
class Swatch;
class TCSpinEdit;
} // namespace widgets

namespace font {

struct BankLoadResult;

// The glyph designer's controls: the "Font" group with the read-only font boxes and "Font ...", the
// "PreView" group with the 128 x 128 preview, the 364 x 364 panel with the magnified glyph grid, and the
// "Options" group with the colour type, grid size, offsets, entry box, font palette, paint colour boxes,
// Invert / Clear / Insert and the glyph file's Load / Save. (The strings panel sits inside "Options" too.)
// Each handler reads its controls, calls one operation of the glyph editor and shows the result.
class GlyphPanel final : public QWidget {
    Q_OBJECT
public:
    GlyphPanel(const PanelContext& context, QWidget* parent);

    // Start values: the font boxes show the start font, the palette grid gets its titles, and every control
    // shows the editor.
    void FormCreate();

    // Makes font the CurrentFont and shows its properties in the font boxes (fontChanged follows).
    // Returns font::FontShowProp's notes (the face that stands in for a family that is not installed).
    // Throws base::Error when no face can be found at all.
    base::Notes FontShowProp(const FontChoice& font);
    void OSD_btnTTFFontSelClick();
    // "Font File...": the first face of a .ttf/.otf/.ttc file becomes the font, at the current font's size and
    // style; the font dialog then opens at the file's family.
    void Font_btnFontFileClick();
    // A key was released in the entry box: Enter renders its text.
    void Edit_CharKeyUp(int key);
    void Font_cbFontColorTypeChange();
    void Font_cbGridWidthChange();
    void Font_cbGridHeightChange();
    void CSpinEdit_XoffsetChange();
    void CSpinEdit_YoffsetChange();

    // (x, y) in the glyph grid's own pixels; alt: the Alt key is held.
    void Font_sgGridCharMouseDown(int x, int y, bool alt);
    void Font_sgGridCharMouseMove(int x, int y, bool leftHeld, bool alt);
    void Font_sgGridCharMouseUp();
    // A press on cell (column, row) of the palette grid.
    void Font_sgFontPaletteMouseDown(int column, int row, Qt::MouseButton button);
    void Font_sgFontPaletteDblClick();
    void Font_btnInvertClick();
    void Font_btnClearClick();
    void Font_btnInsertClick();
    void Font_BtnSaveClick();
    void Font_btnLoadClick();

    // Shows the whole editor: the three boxes, the offsets, the paint colours, the palette, the glyph.
    void ShowEditor();
    // Shows the surface: the glyph grid (laid out for the geometry and centred in its panel) and the
    // preview.
    void ShowGlyph();
    void ShowColourBoxes();
    // The font boxes after a bank file was read: the boxes the file named show what it said.
    void ShowBankFont(const BankLoadResult& result);
    void ClearEntry();

    QGroupBox* OptionsGroup() const { return Font_gbFontOption; }

signals:
    // A glyph went into the bank.
    void bankChanged();
    // The editor's CurrentFont changed.
    void fontChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    GlyphEditor& Editor();

    PanelContext context_;
    ui::FontDialog Font_digFontSel;        // "Font ...": the font the glyphs are rendered in
    ui::ColourDialog Font_digFontColorSel; // a double click on the palette: a palette entry's colour

    QGroupBox* Font_gbFontSel = nullptr;
    QLineEdit* OSD_edtTTFFontFace = nullptr;
    QLineEdit* OSD_edtTTFFontStyle = nullptr;
    QLineEdit* OSD_edtTTFFontSize = nullptr;
    QLineEdit* OSD_edtTTFFontHeight = nullptr;
    QLineEdit* OSD_edtTTFFontCharset = nullptr;
    QLineEdit* OSD_edtTTFFontPixels = nullptr;
    QPushButton* OSD_btnTTFFontSel = nullptr;
    QPushButton* Font_btnFontFile = nullptr;
    QGroupBox* Font_gbFontPreView = nullptr;
    QLabel* Font_imgFontPreView = nullptr;
    QFrame* Font_plFontPanel = nullptr;
    widgets::GlyphGrid* Font_sgGridChar = nullptr;
    QWidget* gridOutline_ = nullptr; // the line around the glyph grid's top and left edges
    QGroupBox* Font_gbFontOption = nullptr;
    QComboBox* Font_cbFontColorType = nullptr;
    QComboBox* Font_cbGridWidth = nullptr;
    QComboBox* Font_cbGridHeight = nullptr;
    widgets::TCSpinEdit* CSpinEdit_Xoffset = nullptr;
    widgets::TCSpinEdit* CSpinEdit_Yoffset = nullptr;
    QLineEdit* Edit_Char = nullptr;
    widgets::ColourGrid* Font_sgFontPalette = nullptr;
    widgets::Swatch* Font_edtFontForgColor = nullptr;
    widgets::Swatch* Font_edtFontBackColor = nullptr;
    QPushButton* Font_btnInvert = nullptr;
    QPushButton* Font_btnClear = nullptr;
    QPushButton* Font_btnInsert = nullptr;
    QPushButton* Font_btnLoad = nullptr;
    QPushButton* Font_BtnSave = nullptr;
};

} // namespace font
