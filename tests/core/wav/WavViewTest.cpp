#include "wav/WavView.h"

#include "support/WavBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testsupport::BuildWav;
using testsupport::WavLayout;
using wav::HeaderView;
using Bytes = std::vector<std::uint8_t>;

std::vector<std::string> Lines(const HeaderView& view) {
    std::vector<std::string> lines;
    for (const auto& label : view)
        lines.push_back(wav::HeaderLine(label));
    return lines;
}

// The group after loading a file named name whose bytes are image.
HeaderView ViewAfterLoad(const Bytes& image, const std::string& name = "tone.wav") {
    wav::LoadResult load;
    load.fileRead = true;
    load.fileSize = image.size();
    load.fileName = name;
    HeaderView view = wav::DefaultHeaderView();
    wav::ShowLoad(view, load, wav::CheckWavHeader(image));
    return view;
}

TEST(HeaderView, StartsWithTheDesignTexts) {
    const HeaderView view = wav::DefaultHeaderView();
    EXPECT_EQ(Lines(view), (std::vector<std::string>{
                               "FileName: None.wav",
                               "FileSize: 0 ",
                               "AudioFormat: UnKnow",
                               "ChunkSize: 0",
                               "NumChannels: 0",
                               "SampleRate: 0",
                               "ByteRate: 0",
                               "BlockAlign: 0",
                               "BitsPerSample : 0",
                               "DataLength: 0",
                           }));
    EXPECT_STREQ(view[wav::kRowBitsPerSample].caption, "BitsPerSample : ");
    EXPECT_STREQ(view[wav::kRowAudioFormat].valueName, "Label_WAVFormatVal");
    EXPECT_STREQ(view[wav::kRowNumChannels].captionName, "Label_WavChannel");
    for (const auto& label : view)
        EXPECT_FALSE(label.red);
}

TEST(HeaderView, AcceptedFilesShowEveryField) {
    WavLayout s;
    s.sampleRate = 48000;
    s.data = Bytes(10, 0);
    HeaderView view = ViewAfterLoad(BuildWav(s));
    EXPECT_EQ(Lines(view), (std::vector<std::string>{
                               "FileName: tone.wav",
                               "FileSize: 54",
                               "AudioFormat: PCM",
                               "ChunkSize: 46",
                               "NumChannels: 1-Mono",
                               "SampleRate: 48000 Hz",
                               "ByteRate: 96000 Hz",
                               "BlockAlign: 2",
                               "BitsPerSample : 16 Bits",
                               "DataLength: 10",
                           }));
    EXPECT_FALSE(view[wav::kRowAudioFormat].red);

    s.channels = 2;
    s.bits = 8;
    s.sampleRate = 8000;
    view = ViewAfterLoad(BuildWav(s));
    EXPECT_EQ(view[wav::kRowNumChannels].value, "2-Stereo");
    EXPECT_EQ(view[wav::kRowBitsPerSample].value, "8 Bits");
    EXPECT_EQ(view[wav::kRowByteRate].value, "16000 Hz");
}

TEST(HeaderView, NumbersArePrintedAsSigned32BitValues) {
    WavLayout s;
    s.data = {0, 0};
    s.chunkSize = 0xFFFFFFFE;
    s.byteRate = 0x80000000;
    s.dataLength = 0xFFFFFFFF;
    s.sampleRate = 0xFFFFFFFF;
    s.channels = 3; // refused after every field is shown: not mono, so "-Stereo"
    const HeaderView view = ViewAfterLoad(BuildWav(s));
    EXPECT_EQ(view[wav::kRowChunkSize].value, "-2");
    EXPECT_EQ(view[wav::kRowByteRate].value, "-2147483648 Hz");
    EXPECT_EQ(view[wav::kRowSampleRate].value, "-1 Hz");
    EXPECT_EQ(view[wav::kRowDataLength].value, "-1");
    EXPECT_EQ(view[wav::kRowNumChannels].value, "3-Stereo");
}

