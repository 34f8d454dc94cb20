#include "picture/HeaderView.h"

#include "base/Format.h"
#include "base/LittleEndian.h"

namespace picture {

namespace {

std::string Field4(const std::uint8_t* b) {
    const std::int32_t value = static_cast<std::int32_t>(base::ReadLe32(b));
    return base::strprintf("%02X %02X %02X %02X (%d)", b[0], b[1], b[2], b[3], value);
}

std::string Field2(const std::uint8_t* b) {
    return base::strprintf("%02X %02X (%u)", b[0], b[1], unsigned{base::ReadLe16(b)});
}

} // namespace

HeaderRow HeaderTitles() {
    return {"Offset", "Value", "Description"};
}

std::vector<HeaderRow> FileHeaderRows(const std::array<std::uint8_t, 14>& h, bool printableOnly) {
    // "%c" of a byte is that byte, whatever it is, as the single-byte text the grids show.
    const auto shown = [printableOnly](std::uint8_t b) {
        return printableOnly && (b < 0x20 || b > 0x7E) ? '.' : b;
    };
    return {
        {"0000-0001", base::strprintf("%02X %02X (%c %c)", h[0], h[1], shown(h[0]), shown(h[1])),
         "Identifier"},
        {"0002-0005", Field4(&h[2]), "File size"},
        {"0006-0009", Field4(&h[6]), "Reserved"},
        {"000A-000D", Field4(&h[10]), "Bitmap data offset"},
    };
}

std::vector<HeaderRow> InfoHeaderRows(const std::array<std::uint8_t, 40>& h) {
    return {
        {"0000-0003", Field4(&h[0]), "Info Header size"},
        {"0004-0007", Field4(&h[4]), "Width in pixels"},
        {"0008-000B", Field4(&h[8]), "Height in pixels"},
        {"000C-000D", Field2(&h[12]), "Color planes"},
        {"000E-000F", Field2(&h[14]), "Bits per pixel"},
        {"0010-0013", Field4(&h[16]), "Compression"},
        {"0014-0017", Field4(&h[20]), "Bitmap data size in (4x) bytes"},
        {"0018-001B", Field4(&h[24]), "Horizontal resolution in pixel per meter"},
        {"001C-001F", Field4(&h[28]), "Vertical resolution in pixel per meter"},
        {"0020-0023", Field4(&h[32]), "Used colors in palette"},
        {"0024-0027", Field4(&h[36]), "Important colors"},
    };
}

} // namespace picture
