#pragma once

#include "ui/Tab.h"
#include "wav/Resampler.h"
#include "wav/WavState.h"
#include "wav/WavView.h"

#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace wav {

class BankListModel;

// The "WAV" tab: "WAV Load" shows a PCM WAV file's header and bytes (and writes the bypass file), "RESample
// Gen" resamples one channel to 8000 or 16000 Hz, "RESample Save" writes the result as 8- or 16-bit samples.
class WavTab final : public ui::Tab {
    Q_OBJECT
public:
    WavTab(const ui::TabContext& context, WavState& state, QWidget* parent = nullptr);
    ~WavTab() override;

    QString Caption() const override { return QStringLiteral("WAV"); }
    void FormCreate() override { InitWavDataGrid(); }
    // One WAV file dropped: WAV Load.
    DropOpen DropTaken(const std::vector<std::string>& paths) const override {
        return paths.size() == 1 ? DropOpen::Own : DropOpen::None;
    }
    void OpenDropped(const std::vector<std::string>&) override { Button_WAVLoadClick(); }

    // The titles of the hexadecimal view: "00" to "0F" along the top and down the side, "ASCII".
    void InitWavDataGrid();
    void Button_WAVLoadClick();
    // What "WAV Load" does once its dialog has chosen path.
    void LoadWav(const std::string& path);
    // The 256 bytes of the file image from bank x 256 into the hexadecimal view; nothing without an image.
    void ShowWavBank(std::uint64_t bank);
    void ComboBox_WAVBankSelChange();
    void Button_RESampleGenClick();
    void Button_RESampleSaveClick();
    void ComboBox_RESampleFreqChange();
    void CheckBox_LowPassClick();

private:
    void ShowHeader();
    // The selected item of "RESample_Frequency", -1 when none is (or the box shows a typed text).
    int SelectedRateItem() const;
    SampleWidth SelectedWidth() const;

    WavState& state_;
    ui::Messages& messages_;
    ui::DialogDriver& dialogs_;
    ui::FileDialog& openDialog_;
    ui::FileDialog& saveDialog_;
    std::string& folder_;
    HeaderView header_;
    BankListModel* banks_ = nullptr;

    QGroupBox* GroupBox_WAV = nullptr;
    std::array<QLabel*, kHeaderRowCount> captions_{};
    std::array<QLabel*, kHeaderRowCount> values_{};
    QPushButton* Button_WAVLoad = nullptr;
    QCheckBox* CheckBox_RemoveWavHeader = nullptr;
    QCheckBox* CheckBox_LowPass = nullptr; // "Low-pass", read at generation
    QGroupBox* RadioGroup_RESample_Ch_Sel = nullptr;
    QButtonGroup* channels_ = nullptr;
    QLabel* Label_RESampleFreq = nullptr;
    QComboBox* ComboBox_RESampleFreq = nullptr;
    QGroupBox* RadioGroup_RESample_Bit = nullptr;
    QButtonGroup* widths_ = nullptr;
    QPushButton* Button_RESampleGen = nullptr;
    QPushButton* Button_RESampleSave = nullptr;
    QLabel* Label_RESampleLen = nullptr;
    QLabel* Label_RESampleLenVal = nullptr;
    QLabel* Label_WAVBankSel = nullptr;
    QComboBox* ComboBox_WAVBankSel = nullptr;
    QTableWidget* StringGrid_WavData = nullptr;
};

} // namespace wav
