// The skinned scroll bar's geometry over a system scroll range (what GetScrollInfo gives): where
// the thumb lies in its track, and which position a dragged thumb asks for. The window that draws
// it and forwards the pointer is controls/win/skin_scroll_bar.h.
#pragma once

struct ScrollRange {
    int min = 0, max = 0;
    int page = 0;  // 0: the system's range has no page
    int pos = 0;
};

// The highest position the range can be scrolled to.
int LastScrollPosition(const ScrollRange& r);
// Whether the range has anything to scroll.
bool Scrolls(const ScrollRange& r);

// The thumb's place in a track `track` long: in proportion to the page, never shorter than
// `minThumb` (nor longer than the track).
struct ThumbPlace {
    int top = 0, bottom = 0;
};
ThumbPlace PlaceThumb(const ScrollRange& r, int track, int minThumb);
// The position that puts the thumb's top at `thumbTop` (clamped to the range).
int PositionAtThumb(const ScrollRange& r, int track, int minThumb, int thumbTop);
