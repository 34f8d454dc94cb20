#include "aosd/AosdDecoder.h"

#include "aosd/AosdWriters.h"
#include "base/Format.h"
#include "base/Path.h"
#include "base/WholeFile.h"

#include <algorithm>

namespace aosd {

namespace {

int HexDigit(std::uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

AosdDecoded DecodeRaw(std::span<const std::uint8_t> stream, const AosdDecodeOptions& o, std::uint64_t rows) {
    AosdDecoded result;
    const std::uint64_t whole = std::min<std::uint64_t>(stream.size() / o.width, rows);
    result.rows = static_cast<std::uint32_t>(whole);
    result.pixels.assign(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(whole * o.width));
    if (whole < rows) {
        result.failureOffset = stream.size();
        result.failure = base::strprintf("the data ends early at offset %zu, in row %llu of %llu", stream.size(),
                                         static_cast<unsigned long long>(whole), static_cast<unsigned long long>(rows));
    } else if (stream.size() > rows * o.width) {
        result.failureOffset = static_cast<std::size_t>(rows * o.width);
        result.failure = base::strprintf("%zu bytes follow the last row, from offset %zu",
                                         stream.size() - result.failureOffset, result.failureOffset);
    }
    return result;
}

} // namespace

AosdDecoded DecodeAosdImage(std::span<const std::uint8_t> stream, const AosdDecodeOptions& o) {
    AosdDecoded result;
    if (o.width == 0 || o.height == 0 || o.frames == 0) {
        result.failure = "the picture has no pixels";
        return result;
    }
    const std::uint64_t rows = static_cast<std::uint64_t>(o.height) * o.frames;
    if (!o.rlc.rlc) return DecodeRaw(stream, o, rows);

    const std::size_t width = o.width;
    const std::size_t bias = static_cast<std::size_t>(CountBias(o.rlc.chip));
    std::vector<std::uint8_t> row(width);
    std::size_t at = 0;
    auto fail = [&](std::size_t offset, const std::string& what, std::uint64_t r) {
        result.failureOffset = offset;
        result.failure = base::strprintf("%s at offset %zu, in row %llu", what.c_str(), offset,
                                         static_cast<unsigned long long>(r));
        return result;
    };
    for (std::uint64_t r = 0; r < rows; ++r) {
        std::size_t x = 0;
        std::size_t literalAt = 0; // where the last pixel of this row was coded
        while (x < width) {
            if (at >= stream.size()) return fail(at, "the stream ends early", r);
            const std::uint8_t b = stream[at];
            if (b != kRepeatMarker) {
                literalAt = at++;
                row[x++] = b;
                continue;
            }
            if (x == 0) return fail(at, "a repeat marker with no pixel before it", r);
            // The code of a long run begins at its literal; a marker right after another run's count
            // repeats that run's pixel and begins its own code.
            const std::size_t codeAt = literalAt + 1 == at ? literalAt : at;
            std::size_t k = at + 1;
            std::uint64_t value = 0;
            int shift = 0;
            std::size_t bytes = 0;
            for (;;) {
                if (k >= stream.size()) return fail(codeAt, "the stream ends inside a run", r);
                const std::uint8_t c = stream[k++];
                if (shift < 32) value |= static_cast<std::uint64_t>(c & 0x7F) << shift;
                shift += 7;
                ++bytes;
                if ((c & 0x80) == 0) break;
            }
            const std::uint64_t count = bytes == 1 ? value : value + 1;
            const std::uint64_t length = count + bias; // the literal included
            if (shift > 35 || length < 1 || (x - 1) + length > width)
                return fail(codeAt, "a run past the row's end", r);
            std::fill(row.begin() + static_cast<std::ptrdiff_t>(x),
                      row.begin() + static_cast<std::ptrdiff_t>(x - 1 + length), row[x - 1]);
            x += static_cast<std::size_t>(length - 1);
            at = k;
        }
        result.pixels.insert(result.pixels.end(), row.begin(), row.end());
        ++result.rows;
    }
    if (at != stream.size()) {
        result.failureOffset = at;
        result.failure =
            base::strprintf("%zu bytes follow the last row, from offset %zu", stream.size() - at, at);
    }
    return result;
}

std::optional<std::vector<base::Colour>> ParseAosdPalette(std::span<const std::uint8_t> file,
                                                          settings::PaletteFormat format, std::string* problem) {
    auto fail = [&](const std::string& why) {
        if (problem) *problem = why;
        return std::nullopt;
    };
    std::vector<std::uint8_t> values;
    const bool text = file.size() >= 2 && file[0] == '/' && file[1] == '/';
    if (!text) {
        if (file.size() != 768)
            return fail(base::strprintf("%zu bytes: a palette is 768 bytes or the 51 lines of its text form",
                                        file.size()));
        values.assign(file.begin(), file.end());
    } else {
        std::size_t i = 0;
        while (i < file.size()) {
            const std::uint8_t c = file[i];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++i;
            } else if (c == '/' && i + 1 < file.size() && file[i + 1] == '/') {
                while (i < file.size() && file[i] != '\n')
                    ++i; // a component's heading
            } else if (file.size() - i >= 5 && c == '0' && (file[i + 1] == 'x' || file[i + 1] == 'X') &&
                       HexDigit(file[i + 2]) >= 0 && HexDigit(file[i + 3]) >= 0 && file[i + 4] == ',') {
                if (values.size() == 768) return fail("more than 768 values");
                values.push_back(static_cast<std::uint8_t>(HexDigit(file[i + 2]) * 16 + HexDigit(file[i + 3])));
                i += 5;
            } else {
                return fail(base::strprintf("not a palette value (0xHH,) at offset %zu", i));
            }
        }
        if (values.size() != 768) return fail(base::strprintf("%zu values instead of 768", values.size()));
    }
    const bool six = format == settings::PaletteFormat::Rgb666;
    std::vector<base::Colour> palette(256);
    for (std::size_t i = 0; i < 256; ++i) {
        std::uint8_t rgb[3] = {values[i], values[256 + i], values[512 + i]};
        if (six) {
            for (std::uint8_t& v : rgb) {
                if (v > 63)
                    return fail(base::strprintf("entry %zu holds a value above 63, which RGB666 has not "
                                                "(the palette may be RGB888)",
                                                i));
                v = static_cast<std::uint8_t>((v * 255 + 31) / 63);
            }
        }
        palette[i] = base::MakeColour(rgb[0], rgb[1], rgb[2]);
    }
    return palette;
}

std::size_t DifferingPixels(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t differ = std::max(a.size(), b.size()) - n;
    for (std::size_t i = 0; i < n; ++i)
        differ += a[i] != b[i];
    return differ;
}

std::string DifferingText(std::size_t differing) {
    if (differing == 0) return "identical";
    return base::strprintf("%zu differing pixel%s", differing, differing == 1 ? "" : "s");
}

AosdPreview PreviewAosdOutput(const AosdState& state, const RlcOptions& rlc, bool sequence) {
    AosdPreview preview;
    std::vector<std::string> members;
    if (!sequence) {
        members.push_back(state.AosdPicturePath);
    } else {
        for (std::uint32_t i = 0; i < state.AosdImageCount; ++i) {
            std::string member =
                state.AosdDirectory + SequenceMemberName(state.AosdBaseName, i) + state.AosdExtension;
            if (base::ExistingFileId(member)) members.push_back(std::move(member));
        }
    }
    const std::uint32_t width = state.picture.width;
    const std::uint32_t height = state.picture.height;
    if (members.empty() || width == 0 || height == 0) {
        preview.failure = "nothing was written";
        return preview;
    }
    const auto frames = static_cast<std::uint32_t>(members.size());
    preview.source = picture::IndexedImage(width, height * frames);
    preview.source.palette = state.picture.palette;
    const std::size_t frameSize = static_cast<std::size_t>(width) * height;
    for (std::uint32_t f = 0; f < frames; ++f) {
        const LoadedPicture loaded = LoadAosdPicture(members[f]);
        if (loaded.failure || loaded.picture.pixels.size() != frameSize) {
            preview.failure = loaded.failure ? *loaded.failure : members[f] + " is no longer the opened picture's size";
            return preview;
        }
        std::copy(loaded.picture.pixels.begin(), loaded.picture.pixels.end(),
                  preview.source.indices.begin() + static_cast<std::ptrdiff_t>(f * frameSize));
    }
    std::vector<std::uint8_t> stream;
    base::FileProblem problem;
    if (base::ReadWholeFile(state.AosdOutputPath, stream, std::size_t{1} << 31, &problem) != base::ReadStatus::Ok) {
        preview.failure = "Cannot read " + base::ProblemText(problem);
        return preview;
    }
    AosdDecodeOptions options;
    options.width = width;
    options.height = height;
    options.frames = frames;
    options.rlc = rlc;
    const AosdDecoded decoded = DecodeAosdImage(stream, options);
    if (decoded.failure) preview.failure = base::FileNameOf(state.AosdOutputPath) + ": " + *decoded.failure;
    preview.decoded = picture::IndexedImage(width, height * frames);
    preview.decoded.palette = state.picture.palette;
    std::copy(decoded.pixels.begin(), decoded.pixels.end(), preview.decoded.indices.begin());
    for (std::uint32_t f = 0; f < frames; ++f) {
        const auto at = static_cast<std::ptrdiff_t>(f * frameSize);
        const std::size_t rowsHere =
            decoded.rows > f * height ? std::min<std::size_t>(decoded.rows - f * height, height) : 0;
        // Rows that could not be decoded count as differing.
        const std::size_t n = DifferingPixels(
            std::span<const std::uint8_t>(preview.source.indices.data() + at, rowsHere * width),
            std::span<const std::uint8_t>(preview.decoded.indices.data() + at, rowsHere * width)) +
                              (height - rowsHere) * width;
        preview.differingPerFrame.push_back(n);
        preview.differing += n;
    }
    return preview;
}

} // namespace aosd
