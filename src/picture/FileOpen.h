#pragma once

#include "base/Error.h"
#include "base/FileProblem.h"
#include "picture/BmpLoader.h"
#include "picture/Picture.h"

#include <string>

namespace picture {

// What File > Open reads the opened file into besides CurrentBitmap, as the active tab declares it: the
// picture its picture control shows, and the table that takes that picture's colour-table entries (from
// entry 0 on; the entries past the file's table keep theirs). Both empty: CurrentBitmap alone.
struct OpenTarget {
    Picture* picture = nullptr;
    PaletteTable* paletteTable = nullptr; // only together with picture
    // IndicesOnly: the picture is not for showing (a job without a window that works on its index bytes):
    // its colours are not built, and it refuses exactly the files the full decode refuses.
    PictureParts parts = PictureParts::All;
};

// What File > Open did, for the window to show.
struct OpenOutcome {
    OpenStatus status = OpenStatus::Ok;
    base::Failure failure;      // the text to report; none when the file was accepted
    base::FailureDetail detail; // the file and why, beside the text (a size the loader does not take)
    bool headersRead = false;   // caption and header grids must follow the file
    bool pictureLoaded = false; // the target's picture was loaded
    bool png = false;           // the file is a PNG, read as the BMP that holds the same picture
};

// File > Open of path. A missing file and one that is not a regular file (refused before anything reads
// it: a FIFO would keep it waiting) are refused at once. With a target picture the file is read whole once:
// the picture is decoded from its bytes (and its colour table copied into the target table), then
// CurrentBitmap is loaded from the same bytes; without one the loader reads what it needs of the file.
// Throws base::Error when the target picture cannot be read or decoded; nothing has changed then. A file the
// loader refuses leaves the target picture and table as the decode left them: the window shows what it read.
OpenOutcome OpenBitmap(CurrentBitmap& bitmap, const std::string& path, const OpenTarget& target = {});

} // namespace picture
