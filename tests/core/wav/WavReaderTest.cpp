#include "wav/WavReader.h"

#include "base/FileProblem.h"
#include "base/Path.h"
#include "support/BmpBuilder.h"
#include "support/WavBuilder.h"
#include "wav/WavState.h"
#include "wav/WaveFormatNames.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using testsupport::BuildWav;
using testsupport::WavLayout;
using wav::Channel;
using wav::CheckWavHeader;
using wav::HeaderReach;
using Bytes = std::vector<std::uint8_t>;
using Words = std::vector<std::uint16_t>;

TEST(WaveFormatNames, TableMatchesTheRegistry) {
    const auto names = wav::WaveFormatNames();
    ASSERT_EQ(names.size(), 149u);
    for (size_t i = 1; i < names.size(); ++i)
        EXPECT_LT(names[i - 1].tag, names[i].tag) << names[i].name;
    struct Case {
        std::uint16_t tag;
        const char* name;
    };
    for (const Case c : {Case{0x0001, "PCM"},
                         {0x0002, "ADPCM"},
                         {0x0003, "IEEE_FLOAT"},
                         {0x0011, "DVI_ADPCM"},
                         {0x0055, "MPEGLAYER3"},
                         {0x00FF, "RAW_AAC1"},
                         {0x1610, "MPEG_HEAAC"},
                         {0x2000, "DVM"},
                         {0x2001, "DTS2"},
                         {0x0000, "UNKNOWN"},
                         {0xFFFE, "UNKNOWN"},
                         {0x000C, "UNKNOWN"},
                         {0x2002, "UNKNOWN"}})
        EXPECT_STREQ(wav::WaveFormatNameOf(c.tag), c.name) << c.tag;
    EXPECT_STREQ(names.front().name, "PCM");
    EXPECT_STREQ(names.back().name, "DTS2");
}

WavLayout Canonical16Stereo() {
    WavLayout s;
    s.channels = 2;
    s.bits = 16;
    s.sampleRate = 44100;
    // Frames (L, R): (1, -1), (0x7FFF, -32768), (0x1234, 0x0100)
    s.data = testsupport::Le16Bytes({0x0001, 0xFFFF, 0x7FFF, 0x8000, 0x1234, 0x0100});
    return s;
}

TEST(CheckWavHeader, CanonicalStereoFileIsAcceptedWithEveryField) {
    const Bytes image = BuildWav(Canonical16Stereo());
    ASSERT_EQ(image.size(), 44u + 12u);
    const auto check = CheckWavHeader(image);
    EXPECT_TRUE(check.accepted) << check.reason;
    EXPECT_EQ(check.reach, HeaderReach::DataLength);
    EXPECT_EQ(check.header.ChunkSize, 48);
    EXPECT_EQ(check.header.AudioFormat, 1);
    EXPECT_EQ(check.header.NumChannels, 2);
    EXPECT_EQ(check.header.SampleRate, 44100u);
    EXPECT_EQ(check.header.ByteRate, 176400u);
    EXPECT_EQ(check.header.BlockAlign, 4);
    EXPECT_EQ(check.header.BitsPerSample, 16);
    EXPECT_EQ(check.header.DataLength, 12u);
    EXPECT_EQ(check.dataBytes, 12u);
    EXPECT_TRUE(check.reason.empty());
    EXPECT_EQ(wav::SampleCountOf(check), 3u); // DataLength / 4

    // Word i comes from the first two bytes of frame i, its top bit inverted.
    EXPECT_EQ(wav::PrepareSamples(image, check, Channel::Left), (Words{0x8001, 0xFFFF, 0x9234}));
    EXPECT_EQ(wav::PrepareSamples(image, check, Channel::Right), (Words{0x7FFF, 0x0000, 0x8100}));
}

