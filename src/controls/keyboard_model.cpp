#include "controls/keyboard_model.h"

#include <algorithm>

std::vector<FocusItem> ReadingOrder(std::vector<FocusItem> items) {
    // Top edges first (left edges break ties), then rows gathered under their first control.
    std::stable_sort(items.begin(), items.end(), [](const FocusItem& a, const FocusItem& b) {
        return a.rc.top != b.rc.top ? a.rc.top < b.rc.top : a.rc.left < b.rc.left;
    });
    std::vector<FocusItem> out;
    out.reserve(items.size());
    size_t start = 0;
    while (start < items.size()) {
        const ZvRect& head = items[start].rc;
        size_t end = start + 1;
        while (end < items.size()) {
            const int32_t middle = (items[end].rc.top + items[end].rc.bottom) / 2;
            if (middle >= head.bottom) break;
            ++end;
        }
        std::stable_sort(
            items.begin() + static_cast<std::ptrdiff_t>(start),
            items.begin() + static_cast<std::ptrdiff_t>(end),
            [](const FocusItem& a, const FocusItem& b) { return a.rc.left < b.rc.left; });
        out.insert(out.end(), items.begin() + static_cast<std::ptrdiff_t>(start),
                   items.begin() + static_cast<std::ptrdiff_t>(end));
        start = end;
    }
    return out;
}

namespace {

// The member of `group` that stands for it as a Tab stop: the checked one, else the first.
int32_t GroupStop(const std::vector<FocusItem>& ordered, int32_t group) {
    int32_t first = 0;
    for (const FocusItem& f : ordered) {
        if (f.group != group) continue;
        if (f.checked) return f.id;
        if (first == 0) first = f.id;
    }
    return first;
}

}  // namespace

std::vector<int32_t> TabStops(const std::vector<FocusItem>& items) {
    const std::vector<FocusItem> ordered = ReadingOrder(items);
    std::vector<int32_t> stops;
    std::vector<int32_t> groupsSeen;
    for (const FocusItem& f : ordered) {
        if (f.group == 0) {
            stops.push_back(f.id);
            continue;
        }
        if (std::find(groupsSeen.begin(), groupsSeen.end(), f.group) != groupsSeen.end()) continue;
        groupsSeen.push_back(f.group);
        stops.push_back(GroupStop(ordered, f.group));
    }
    return stops;
}

int32_t NextTabStop(const std::vector<FocusItem>& items, int32_t current, bool back) {
    const std::vector<int32_t> stops = TabStops(items);
    if (stops.empty()) return 0;
    // A group member stands at its group's stop.
    int32_t at = current;
    for (const FocusItem& f : items) {
        if (f.id == current && f.group != 0) {
            at = GroupStop(ReadingOrder(items), f.group);
            break;
        }
    }
    const auto it = std::find(stops.begin(), stops.end(), at);
    if (it == stops.end()) return back ? stops.back() : stops.front();
    const auto n = static_cast<std::ptrdiff_t>(stops.size());
    std::ptrdiff_t k = it - stops.begin();
    k = back ? (k + n - 1) % n : (k + 1) % n;
    return stops[static_cast<size_t>(k)];
}

int32_t GroupStep(const std::vector<FocusItem>& items, int32_t current, int32_t delta) {
    int32_t group = 0;
    for (const FocusItem& f : items)
        if (f.id == current) group = f.group;
    if (group == 0) return current;
    std::vector<int32_t> members;
    for (const FocusItem& f : ReadingOrder(items))
        if (f.group == group) members.push_back(f.id);
    const auto n = static_cast<int32_t>(members.size());
    const auto k =
        static_cast<int32_t>(std::find(members.begin(), members.end(), current) - members.begin());
    const int32_t to = ((k + delta) % n + n) % n;
    return members[static_cast<size_t>(to)];
}

int32_t SliderKeyIndex(StepKey key, int32_t index, int32_t minimum, int32_t maximum) {
    if (maximum < minimum) return index;
    const int32_t page = std::max<int32_t>(2, (maximum - minimum) / 10);
    int32_t to = index;
    switch (key) {
        case StepKey::kLess:
            to = index - 1;
            break;
        case StepKey::kMore:
            to = index + 1;
            break;
        case StepKey::kPageLess:
            to = index - page;
            break;
        case StepKey::kPageMore:
            to = index + page;
            break;
        case StepKey::kFirst:
            to = minimum;
            break;
        case StepKey::kLast:
            to = maximum;
            break;
    }
    return std::clamp(to, minimum, maximum);
}

int32_t MenuKeyIndex(StepKey key, int32_t hovered, int32_t count) {
    if (count <= 0) return -1;
    switch (key) {
        case StepKey::kLess:
        case StepKey::kPageLess:
            return hovered <= 0 ? count - 1 : hovered - 1;
        case StepKey::kMore:
        case StepKey::kPageMore:
            return hovered < 0 || hovered >= count - 1 ? 0 : hovered + 1;
        case StepKey::kFirst:
            return 0;
        case StepKey::kLast:
            return count - 1;
    }
    return hovered;
}
