#pragma once

#include "font/PanelContext.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace widgets {
class PictureGrid;
} // namespace widgets

namespace font {

struct BankLoadResult;

// The "Bank" group: the bank grid with every glyph, its bits per pixel and description, Delete and Clear,
// the bank files' Load and Save, the code generator's "Code" and "Half Word".
class BankPanel final : public QWidget {
    Q_OBJECT
public:
    BankPanel(const PanelContext& context, QWidget* parent);

    // A press on cell (column, row) of the bank grid, row 0 being the titles: a press on a glyph's picture
    // loads it into the editor.
    void Font_sgFontBankMouseDown(int column, int row);
    void Font_btnBankDeleteClick();
    void Font_BtnBankClearClick();
    void Font_btnBankSaveClick();
    void Font_btnBankLoadClick();
    void Font_btnBankCodeClick();
    void Font_chkHalfWordClick();

    // The grid shows the bank as it is: one row per glyph under the titles.
    void ShowBank();
    // The tooltip of the glyph in bank grid row (1-based): the glyph decoded from its bytes, as rich text.
    QString DecodedGlyphToolTip(int row) const;

signals:
    // A glyph of the bank was loaded into the editor: all of the editor changed.
    void editorChanged();
    // A bank file was read: what it says of its font, for the font boxes.
    void bankFontRead(const BankLoadResult& result);

private:
    PanelContext context_;

    QGroupBox* Font_gbFontBank = nullptr;
    widgets::PictureGrid* Font_sgFontBank = nullptr;
    QPushButton* Font_btnBankDelete = nullptr;
    QPushButton* Font_BtnBankClear = nullptr;
    QPushButton* Font_btnBankLoad = nullptr;
    QPushButton* Font_btnBankSave = nullptr;
    QPushButton* Font_btnBankCode = nullptr;
    QCheckBox* Font_chkHalfWord = nullptr;
};

} // namespace font
