// Writes the pictures and the sound of the example project beside its tavix.toml: logo01.bmp to
// logo03.bmp, an 8-bit picture sequence of 32 x 16 pixels with a square that moves right, and tone.wav,
// a quarter of a second of a 16-bit mono triangle wave at 16000 Hz.
#include "base/LittleEndian.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

bool Save(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "make-example-assets: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

std::vector<std::uint8_t> Logo(int frame) {
    constexpr int kWidth = 32, kHeight = 16, kColours = 4;
    const std::uint8_t palette[kColours][3] = {
        {0x00, 0x00, 0x00}, {0x20, 0x40, 0x80}, {0xFF, 0xC0, 0x20}, {0xFF, 0xFF, 0xFF}};
    std::vector<std::uint8_t> out;
    const std::uint32_t offBits = 14 + 40 + kColours * 4;
    out.push_back('B');
    out.push_back('M');
    base::AppendLe32(out, offBits + kWidth * kHeight);
    base::AppendLe32(out, 0);
    base::AppendLe32(out, offBits);
    base::AppendLe32(out, 40);
    base::AppendLe32(out, kWidth);
    base::AppendLe32(out, kHeight);
    base::AppendLe16(out, 1);
    base::AppendLe16(out, 8);
    base::AppendLe32(out, 0);
    base::AppendLe32(out, kWidth * kHeight);
    base::AppendLe32(out, 2835);
    base::AppendLe32(out, 2835);
    base::AppendLe32(out, kColours);
    base::AppendLe32(out, 0);
    for (const auto& c : palette) {
        out.push_back(c[2]);
        out.push_back(c[1]);
        out.push_back(c[0]);
        out.push_back(0);
    }
    // Rows bottom up: a ground, a border, and an 8 x 8 square 8 pixels further right each frame.
    for (int y = kHeight - 1; y >= 0; --y)
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t index = 1;
            if (y == 0 || y == kHeight - 1) index = 3;
            if (y >= 4 && y < 12 && x >= 4 + 8 * frame && x < 12 + 8 * frame) index = 2;
            out.push_back(index);
        }
    return out;
}

std::vector<std::uint8_t> Tone() {
    constexpr std::uint32_t kRate = 16000, kSamples = kRate / 4;
    std::vector<std::uint8_t> out;
    auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    tag("RIFF");
    base::AppendLe32(out, 36 + kSamples * 2);
    tag("WAVE");
    tag("fmt ");
    base::AppendLe32(out, 16);
    base::AppendLe16(out, 1); // PCM
    base::AppendLe16(out, 1); // mono
    base::AppendLe32(out, kRate);
    base::AppendLe32(out, kRate * 2);
    base::AppendLe16(out, 2);
    base::AppendLe16(out, 16);
    tag("data");
    base::AppendLe32(out, kSamples * 2);
    // 500 Hz: 32 samples a period, rising for 16 and falling for 16, between -16000 and 16000.
    for (std::uint32_t i = 0; i < kSamples; ++i) {
        const int phase = static_cast<int>(i % 32);
        const int value = phase < 16 ? -16000 + phase * 2000 : 16000 - (phase - 16) * 2000;
        base::AppendLe16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(value)));
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-example-assets FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    for (int frame = 0; frame < 3; ++frame)
        if (!Save(folder + "logo0" + std::to_string(frame + 1) + ".bmp", Logo(frame))) return 1;
    return Save(folder + "tone.wav", Tone()) ? 0 : 1;
}
