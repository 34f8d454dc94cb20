#pragma once

#include "base/Error.h"
#include "picture/BmpLoader.h"

#include <string>

namespace shell {

// The seven tabs of the main window. File > Open and File > Save act by which of them is active; the frame
// finds the active tab by object and asks it which one it is.
enum class Page { Osd, BitmapHeader, Palette, Font, Aosd, Wav, Merge };

// What File > Open did, for the window to show.
struct OpenOutcome {
    picture::OpenStatus status = picture::OpenStatus::Ok;
    base::Failure failure;      // the text to report; none when the file was accepted
    base::FailureDetail detail; // the file and why, beside the text (a size the loader does not take)
    bool headersRead = false;   // caption and header grids must follow the file
    bool pictureLoaded = false; // the active tab's picture control was loaded (OSD or Palette tab)
};

} // namespace shell
