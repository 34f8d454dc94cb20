#pragma once

#include "wav/WavReader.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace wav {

// One label pair of the "Header" group.
struct HeaderLabel {
    const char* captionName; // component names, e.g. "Label_WAVFormat"
    const char* valueName;   //                      "Label_WAVFormatVal"
    const char* caption;     // "AudioFormat:"
    std::string value;       // the value label's text
    bool red = false;        // a format name other than "PCM" is drawn in red
};

// The rows in the order the group shows them.
enum HeaderRow {
    kRowFileName,
    kRowFileSize,
    kRowAudioFormat,
    kRowChunkSize,
    kRowNumChannels,
    kRowSampleRate,
    kRowByteRate,
    kRowBlockAlign,
    kRowBitsPerSample,
    kRowDataLength,
    kHeaderRowCount
};

using HeaderView = std::array<HeaderLabel, kHeaderRowCount>;

// The texts before any load: "None.wav", "0 ", "UnKnow" and "0".
HeaderView DefaultHeaderView();

// What a load changes in the group: after a file was read its size and name, then the fields the check
// reached ("PCM" in black, any other format name in red; "1-Mono"/"2-Stereo"; "%d Hz"; "16 Bits"; numbers
// printed as signed 32-bit values). A file that was not read changes nothing.
void ShowLoad(HeaderView& view, const LoadResult& load, const HeaderCheck& check);

// "Caption value", the caption without its trailing blanks: "AudioFormat: PCM", "BitsPerSample : 16 Bits".
std::string HeaderLine(const HeaderLabel& label);

// The bank list of a file: one 256-byte bank per started 256 bytes, plus one (a file whose size is a
// multiple of 256 gets a bank that starts at its end). Item i reads "%08X-%d" of i x 256 and i.
std::uint64_t BankCount(std::uint64_t fileSize);
std::string BankItemText(std::uint64_t bank);

// The hexadecimal view, 18 columns x 17 rows, [row][column]: row 0 and column 0 hold the titles ("00" to
// "0F" both ways, "ASCII" above column 17), cell (c + 1, r + 1) byte 16r + c of the bank as "%02X", column
// 17 of a row its 16 bytes as text (0x20 to 0x7F as themselves, every other byte as ".").
inline constexpr int kDataGridColumns = 18;
inline constexpr int kDataGridRows = 17;
using DataGrid = std::array<std::array<std::string, kDataGridColumns>, kDataGridRows>;

// The titles alone, the body empty (the view before any load).
DataGrid DataGridTitles();

// The titles and the given bank of image. Bytes past the end of image leave their cells empty (and their
// characters out of the text column).
DataGrid DataGridOf(std::span<const std::uint8_t> image, std::uint64_t bank);
// The same from the bank's own bytes (up to 256; the cells of missing ones stay empty).
DataGrid DataGridOfBank(std::span<const std::uint8_t> bankBytes);

} // namespace wav
