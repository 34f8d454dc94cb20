#include "picture/FileOpen.h"

#include "base/Path.h"
#include "base/WholeFile.h"

#include <vector>

namespace picture {

namespace {

OpenOutcome Refused(OpenStatus status, base::FailureDetail detail = {}) {
    OpenOutcome outcome;
    outcome.status = status;
    outcome.failure = MessageOf(status);
    outcome.detail = std::move(detail);
    return outcome;
}

} // namespace

OpenOutcome OpenBitmap(CurrentBitmap& bitmap, const std::string& path, const OpenTarget& target) {
    if (!base::FileExists(path)) return Refused(OpenStatus::FileNotExist);
    {
        base::InputFile probe;
        if (probe.Open(path) == base::ReadStatus::NotRegular)
            return Refused(OpenStatus::NotRegular, {probe.Problem()});
    }
    OpenOutcome outcome;
    LoadResult loaded;
    if (target.picture) {
        const std::vector<std::uint8_t> bytes = ReadPictureFile(path, &outcome.png);
        *target.picture = DecodeBmpPicture(bytes.data(), bytes.size(), path, target.parts);
        if (target.paletteTable) {
            const auto& palette = target.picture->palette;
            for (std::size_t i = 0; i < palette.size() && i < target.paletteTable->size(); ++i)
                (*target.paletteTable)[i] = base::EntryOf(palette[i]);
        }
        outcome.pictureLoaded = true;
        loaded = LoadBitmapBytes(bitmap, bytes, path);
    } else {
        loaded = LoadBitmapFile(bitmap, path);
    }
    if (loaded.png) outcome.png = true;
    outcome.status = loaded.status;
    outcome.headersRead = loaded.headersRead;
    if (loaded.status != OpenStatus::Ok) {
        outcome.failure = MessageOf(loaded.status);
        outcome.detail = loaded.detail;
    }
    return outcome;
}

} // namespace picture