TEST(CheckWavHeader, RefusedFilesTellHowFarTheCheckGotAndWhy) {
    struct Case {
        const char* name;
        std::function<void(WavLayout&)> change;
        size_t cutTo; // 0: the whole file
        HeaderReach reach;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"RIFX", [](WavLayout& s) { s.riff = "RIFX"; }, 0, HeaderReach::None, "\"RIFF\" is not at offset 0"},
        {"WAVE", [](WavLayout& s) { s.wave = "AVI "; }, 0, HeaderReach::None, "\"WAVE\" is not at offset 8"},
        {"fmt", [](WavLayout& s) { s.fmt = "fmx "; }, 0, HeaderReach::None, "\"fmt\" is not at offset 12"},
        // The reason names what moved the data: the chunk that stands in its place, or a longer format chunk.
        {"data", [](WavLayout& s) { s.dataId = "dat "; }, 0, HeaderReach::None,
         "\"data\" is not at offset 36, where a \"dat \" chunk of 4 bytes stands;"},
        {"format chunk of 18 bytes",
         [](WavLayout& s) {
             s.formatExtra = {0, 0};
         },
         0, HeaderReach::None, "\"data\" is not at offset 36: the format chunk holds 18 bytes, not 16;"},
        {"LIST chunk before the data",
         [](WavLayout& s) {
             s.chunkBeforeData = testsupport::Chunk("LIST", {'I', 'N', 'F', 'O'});
         },
         0, HeaderReach::None, "\"data\" is not at offset 36, where a \"LIST\" chunk of 4 bytes stands;"},
        {"a nameless chunk before the data",
         [](WavLayout& s) { s.chunkBeforeData = testsupport::Chunk(std::string("\0\1\2\3", 4), {}); }, 0,
         HeaderReach::None, "\"data\" is not at offset 36, where a chunk with an unreadable name stands;"},
        {"cut right after the chunk's name",
         [](WavLayout& s) { s.chunkBeforeData = testsupport::Chunk("JUNK", {}); }, 42, HeaderReach::None,
         "\"data\" is not at offset 36, where a \"JUNK\" chunk stands;"},
        {"IEEE float", [](WavLayout& s) { s.audioFormat = 3; }, 0, HeaderReach::Format,
         "AudioFormat is 0x0003 (IEEE_FLOAT), not 0x0001 (PCM)"},
        {"extensible", [](WavLayout& s) { s.audioFormat = 0xFFFE; }, 0, HeaderReach::Format,
         "AudioFormat is 0xFFFE (UNKNOWN)"},
        {"SampleRate 0", [](WavLayout& s) { s.sampleRate = 0; }, 0, HeaderReach::DataLength,
         "SampleRate is 0 Hz, below the 1000 Hz Tavix takes"},
        // 1 Hz resampled to 16000 Hz would turn 60 KB into 1.9 GB.
        {"SampleRate 1", [](WavLayout& s) { s.sampleRate = 1; }, 0, HeaderReach::DataLength,
         "SampleRate is 1 Hz, below the 1000 Hz Tavix takes"},
        {"SampleRate 999", [](WavLayout& s) { s.sampleRate = 999; }, 0, HeaderReach::DataLength,
         "SampleRate is 999 Hz, below the 1000 Hz Tavix takes"},
        {"24 bits", [](WavLayout& s) { s.bits = 24; }, 0, HeaderReach::DataLength,
         "BitsPerSample is 24, not 8 or 16"},
        {"6 channels", [](WavLayout& s) { s.channels = 6; }, 0, HeaderReach::DataLength,
         "NumChannels is 6, not 1 or 2"},
        {"0 channels", [](WavLayout& s) { s.channels = 0; }, 0, HeaderReach::DataLength,
         "NumChannels is 0, not 1 or 2"},
        {"cut inside DataLength", [](WavLayout&) {}, 43, HeaderReach::Fields,
         "the file holds 43 bytes, fewer than the 44 of the header"},
        {"cut inside \"data\"", [](WavLayout&) {}, 39, HeaderReach::None, "the file holds 39 bytes"},
        {"empty", [](WavLayout&) {}, 0xFFFF, HeaderReach::None, "the file holds 0 bytes"},
        {"cut after RIFF's size", [](WavLayout&) {}, 6, HeaderReach::None, "the file holds 6 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WavLayout s;
        s.data = {1, 2, 3, 4};
        c.change(s);
        Bytes image = BuildWav(s);
        if (c.cutTo == 0xFFFF)
            image.clear();
        else if (c.cutTo != 0)
            image.resize(c.cutTo);
        const auto check = CheckWavHeader(image);
        EXPECT_FALSE(check.accepted);
        EXPECT_EQ(check.reach, c.reach);
        EXPECT_EQ(check.reason.find(c.reason), 0u) << check.reason;
        EXPECT_NE(check.reason.find("canonical PCM WAV files with a 44-byte header"), std::string::npos);
        EXPECT_EQ(check.reason.find('\n'), std::string::npos);
        EXPECT_TRUE(wav::PrepareSamples(image, check, Channel::Left).empty());
        EXPECT_EQ(wav::SampleCountOf(check), 0u);
        if (c.reach >= HeaderReach::Format) {
            EXPECT_EQ(check.header.AudioFormat, s.audioFormat);
            EXPECT_EQ(check.header.ChunkSize, static_cast<std::int32_t>(BuildWav(s).size() - 8));
        }
        if (c.reach >= HeaderReach::Fields) {
            EXPECT_EQ(check.header.BitsPerSample, s.bits);
        }
        if (c.reach == HeaderReach::Fields) {
            EXPECT_EQ(check.header.DataLength, 0u);
        }
    }
}

