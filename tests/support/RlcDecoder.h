#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace testsupport {

// Reads an RLC stream back into width * height pixels, as the display controller does: a byte other than
// 0xFF is a pixel; 0xFF repeats the pixel before it, the count following it (one byte up to 127, or
// count - 1 in 7-bit groups, least significant first, bit 7 marking that more follow) plus bias giving the
// run's whole length. Nothing when the stream is malformed: a marker with no pixel before it in the row, a
// run past the row's end, a stream cut short, or bytes left over. Kept independent of the encoder.
inline std::optional<std::vector<std::uint8_t>> DecodeRlc(const std::vector<std::uint8_t>& stream,
                                                          std::size_t width, std::size_t height, int bias) {
    std::vector<std::uint8_t> pixels;
    pixels.reserve(width * height);
    std::size_t at = 0;
    for (std::size_t row = 0; row < height; ++row) {
        std::size_t x = 0;
        std::optional<std::uint8_t> last;
        while (x < width) {
            if (at >= stream.size()) return std::nullopt;
            const std::uint8_t b = stream[at++];
            if (b != 0xFF) {
                pixels.push_back(b);
                last = b;
                ++x;
                continue;
            }
            if (!last) return std::nullopt;
            std::size_t value = 0;
            int shift = 0;
            std::size_t bytes = 0;
            for (;;) {
                if (at >= stream.size() || shift > 28) return std::nullopt;
                const std::uint8_t c = stream[at++];
                value |= static_cast<std::size_t>(c & 0x7F) << shift;
                shift += 7;
                ++bytes;
                if ((c & 0x80) == 0) break;
            }
            const std::size_t count = bytes == 1 ? value : value + 1;
            const std::size_t length = count + static_cast<std::size_t>(bias);
            if (x + length - 1 > width) return std::nullopt; // the run's first pixel is already out
            for (std::size_t k = 1; k < length; ++k)
                pixels.push_back(*last);
            x += length - 1;
        }
    }
    if (at != stream.size()) return std::nullopt;
    return pixels;
}

} // namespace testsupport
