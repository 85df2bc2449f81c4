#include "ui/key_page_layout.h"

std::array<KeyRowPlace, kKeysPerSet> LayoutKeyRows(const SensorCfg& cfg, ZvPoint ptKey,
                                                   bool large) {
    const int k = large ? 2 : 1;
    const int w = kRowWidth * k, h = kRowHeight * k;
    // The gap between rows belongs to the device and is not doubled.
    const int pitch = h + cfg.KEYH;
    std::array<KeyRowPlace, kKeysPerSet> rows{};
    for (int i = 0; i < kKeysPerSet; ++i) {
        KeyRowPlace& r = rows[static_cast<size_t>(i)];
        const int x = ptKey.x * k, y = ptKey.y * k + i * pitch;
        r.shown = i < cfg.nKeyNum;
        r.row = {x, y, x + w, y + h};
        const int n = 18 * k;
        r.number = {x - 8 * k - n, y + (h - n) / 2, x - 8 * k, y + (h - n) / 2 + n};
    }
    return rows;
}

std::optional<int> RowAt(const std::array<KeyRowPlace, kKeysPerSet>& rows, ZvPoint pt) {
    for (int i = 0; i < kKeysPerSet; ++i) {
        const KeyRowPlace& r = rows[static_cast<size_t>(i)];
        if (r.shown && pt.x >= r.row.left && pt.x < r.row.right && pt.y >= r.row.top &&
            pt.y < r.row.bottom)
            return i;
    }
    return std::nullopt;
}

std::array<bool, kKeysPerSet> ShownHotspots(const SensorCfg& cfg) {
    std::array<bool, kKeysPerSet> shown{};
    for (int i = 0; i < kKeysPerSet; ++i) {
        const ZvRect& m = cfg.Mark[static_cast<size_t>(i)];
        shown[static_cast<size_t>(i)] = m.right > m.left && m.bottom > m.top && i < cfg.nKeyNum;
    }
    return shown;
}

MenuPlace FunctionMenuPlace(const ZvRect& rowOnScreen, int items, int screenHeight, int menuW) {
    ZvRect r = rowOnScreen;
    if (menuW > 0 && r.right - r.left < menuW) {
        const int grow = (menuW - (r.right - r.left)) / 2;
        r.left -= grow;
        r.right = r.left + menuW;
    }
    MenuPlace p;
    p.x = r.left;
    p.width = r.right - r.left - 4;
    const int h = items * kMenuItemHeight;
    p.y = r.bottom + h > screenHeight ? r.top - h : r.bottom;
    return p;
}

ZvRect ProfileSelectorRect(const ZvRect& firstRow) {
    return {firstRow.right - 111, 20, firstRow.right, 50};
}

ZvRect LinksButtonRect(const ZvRect& selector) {
    return {selector.left - 8 - 150, selector.top, selector.left - 8, selector.bottom};
}

std::array<ZvRect, 3> ProfileButtonRects() {
    const ZvRect restore{707, 473, 818, 500};
    const ZvRect exportBtn{restore.right + 7, 473, restore.right + 7 + 80, 500};
    const ZvRect importBtn{exportBtn.right + 7, 473, exportBtn.right + 7 + 80, 500};
    return {restore, exportBtn, importBtn};
}

ZvRect DebounceRect() {
    return {45, 447, 215, 477};
}

ZvRect AutoSleepRect() {
    const ZvRect d = DebounceRect();
    const int h = d.bottom - d.top;
    return {d.left, d.top - 5 - h, d.right, d.top - 5};
}

std::optional<ZvRect> DebounceTipRect(int32_t tip, bool large) {
    if (tip <= 255) return std::nullopt;
    const ZvRect d = DebounceRect();
    const int k = large ? 2 : 1;
    return ZvRect{d.left * k, tip * k, d.left * k + 250 * k, d.top * k};
}

bool CoversShownRows(const ZvRect& rc, const std::array<KeyRowPlace, kKeysPerSet>& rows) {
    for (const KeyRowPlace& r : rows) {
        if (r.shown && rc.left < r.row.right && r.row.left < rc.right && rc.top < r.row.bottom &&
            r.row.top < rc.bottom)
            return true;
    }
    return false;
}

ValueControlRects PlaceValueControls(const std::array<KeyRowPlace, kKeysPerSet>& rows, bool large) {
    ValueControlRects r{DebounceRect(), AutoSleepRect(), false};
    // The rows are laid out at this screen's size; the controls are compared there too.
    auto covers = [&](const ZvRect& rc) {
        const int k = large ? 2 : 1;
        return CoversShownRows(ZvRect{rc.left * k, rc.top * k, rc.right * k, rc.bottom * k}, rows);
    };
    if (!covers(r.debounce) && !covers(r.autoSleep)) return r;
    // Right-aligned with the restore button, ending 13 pixels above it.
    const ZvRect restore = ProfileButtonRects()[0];
    const int w = r.debounce.right - r.debounce.left, h = r.debounce.bottom - r.debounce.top;
    r.debounce = {restore.left, restore.top - 13 - h, restore.left + w, restore.top - 13};
    r.autoSleep = {restore.left, r.debounce.top - 5 - h, restore.left + w, r.debounce.top - 5};
    r.moved = true;
    return r;
}