TEST(CheckWavHeader, TheLowestRateTakenIs1000Hz) {
    WavLayout s;
    s.sampleRate = 1000;
    s.data = {1, 2};
    EXPECT_TRUE(CheckWavHeader(BuildWav(s)).accepted);
}

TEST(CheckWavHeader, TheByteAfterFmtIsNotExamined) {
    WavLayout s;
    s.fmt = "fmtX";
    s.data = {0, 0};
    EXPECT_TRUE(CheckWavHeader(BuildWav(s)).accepted);
}

TEST(CheckWavHeader, DataLengthBeyondTheFileIsClipped) {
    WavLayout s;
    s.bits = 8;
    s.data = {0x10, 0x20, 0x30};
    s.dataLength = 1000;
    const Bytes image = BuildWav(s);
    const auto check = CheckWavHeader(image);
    ASSERT_TRUE(check.accepted);
    EXPECT_EQ(check.header.DataLength, 1000u);
    EXPECT_EQ(check.dataBytes, 3u);
    EXPECT_EQ(wav::PrepareSamples(image, check, Channel::Left), (Words{0x1000, 0x2000, 0x3000}));

    // A DataLength shorter than the bytes present takes only that many.
    s.dataLength = 2;
    const Bytes shorter = BuildWav(s);
    EXPECT_EQ(wav::PrepareSamples(shorter, CheckWavHeader(shorter), Channel::Left), (Words{0x1000, 0x2000}));
}

