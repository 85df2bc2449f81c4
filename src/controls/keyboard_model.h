// What the keyboard does in the skinned windows, apart from any window: the order Tab follows
// over the controls a person can see, radio groups that the arrows walk, the step a slider key
// asks for and the entry a menu key moves to. The windows hand these functions their controls'
// places and act on the answer through the same calls a click or a drag makes.
#pragma once
#include <cstdint>
#include <vector>

#include "base/geometry.h"

// One control that can take the focus, at its place in the window's client coordinates.
struct FocusItem {
    int32_t id = 0;        // the caller's handle for the control
    ZvRect rc;             // where it lies
    int32_t group = 0;     // radio group; 0 for none
    bool checked = false;  // a radio button that is the group's choice
};

// The controls in reading order: rows from top to bottom, each row from left to right. A
// control joins the row of the first control above it when its vertical middle lies within
// that control's height, so a row of slightly offset buttons reads as one row.
std::vector<FocusItem> ReadingOrder(std::vector<FocusItem> items);

// The Tab stops in reading order: every control outside a group, and one per group (its
// checked member, else its first), at the place of that member.
std::vector<int32_t> TabStops(const std::vector<FocusItem>& items);

// The stop after `current` (before it with `back`), going round at the ends. A control that
// is not a stop (a radio button not checked, or none) moves to the first stop (last with
// `back`), or the next stop of its group's place; 0 when there are no stops.
int32_t NextTabStop(const std::vector<FocusItem>& items, int32_t current, bool back);

// The member of `current`'s group `delta` places on in reading order (round at the ends);
// `current` itself when it has no group.
int32_t GroupStep(const std::vector<FocusItem>& items, int32_t current, int32_t delta);

// Keys that move a value through a range.
enum class StepKey { kLess, kMore, kPageLess, kPageMore, kFirst, kLast };

// The index a key moves a slider to from `index` within [minimum, maximum]: one step, a tenth of
// the range (at least two steps) for the page keys, or the ends.
int32_t SliderKeyIndex(StepKey key, int32_t index, int32_t minimum, int32_t maximum);

// The entry a key moves a menu's highlight to among `count` entries from `hovered` (-1: none);
// Less and More go round, First and Last go to the ends; -1 for an empty menu.
int32_t MenuKeyIndex(StepKey key, int32_t hovered, int32_t count);
