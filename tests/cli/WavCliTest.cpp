#include "cli/Cli.h"
#include "cli/CliRun.h"
#include "cli/WavCommand.h"
#include "wav/Resampler.h"

#include "base/Path.h"
#include "support/BmpBuilder.h"
#include "support/WavBuilder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

using clitest::Result;
using clitest::RunCli;
using clitest::RunProcess;

using testsupport::BuildWav;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WavLayout;
using Bytes = std::vector<std::uint8_t>;

TEST(WavCli, ParsesEachAction) {
    const cli::WavJob info = cli::ParseWavArgs({"info", "a.wav"});
    EXPECT_EQ(info.action, cli::WavJob::Action::Info);
    EXPECT_EQ(info.input, "a.wav");
    EXPECT_FALSE(info.bank);
    EXPECT_EQ(cli::ParseWavArgs({"info", "--bank", "3", "a.wav"}).bank, 3u);

    const cli::WavJob defaults = cli::ParseWavArgs({"resample", "a.wav", "o.bin"});
    EXPECT_EQ(defaults.action, cli::WavJob::Action::Resample);
    EXPECT_EQ(defaults.output, "o.bin");
    EXPECT_EQ(defaults.rate, 8000u);
    EXPECT_EQ(defaults.width, wav::SampleWidth::Bits8);
    EXPECT_EQ(defaults.channel, wav::Channel::Left);
    EXPECT_EQ(defaults.sign, wav::Sign::OffsetBinary);

    const cli::WavJob all = cli::ParseWavArgs(
        {"resample", "--rate", "16000", "a.wav", "--bits", "16", "--channel", "right", "--signed", "o.bin"});
    EXPECT_EQ(all.input, "a.wav");
    EXPECT_EQ(all.output, "o.bin");
    EXPECT_EQ(all.rate, 16000u);
    EXPECT_EQ(all.width, wav::SampleWidth::Bits16);
    EXPECT_EQ(all.channel, wav::Channel::Right);
    EXPECT_EQ(all.sign, wav::Sign::TwosComplement);
    EXPECT_FALSE(all.lowPass);
    EXPECT_TRUE(cli::ParseWavArgs({"resample", "a.wav", "o.bin", "--filter"}).lowPass);

    const cli::WavJob strip = cli::ParseWavArgs({"strip", "a.wav", "a.bin"});
    EXPECT_EQ(strip.action, cli::WavJob::Action::Strip);
    EXPECT_EQ(strip.output, "a.bin");

    const std::vector<std::vector<std::string>> bad = {
        {},
        {"play", "a.wav"},
        {"info"},
        {"info", "a.wav", "b.wav"},
        {"info", "a.wav", "--bank", "-1"},
        {"info", "a.wav", "--bank"},
        {"info", "a.wav", "--rate", "8000"},
        {"resample", "a.wav"},
        {"resample", "a.wav", "o", "p"},
        {"resample", "a.wav", "o", "--rate", "44100"},
        {"resample", "a.wav", "o", "--bits", "24"},
        {"resample", "a.wav", "o", "--channel", "centre"},
        {"resample", "a.wav", "o", "--signed"},
        {"resample", "a.wav", "o", "--bank", "0"},
        {"strip", "a.wav"},
        {"strip", "a.wav", "o", "--bits", "8"},
        {"strip", "a.wav", "o", "--filter"},
        {"info", "a.wav", "--filter"},
    };
    for (const auto& args : bad)
        EXPECT_THROW(cli::ParseWavArgs(args), cli::UsageError) << ::testing::PrintToString(args);
}

