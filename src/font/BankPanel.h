#pragma once

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace widgets {
class PictureGrid;
} // namespace widgets

namespace font {

class FontTab;

// The "Bank" group: the bank grid with every glyph, its bits per pixel and description, Delete and Clear,
// the bank files' Load and Save, the code generator's "Code" and "Half Word".
class BankPanel final : public QWidget {
    Q_OBJECT
public:
    BankPanel(FontTab& tab, QWidget* parent);

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

private:
    FontTab& tab_;

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
