#pragma once

#include "picture/Picture.h"

#include <array>
#include <cstdint>

namespace osd {

// What the OSD tab keeps for the whole run besides CurrentBitmap.
struct OsdState {
    picture::Picture Before; // the opened file as drawn (Image_BMP_Before)
    picture::Picture After;  // the reduced picture as painted (Image_BMP_After)
    // Old palette index -> new index of the last reduction, rebuilt by each one: every entry whose colour is
    // the i-th colour collected maps to i, any other entry to 0.
    std::array<std::uint8_t, 256> RemapTable{};
};

} // namespace osd