TEST(WavCli, InfoPrintsTheHeaderRowsAndABank) {
    TempDir dir;
    WavLayout s;
    s.sampleRate = 48000;
    s.data = {'H', 'i', 0x00, 0x7F, 0x80, 0x1F};
    testsupport::WriteFile(dir / "tone.wav", BuildWav(s));
    auto r = RunCli({"wav", "info", dir / "tone.wav"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "FileName: tone.wav\n"
                     "FileSize: 50\n"
                     "AudioFormat: PCM\n"
                     "ChunkSize: 42\n"
                     "NumChannels: 1-Mono\n"
                     "SampleRate: 48000 Hz\n"
                     "ByteRate: 96000 Hz\n"
                     "BlockAlign: 2\n"
                     "BitsPerSample : 16 Bits\n"
                     "DataLength: 6\n");

    r = RunCli({"wav", "info", dir / "tone.wav", "--bank", "0"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 10 + 17);
    EXPECT_NE(r.out.find("\t00\t01\t02\t03\t04\t05\t06\t07\t08\t09\t0A\t0B\t0C\t0D\t0E\t0F\tASCII\n"),
              std::string::npos);
    EXPECT_NE(
        r.out.find("00\t52\t49\t46\t46\t2A\t00\t00\t00\t57\t41\t56\t45\t66\t6D\t74\t20\tRIFF*...WAVEfmt \n"),
        std::string::npos)
        << r.out;
    EXPECT_NE(
        r.out.find(
            "\n02\t02\t00\t10\t00\t64\t61\t74\t61\t06\t00\t00\t00\t48\t69\t00\t7F\t....data....Hi.\x7F\n"),
        std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\n03\t80\t1F" + std::string(15, '\t') + "..\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n0F" + std::string(17, '\t') + "\n"), std::string::npos);

    r = RunCli({"wav", "info", dir / "tone.wav", "--bank", "1"}); // the bank at the end of a 50-byte file
    EXPECT_EQ(r.code, 2);
}

TEST(WavCli, RefusedFilesFailWithTheWindowsMessageAndTheReason) {
    TempDir dir;
    WavLayout s;
    s.audioFormat = 3;
    s.data = {0, 0, 0, 0};
    testsupport::WriteFile(dir / "float.wav", BuildWav(s));
    s.audioFormat = 1;
    s.chunkBeforeData = testsupport::Chunk("LIST", {'I', 'N', 'F', 'O'});
    testsupport::WriteFile(dir / "list.wav", BuildWav(s));

    auto r = RunCli({"wav", "info", dir / "float.wav"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("AudioFormat: IEEE_FLOAT\nChunkSize: 40\nNumChannels: 0\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(r.err, "Analyze File Error!!!\n" + dir / "float.wav" +
                         ": AudioFormat is 0x0003 (IEEE_FLOAT), not 0x0001 (PCM); Tavix takes "
                         "canonical PCM WAV files with a 44-byte header, 8 or 16 bits, mono or stereo\n");

    for (const char* action : {"resample", "strip"}) {
        SCOPED_TRACE(action);
        r = RunCli({"wav", action, dir / "list.wav", dir / "out.bin"});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(
            r.err.rfind("Analyze File Error!!!\n" + dir / "list.wav" + ": \"data\" is not at offset 36", 0),
            0u)
            << r.err;
        EXPECT_NE(r.err.find("canonical PCM WAV files with a 44-byte header"), std::string::npos);
        EXPECT_FALSE(base::FileExists(dir / "out.bin"));
    }

    r = RunCli({"wav", "info", dir / "none.wav"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("Open File Error!!!\n", 0), 0u);
}

TEST(WavCli, ResampleWritesTheSavedFileAtEitherWidth) {
    TempDir dir;
    WavLayout s;
    s.bits = 8;
    s.sampleRate = 16000;
    s.data.resize(2001);
    for (size_t j = 0; j < s.data.size(); ++j)
        s.data[j] = static_cast<std::uint8_t>(j * 5);
    testsupport::WriteFile(dir / "byte.wav", BuildWav(s));

    auto r = RunCli({"wav", "resample", dir / "byte.wav", dir / "o8.bin"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "RESample_Length : 0x000003F0-00001008\n"); // 1000 samples and 8 padding bytes
    const Bytes o8 = ReadFile(dir / "o8.bin");
    ASSERT_EQ(o8.size(), 1008u);
    for (size_t i = 0; i < 1000; ++i)
        ASSERT_EQ(o8[i], (s.data[2 * i] + s.data[2 * i + 1]) / 2) << i;
    EXPECT_EQ(Bytes(o8.begin() + 1000, o8.end()), Bytes(8, 0x80));

    r = RunCli({"wav", "resample", dir / "byte.wav", dir / "o16.bin", "--bits", "16"});
    EXPECT_EQ(r.out, "RESample_Length : 0x000007E0-00002016\n");
    const Bytes o16 = ReadFile(dir / "o16.bin");
    ASSERT_EQ(o16.size(), 2016u);
    // Samples 0 and 5: 0 / 2 + 0x0500 / 2 = 0x0280; the padding 0x8000.
    EXPECT_EQ(o16[0], 0x80);
    EXPECT_EQ(o16[1], 0x02);
    EXPECT_EQ(o16[2014], 0x00);
    EXPECT_EQ(o16[2015], 0x80);

    r = RunCli({"wav", "resample", dir / "byte.wav", dir / "s16.bin", "--bits", "16", "--signed"});
    const Bytes s16 = ReadFile(dir / "s16.bin");
    ASSERT_EQ(s16.size(), 2016u);
    EXPECT_EQ(s16[1], 0x82);
    EXPECT_EQ(s16[2015], 0x00);

    r = RunCli({"wav", "resample", dir / "byte.wav", dir / "o.bin", "--channel", "right"});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(base::FileExists(dir / "o.bin"));

    r = RunCli({"wav", "resample", dir / "byte.wav", dir / "no/such/dir/o.bin"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("Save File Error!!!\n", 0), 0u);
}

TEST(WavCli, ResampleTakesTheChosenChannelAndRate) {
    TempDir dir;
    WavLayout s;
    s.channels = 2;
    std::vector<std::uint16_t> frames;
    for (int i = 0; i < 2001; ++i) {
        frames.push_back(static_cast<std::uint16_t>(0x1000 + i)); // left, as working samples
        frames.push_back(static_cast<std::uint16_t>(0xF000 - i)); // right
    }
    s.data = testsupport::Pcm16ForWorking(frames);
    testsupport::WriteFile(dir / "st.wav", BuildWav(s));

    auto r = RunCli({"wav", "resample", dir / "st.wav", dir / "r.bin", "--channel", "right", "--rate",
                     "16000", "--bits", "16"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "RESample_Length : 0x00001F54-00008020\n"); // 4002 samples: 2 x 4002 + 16 bytes
    const Bytes out = ReadFile(dir / "r.bin");
    ASSERT_EQ(out.size(), 8020u);
    // 8000 to 16000 from 0xF000, 0xEFFF, ...: S[0], S[0], S[0], S[0] / 2 + S[1] / 2, S[1]
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 10),
              (Bytes{0x00, 0xF0, 0x00, 0xF0, 0x00, 0xF0, 0xFF, 0xEF, 0xFF, 0xEF}));
}

// --filter resamples the filtered samples and rounds 8-bit ones: the core's filtered result, each word
// rounded to its nearest 8-bit level; 16 bits are the words themselves.
TEST(WavCli, ResampleWithFilterWritesTheFilteredRoundedSamples) {
    TempDir dir;
    WavLayout s;
    s.sampleRate = 44100;
    std::vector<std::uint16_t> working(20000);
    for (std::size_t i = 0; i < working.size(); ++i)
        working[i] = static_cast<std::uint16_t>(0x8000 + ((i * 2654435761u) >> 20) % 20000 - 10000);
    s.data = testsupport::Pcm16ForWorking(working);
    testsupport::WriteFile(dir / "in.wav", BuildWav(s));
    const wav::ResampleResult expected = wav::Resample(working, 44100, 8000, true);

    auto r = RunCli({"wav", "resample", dir / "in.wav", dir / "o8.bin", "--filter"});
    ASSERT_EQ(r.code, 0) << r.err;
    Bytes eight;
    for (std::uint16_t w : expected.words)
        eight.push_back(static_cast<std::uint8_t>(std::min(255, (w + 0x80) >> 8)));
    EXPECT_EQ(ReadFile(dir / "o8.bin"), eight);
    r = RunCli({"wav", "resample", dir / "in.wav", dir / "o16.bin", "--filter", "--bits", "16"});
    ASSERT_EQ(r.code, 0) << r.err;
    Bytes sixteen;
    for (std::uint16_t w : expected.words) {
        sixteen.push_back(static_cast<std::uint8_t>(w & 0xFF));
        sixteen.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    EXPECT_EQ(ReadFile(dir / "o16.bin"), sixteen);
    // Without it, the plain interpolation and the high bytes.
    r = RunCli({"wav", "resample", dir / "in.wav", dir / "plain.bin"});
    ASSERT_EQ(r.code, 0) << r.err;
    Bytes plain;
    for (std::uint16_t w : wav::Resample(working, 44100, 8000).words)
        plain.push_back(static_cast<std::uint8_t>(w >> 8));
    EXPECT_EQ(ReadFile(dir / "plain.bin"), plain);
}

TEST(WavCli, StripWritesTheDataBytes) {
    TempDir dir;
    WavLayout s;
    s.channels = 2;
    s.bits = 8;
    s.data = {1, 2, 3, 4, 5};
    s.dataLength = 100; // clipped to the 5 bytes present
    testsupport::WriteFile(dir / "a.wav", BuildWav(s));
    const auto r = RunCli({"wav", "strip", dir / "a.wav", dir / "a.raw"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadFile(dir / "a.raw"), (Bytes{1, 2, 3, 4, 5}));
}

TEST(WavCli, ExitCodesOfTheProcess) {
    TempDir dir;
    WavLayout s;
    s.data = {0, 0};
    testsupport::WriteFile(dir / "a.wav", BuildWav(s));
    struct Case {
        std::string args;
        int code;
    };
    const Case cases[] = {
        {"wav info " + dir / "a.wav", 0},
        {"wav info " + dir / "none.wav", 1},
        {"wav resample " + dir / "a.wav" + " " + dir / "o.bin", 0},
        {"wav", 2},
        {"wav resample " + dir / "a.wav", 2},
    };
    for (const Case& c : cases) {
        const std::string cmd =
            std::string(TAVIX_CLI_PATH) + " " + c.args + " >" + (dir / "out") + " 2>" + (dir / "err");
        const int status = std::system(cmd.c_str());
        EXPECT_EQ(WEXITSTATUS(status), c.code) << c.args << ": " << testsupport::ReadText(dir / "err");
    }
    EXPECT_EQ(ReadFile(dir / "o.bin").size(), 1u + 8u);
}

} // namespace