TEST(PrepareSamples, EachLayoutGivesItsWords) {
    struct Case {
        const char* name;
        std::uint16_t bits;
        std::uint16_t channels;
        Bytes data;
        Words left;
        Words right;
    };
    const std::vector<Case> cases = {
        // An 8-bit sample becomes its value times 256.
        {"8-bit mono",
         8,
         1,
         {0x7F, 0x00, 0x80, 0xFF},
         {0x7F00, 0x0000, 0x8000, 0xFF00},
         {0x7F00, 0x0000, 0x8000, 0xFF00}},
        // DataLength / 2 frames, the odd byte left over.
        {"8-bit stereo", 8, 2, {0x01, 0x02, 0x03, 0x04, 0x05}, {0x0100, 0x0300}, {0x0200, 0x0400}},
        // Two's complement to offset binary: 0 is 0x8000, -1 is 0x7FFF, the extremes 0x0000 and 0xFFFF.
        {"16-bit mono",
         16,
         1,
         {0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x80, 0x34, 0x12, 0x99},
         {0x8000, 0x7FFF, 0xFFFF, 0x0000, 0x9234},
         {0x8000, 0x7FFF, 0xFFFF, 0x0000, 0x9234}},
        {"16-bit stereo with a broken frame",
         16,
         2,
         {0x00, 0x00, 0x01, 0x00, 0x02, 0x00},
         {0x8000},
         {0x8001}},
        {"no data", 16, 2, {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WavLayout s;
        s.bits = c.bits;
        s.channels = c.channels;
        s.data = c.data;
        const Bytes image = BuildWav(s);
        const auto check = CheckWavHeader(image);
        ASSERT_TRUE(check.accepted);
        EXPECT_EQ(wav::SampleCountOf(check), c.left.size());
        EXPECT_EQ(wav::PrepareSamples(image, check, Channel::Left), c.left);
        EXPECT_EQ(wav::PrepareSamples(image, check, Channel::Right), c.right);
    }
}

TEST(BypassPathOf, ReplacesTheExtensionAndNeverNamesTheWavFile) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\snd\\beep.wav", "C:\\snd\\beep.bin"},
        {"/snd/tone.WAV", "/snd/tone.bin"},
        {"/snd/tone.wave", "/snd/tone.bin"},
        {"/snd/take.2.wav", "/snd/take.2.bin"},
        {"/snd/noext", "/snd/noext.bin"},
        {"/snd.d/noext", "/snd.d/noext.bin"},
        {"/snd/raw.bin", "/snd/raw.bin.bin"},
        {"/snd/raw.BIN", "/snd/raw.BIN.bin"},
        {"tone.wav", "tone.bin"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(wav::BypassPathOf(in), out) << in;
}

Bytes Image(const wav::WavState& state) {
    const auto bytes = state.WavImage.Bytes();
    return Bytes(bytes.begin(), bytes.end());
}

class LoadWavFile : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const WavLayout& s) {
        const std::string path = dir / name;
        testsupport::WriteFile(path, BuildWav(s));
        return path;
    }
    testsupport::TempDir dir;
    wav::WavState state;
};

TEST_F(LoadWavFile, AcceptedFileIsHeldWithItsLeftChannelAndBypassFile) {
    WavLayout s;
    s.bits = 8;
    s.channels = 2;
    s.data = {0x11, 0x22, 0x33, 0x44, 0x55};
    const std::string path = Write("tone.wav", s);

    auto result = wav::LoadWavFile(state, path, {});
    EXPECT_FALSE(result.failure);
    EXPECT_TRUE(result.fileRead);
    EXPECT_EQ(result.fileSize, 49u);
    EXPECT_EQ(result.fileName, "tone.wav");
    EXPECT_FALSE(result.bypassFile);
    EXPECT_FALSE(base::FileExists(dir / "tone.bin")) << "unticked: no bypass file";
    EXPECT_TRUE(state.imageHeld);
    EXPECT_EQ(Image(state), BuildWav(s));
    EXPECT_TRUE(state.check.accepted);
    EXPECT_EQ(wav::PrepareSamples(state.WavImage.Bytes(), state.check, Channel::Left),
              (Words{0x1100, 0x3300}));

    result = wav::LoadWavFile(state, path, {.writeBypass = true});
    EXPECT_FALSE(result.failure);
    EXPECT_EQ(result.bypassFile, dir / "tone.bin");
    EXPECT_FALSE(result.bypassFailure);
    // The data bytes unchanged, whatever the layout: DataLength bytes from offset 44.
    EXPECT_EQ(testsupport::ReadFile(dir / "tone.bin"), (Bytes{0x11, 0x22, 0x33, 0x44, 0x55}));
}

TEST_F(LoadWavFile, MappedFileGivesTheSameImage) {
    WavLayout s;
    s.data = {1, 2, 3, 4, 5, 6};
    const std::string path = Write("m.wav", s);
    const auto result = wav::LoadWavFile(state, path, {.writeBypass = false, .mapFile = true});
    EXPECT_FALSE(result.failure);
    EXPECT_EQ(Image(state), BuildWav(s));
    EXPECT_EQ(state.check.dataBytes, 6u);

    testsupport::WriteFile(dir / "empty.wav", {});
    for (bool map : {false, true}) {
        const auto empty = wav::LoadWavFile(state, dir / "empty.wav", {.writeBypass = false, .mapFile = map});
        EXPECT_EQ(empty.failure, "Analyze File Error!!!");
        EXPECT_TRUE(empty.fileRead);
        EXPECT_EQ(empty.fileSize, 0u);
        EXPECT_TRUE(state.imageHeld);
        EXPECT_TRUE(state.WavImage.empty());
    }
}

