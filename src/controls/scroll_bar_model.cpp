#include "controls/scroll_bar_model.h"

#include <algorithm>

int LastScrollPosition(const ScrollRange& r) {
    const int last = r.page > 0 ? r.max - r.page + 1 : r.max;
    return std::max(r.min, last);
}

bool Scrolls(const ScrollRange& r) {
    return LastScrollPosition(r) > r.min;
}

ThumbPlace PlaceThumb(const ScrollRange& r, int track, int minThumb) {
    if (track <= 0) return {};
    if (!Scrolls(r)) return {0, track};
    const long long span = static_cast<long long>(r.max) - r.min + 1;
    const int page = r.page > 0 ? r.page : 1;
    int len = static_cast<int>(static_cast<long long>(track) * page / span);
    len = std::clamp(len, std::min(minThumb, track), track);
    const int travel = track - len;
    const int steps = LastScrollPosition(r) - r.min;
    const int pos = std::clamp(r.pos, r.min, LastScrollPosition(r)) - r.min;
    const int top = static_cast<int>(static_cast<long long>(travel) * pos / steps);
    return {top, top + len};
}

int PositionAtThumb(const ScrollRange& r, int track, int minThumb, int thumbTop) {
    if (!Scrolls(r)) return r.min;
    const ThumbPlace t = PlaceThumb(r, track, minThumb);
    const int travel = track - (t.bottom - t.top);
    if (travel <= 0) return r.min;
    const int steps = LastScrollPosition(r) - r.min;
    const int at = std::clamp(thumbTop, 0, travel);
    // Rounded, so the thumb follows the pointer to the nearest position.
    return r.min + static_cast<int>((static_cast<long long>(at) * steps + travel / 2) / travel);
}
