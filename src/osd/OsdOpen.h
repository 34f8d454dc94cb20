#pragma once

#include "osd/OsdState.h"
#include "picture/BmpLoader.h"
#include "picture/FileOpen.h"

#include <string>

namespace osd {

// What File > Open leaves of the OSD tab's pictures, whichever tab is active: a refused file leaves no
// Before picture, an accepted one no After picture (the next reduction paints it anew).
void FollowOpen(OsdState& state, const picture::OpenOutcome& outcome);

// File > Open with the OSD tab active (tavix-cli's `osd` opens its sheet so): the file becomes the Before
// picture and CurrentBitmap, then FollowOpen. Throws base::Error as picture::OpenBitmap does. A job that
// neither reduces nor shows the picture takes its index bytes alone (PictureParts::IndicesOnly).
picture::OpenOutcome OpenSheet(picture::CurrentBitmap& bitmap, OsdState& state, const std::string& path,
                               picture::PictureParts parts = picture::PictureParts::All);

} // namespace osd