TEST_F(LoadWavFile, BypassFileThatCannotBeWrittenIsReportedAndTheLoadStands) {
    WavLayout s;
    s.data = {1, 2};
    const std::string path = Write("tone.wav", s);
    std::filesystem::create_directory(dir / "tone.bin"); // a directory stands where the file would go
    const auto result = wav::LoadWavFile(state, path, {.writeBypass = true});
    EXPECT_FALSE(result.failure);
    EXPECT_EQ(result.bypassFailure, "Save File Error!!!");
    EXPECT_EQ(base::DetailLines(result.bypassDetail), "cannot write " + (dir / "tone.bin") + ": Is a directory\n");
    EXPECT_TRUE(state.check.accepted);

    // A bypass name that is the WAV file itself under another name (a hard link) is refused: the load's
    // own file stays whole.
    std::filesystem::remove(dir / "tone.bin");
    ASSERT_EQ(::link(path.c_str(), (dir / "tone.bin").c_str()), 0);
    const Bytes wavBytes = testsupport::ReadFile(path);
    const auto linked = wav::LoadWavFile(state, path, {.writeBypass = true});
    EXPECT_FALSE(linked.failure);
    EXPECT_EQ(linked.bypassFailure, "Save File Error!!!");
    EXPECT_EQ(base::DetailLines(linked.bypassDetail), "the output " + (dir / "tone.bin") + " is the input\n");
    EXPECT_EQ(testsupport::ReadFile(path), wavBytes);
}

TEST_F(LoadWavFile, MissingFileChangesNothing) {
    WavLayout s;
    s.data = {1, 2, 3, 4};
    ASSERT_FALSE(wav::LoadWavFile(state, Write("a.wav", s), {}).failure);
    state.ResampleBuffer = {1, 2, 3};
    state.resultHeld = true;
    const Bytes before = Image(state);

    const struct {
        std::string path;
        std::string detail;
    } cases[] = {
        {dir / "none.wav", (dir / "none.wav") + ": No such file or directory\n"},
        {dir.path(), dir.path() + " is not a regular file\n"},
    };
    for (const auto& [path, detail] : cases) {
        const auto result = wav::LoadWavFile(state, path, {.writeBypass = true});
        EXPECT_EQ(result.failure, "Open File Error!!!");
        EXPECT_EQ(base::DetailLines(result.detail), detail);
        EXPECT_FALSE(result.fileRead);
        EXPECT_EQ(Image(state), before);
        EXPECT_TRUE(state.resultHeld);
    }
    EXPECT_FALSE(base::FileExists(dir / "none.bin"));
}

TEST_F(LoadWavFile, RefusedFileKeepsItsImageAndReleasesTheRest) {
    WavLayout good;
    good.data = {1, 2, 3, 4};
    ASSERT_FALSE(wav::LoadWavFile(state, Write("a.wav", good), {}).failure);
    state.ResampleBuffer = {1, 2, 3};
    state.resultHeld = true;

    WavLayout bad;
    bad.audioFormat = 3;
    bad.data = {0, 0, 0x80, 0x3F};
    const std::string path = Write("float.wav", bad);
    const auto result = wav::LoadWavFile(state, path, {.writeBypass = true});
    EXPECT_EQ(result.failure, "Analyze File Error!!!");
    EXPECT_EQ(base::DetailLines(result.detail), path + ": " + state.check.reason + "\n");
    EXPECT_TRUE(result.fileRead);
    EXPECT_EQ(result.fileSize, 48u);
    EXPECT_EQ(result.fileName, "float.wav");
    EXPECT_TRUE(state.imageHeld);
    EXPECT_EQ(Image(state), BuildWav(bad));
    EXPECT_EQ(state.check.reach, HeaderReach::Format);
    EXPECT_FALSE(state.resultHeld);
    EXPECT_TRUE(state.ResampleBuffer.empty());
    EXPECT_FALSE(base::FileExists(dir / "float.bin"));
}

} // namespace
