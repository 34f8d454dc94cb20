// Feeds arbitrary pictures to the AOSD encoder and reads every stream back. An input that starts with "BM"
// is a BMP file, converted as "Open Picture" converts it and coded for both chips; any other input is a
// chip bit, two bytes of width and the pixels.
#include "aosd/AosdPicture.h"
#include "aosd/RlcEncoder.h"
#include "base/Error.h"
#include "picture/Picture.h"
#include "support/RlcDecoder.h"

#include <algorithm>
#include <cstdint>

namespace {

void Check(aosd::AosdPicture picture, aosd::ChipModel chip) {
    std::vector<std::uint8_t> buffer;
    aosd::AosdPicture plain = picture;
    const aosd::EncodedImage raw = aosd::EncodeAosdImage(plain, aosd::RlcOptions{false, chip}, buffer);
    if (!std::equal(raw.stream.begin(), raw.stream.end(), picture.pixels.begin(), picture.pixels.end()) ||
        plain.pixels != picture.pixels)
        __builtin_trap();

    std::vector<std::uint8_t> expected = picture.pixels;
    std::int64_t changed = 0;
    for (auto& p : expected) {
        changed += p == 0xFF;
        p = p == 0xFF ? 0xFE : p;
    }
    const aosd::EncodedImage coded = aosd::EncodeAosdImage(picture, aosd::RlcOptions{true, chip}, buffer);
    if (coded.writeSize > coded.rawSize || static_cast<std::int64_t>(coded.stream.size()) != coded.writeSize)
        __builtin_trap();
    if (raw.changedPixels != 0 || coded.changedPixels != changed) __builtin_trap();
    if (picture.pixels != expected) __builtin_trap();
    const std::vector<std::uint8_t> stream(coded.stream.begin(), coded.stream.end());
    const auto decoded = testsupport::DecodeRlc(stream, picture.width, picture.height, aosd::CountBias(chip));
    if (!decoded || *decoded != expected) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
        try {
            aosd::LoadedPicture loaded =
                aosd::ToAosdPicture(picture::DecodeBmpPicture(data, size, "input.bmp"), "input.bmp");
            // Big pictures (an RLE file of a few bytes can hold millions of pixels) only slow the search
            // down: the coding depends on the rows, which stay as wide as the reader allows.
            const std::size_t pixels = std::size_t{loaded.picture.width} * loaded.picture.height;
            if (!loaded.failure && pixels <= (std::size_t{1} << 16)) {
                Check(loaded.picture, aosd::ChipModel::K470A);
                Check(std::move(loaded.picture), aosd::ChipModel::K470E);
            }
        } catch (const base::Error&) {
        }
        return 0;
    }
    if (size < 3) return 0;
    const aosd::ChipModel chip = (data[0] & 1) ? aosd::ChipModel::K470E : aosd::ChipModel::K470A;
    aosd::AosdPicture picture;
    const std::size_t pixels = size - 3;
    picture.width = static_cast<std::uint16_t>(1 + (data[1] | (data[2] << 8)) % 4096);
    picture.height = static_cast<std::uint16_t>(std::min<std::size_t>(pixels / picture.width, 0xFFFF));
    picture.pixels.assign(data + 3, data + 3 + std::size_t{picture.width} * picture.height);
    Check(std::move(picture), chip);
    return 0;
}
