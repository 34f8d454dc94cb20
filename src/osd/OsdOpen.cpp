#include "osd/OsdOpen.h"

namespace osd {

void FollowOpen(OsdState& state, const picture::OpenOutcome& outcome) {
    if (outcome.failure)
        state.Before = picture::Picture{};
    else
        state.After = picture::Picture{};
}

picture::OpenOutcome OpenSheet(picture::CurrentBitmap& bitmap, OsdState& state, const std::string& path,
                               picture::PictureParts parts) {
    const picture::OpenOutcome outcome = picture::OpenBitmap(bitmap, path, {&state.Before, nullptr, parts});
    FollowOpen(state, outcome);
    return outcome;
}

} // namespace osd
