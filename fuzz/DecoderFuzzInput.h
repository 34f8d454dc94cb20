#pragma once

// The decoders' fuzz inputs: four header bytes that choose the options, then the data. The seeder writes
// inputs of this shape; a shorter input reads its missing header bytes as zero.
#include <cstddef>
#include <cstdint>
#include <span>

struct DecoderFuzzInput {
    std::uint8_t head[4] = {0, 0, 0, 0};
    std::span<const std::uint8_t> data;

    DecoderFuzzInput(const std::uint8_t* bytes, std::size_t size) {
        const std::size_t n = size < 4 ? size : 4;
        for (std::size_t i = 0; i < n; ++i)
            head[i] = bytes[i];
        data = std::span<const std::uint8_t>(bytes + n, size - n);
    }
};
