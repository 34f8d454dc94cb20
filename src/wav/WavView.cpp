#include "wav/WavView.h"

#include "base/Format.h"
#include "wav/WaveFormatNames.h"

#include <algorithm>

namespace wav {

HeaderView DefaultHeaderView() {
    return HeaderView{{
        {"Label_WavFileName", "Label_WavFileNameVal", "FileName:", "None.wav"},
        {"Label_WAVFileSize", "Label_WAVFileSizeVal", "FileSize:", "0 "},
        {"Label_WAVFormat", "Label_WAVFormatVal", "AudioFormat:", "UnKnow"},
        {"Label_WAVChunkSize", "Label_WAVChunkSizeVal", "ChunkSize:", "0"},
        {"Label_WavChannel", "Label_WavChannelVal", "NumChannels:", "0"},
        {"Label_WAVSampleRate", "Label_WAVSampleRateVal", "SampleRate:", "0"},
        {"Label_WavByteRate", "Label_WavByteRateVal", "ByteRate:", "0"},
        {"Label_WAVBlockAlign", "Label_WAVBlockAlignVal", "BlockAlign:", "0"},
        {"Label_WAVBits", "Label_WAVBitsVal", "BitsPerSample : ", "0"},
        {"Label_WAVDataLen", "Label_WAVDataLenVal", "DataLength:", "0"},
    }};
}

void ShowLoad(HeaderView& view, const LoadResult& load, const HeaderCheck& check) {
    if (!load.fileRead) return;
    view[kRowFileSize].value = base::strprintf("%llu", static_cast<unsigned long long>(load.fileSize));
    view[kRowFileName].value = load.fileName;
    if (check.reach < HeaderReach::Format) return;
    const WavHeader& h = check.header;
    view[kRowChunkSize].value = base::strprintf("%d", h.ChunkSize);
    view[kRowAudioFormat].value = WaveFormatNameOf(h.AudioFormat);
    view[kRowAudioFormat].red = h.AudioFormat != 1;
    if (check.reach < HeaderReach::Fields) return;
    view[kRowNumChannels].value = base::strprintf("%u%s", static_cast<unsigned>(h.NumChannels),
                                                  h.NumChannels == 1 ? "-Mono" : "-Stereo");
    view[kRowSampleRate].value = base::strprintf("%d Hz", static_cast<std::int32_t>(h.SampleRate));
    view[kRowByteRate].value = base::strprintf("%d Hz", static_cast<std::int32_t>(h.ByteRate));
    view[kRowBlockAlign].value = base::strprintf("%u", static_cast<unsigned>(h.BlockAlign));
    view[kRowBitsPerSample].value = base::strprintf("%u Bits", static_cast<unsigned>(h.BitsPerSample));
    if (check.reach < HeaderReach::DataLength) return;
    view[kRowDataLength].value = base::strprintf("%d", static_cast<std::int32_t>(h.DataLength));
}

std::string HeaderLine(const HeaderLabel& label) {
    std::string caption = label.caption;
    while (!caption.empty() && caption.back() == ' ')
        caption.pop_back();
    return caption + " " + label.value;
}

std::uint64_t BankCount(std::uint64_t fileSize) {
    return fileSize / 256 + 1;
}

std::string BankItemText(std::uint64_t bank) {
    return base::strprintf("%08llX-%llu", static_cast<unsigned long long>(bank * 256),
                           static_cast<unsigned long long>(bank));
}

DataGrid DataGridTitles() {
    DataGrid grid;
    for (int c = 0; c < 16; ++c) {
        grid[0][c + 1] = base::strprintf("%02X", c);
        grid[c + 1][0] = base::strprintf("%02X", c);
    }
    grid[0][17] = "ASCII";
    return grid;
}

DataGrid DataGridOf(std::span<const std::uint8_t> image, std::uint64_t bank) {
    if (bank >= image.size() / 256 + 1) return DataGridTitles(); // starts at or past the end: nothing to show
    const std::uint64_t start = bank * 256;
    return DataGridOfBank(
        image.subspan(static_cast<std::size_t>(start),
                      std::min<std::size_t>(256, image.size() - static_cast<std::size_t>(start))));
}

DataGrid DataGridOfBank(std::span<const std::uint8_t> bankBytes) {
    DataGrid grid = DataGridTitles();
    for (int r = 0; r < 16; ++r) {
        std::string& text = grid[r + 1][17];
        for (int c = 0; c < 16; ++c) {
            const std::uint64_t at = 16u * r + c;
            if (at >= bankBytes.size()) return grid;
            const std::uint8_t byte = bankBytes[at];
            base::AppendHex2(grid[r + 1][c + 1], byte);
            text.push_back(byte < 0x20 || byte > 0x7F ? '.' : static_cast<char>(byte));
        }
    }
    return grid;
}

} // namespace wav