TEST(HeaderView, RefusedFilesShowWhatWasReadBeforeTheFailure) {
    // A format other than PCM: ChunkSize and the format name in red, nothing after it.
    WavLayout s;
    s.data = {0, 0, 0, 0};
    s.audioFormat = 3;
    HeaderView view = ViewAfterLoad(BuildWav(s), "float.wav");
    EXPECT_EQ(view[wav::kRowFileName].value, "float.wav");
    EXPECT_EQ(view[wav::kRowFileSize].value, "48");
    EXPECT_EQ(view[wav::kRowChunkSize].value, "40");
    EXPECT_EQ(view[wav::kRowAudioFormat].value, "IEEE_FLOAT");
    EXPECT_TRUE(view[wav::kRowAudioFormat].red);
    EXPECT_EQ(view[wav::kRowNumChannels].value, "0");
    EXPECT_EQ(view[wav::kRowDataLength].value, "0");

    s.audioFormat = 0xFFFE;
    view = ViewAfterLoad(BuildWav(s));
    EXPECT_EQ(view[wav::kRowAudioFormat].value, "UNKNOWN");
    EXPECT_TRUE(view[wav::kRowAudioFormat].red);

    // A wrong signature: only the file's size and name.
    s.audioFormat = 1;
    s.formatExtra = {0, 0};
    view = ViewAfterLoad(BuildWav(s));
    EXPECT_EQ(view[wav::kRowFileSize].value, "50");
    EXPECT_EQ(view[wav::kRowChunkSize].value, "0");
    EXPECT_EQ(view[wav::kRowAudioFormat].value, "UnKnow");

    // A file that was not read changes nothing.
    HeaderView untouched = wav::DefaultHeaderView();
    wav::ShowLoad(untouched, wav::LoadResult{}, wav::HeaderCheck{});
    EXPECT_EQ(Lines(untouched), Lines(wav::DefaultHeaderView()));
}

TEST(BankList, OneItemPerStartedBankPlusOne) {
    EXPECT_EQ(wav::BankCount(0), 1u);
    EXPECT_EQ(wav::BankCount(255), 1u);
    EXPECT_EQ(wav::BankCount(511), 2u);
    EXPECT_EQ(wav::BankCount(512), 3u); // the last starts at the end of the file
    EXPECT_EQ(wav::BankItemText(0), "00000000-0");
    EXPECT_EQ(wav::BankItemText(1), "00000100-1");
    EXPECT_EQ(wav::BankItemText(2), "00000200-2");
    EXPECT_EQ(wav::BankItemText(0x1234), "00123400-4660");
}

TEST(DataGrid, TitlesCountTheRowsAndColumnsOfABank) {
    const wav::DataGrid grid = wav::DataGridTitles();
    EXPECT_EQ(grid[0][0], "");
    EXPECT_EQ(grid[0][1], "00");
    EXPECT_EQ(grid[0][16], "0F");
    EXPECT_EQ(grid[0][17], "ASCII");
    EXPECT_EQ(grid[1][0], "00");
    EXPECT_EQ(grid[10][0], "09");
    EXPECT_EQ(grid[16][0], "0F");
    for (int r = 1; r < wav::kDataGridRows; ++r)
        for (int c = 1; c < wav::kDataGridColumns; ++c)
            EXPECT_EQ(grid[r][c], "");
}

TEST(DataGrid, BankBytesInHexAndAsText) {
    Bytes image(300);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i);
    image[256] = 0x7F;
    image[257] = 0x80;
    image[258] = 0x1F;
    image[259] = 0x20;
    image[260] = 'A';
    image[261] = 0xFF;

    wav::DataGrid grid = wav::DataGridOf(image, 0);
    EXPECT_EQ(grid[1][1], "00");
    EXPECT_EQ(grid[1][16], "0F");
    EXPECT_EQ(grid[3][2], "21");
    EXPECT_EQ(grid[16][16], "FF");
    EXPECT_EQ(grid[1][17], "................");
    EXPECT_EQ(grid[3][17], " !\"#$%&'()*+,-./");
    EXPECT_EQ(grid[8][17], std::string("pqrstuvwxyz{|}~\x7F"));
    EXPECT_EQ(grid[9][17], "................");
    EXPECT_EQ(grid[0][17], "ASCII");

    // The last bank runs past the end: 44 bytes, the rest of its cells empty.
    grid = wav::DataGridOf(image, 1);
    EXPECT_EQ(grid[1][1], "7F");
    EXPECT_EQ(grid[1][2], "80");
    EXPECT_EQ(grid[1][3], "1F");
    EXPECT_EQ(grid[1][17], std::string("\x7F") + ".. A." + std::string(10, '.'));
    EXPECT_EQ(grid[2][17], std::string(16, '.'));
    EXPECT_EQ(grid[3][12], "2B"); // byte 299
    EXPECT_EQ(grid[3][13], "");
    EXPECT_EQ(grid[3][17], " !\"#$%&'()*+");
    EXPECT_EQ(grid[4][1], "");
    EXPECT_EQ(grid[16][17], "");

    // A bank past the end, left over from a larger file.
    grid = wav::DataGridOf(image, 5);
    EXPECT_EQ(grid, wav::DataGridTitles());
    grid = wav::DataGridOf({}, 0);
    EXPECT_EQ(grid, wav::DataGridTitles());
}

} // namespace
