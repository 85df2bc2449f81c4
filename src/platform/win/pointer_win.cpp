// The user's pointer settings through SystemParametersInfoW. Each is compared first so that an
// unchanged value causes no broadcast.
#include <windows.h>

#include "platform/pointer.h"

namespace platform {

namespace {
// Saves and announces one change the way the control panel does.
void Broadcast(UINT action) {
    PostMessageW(HWND_BROADCAST, WM_WININICHANGE, action, 0);
}
bool Set(UINT action, UINT uiParam, void* pv) {
    if (!SystemParametersInfoW(action, uiParam, pv, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE))
        return false;
    Broadcast(action);
    return true;
}
}  // namespace

int ApplyPointerSettings(const PointerSettings& w) {
    int changed = 0;
    if (static_cast<UINT>(w.dbClickTime) != GetDoubleClickTime() &&
        Set(SPI_SETDOUBLECLICKTIME, static_cast<UINT>(w.dbClickTime), nullptr))
        ++changed;

    UINT lines = 0;
    if (SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0) &&
        lines != static_cast<UINT>(w.wheelLines) &&
        Set(SPI_SETWHEELSCROLLLINES, static_cast<UINT>(w.wheelLines), nullptr))
        ++changed;

    int accel[3] = {};
    int want[3] = {0, 0, 0};
    if (w.precision) {
        want[0] = 6;
        want[1] = 10;
        want[2] = 1;
    }
    if (SystemParametersInfoW(SPI_GETMOUSE, 0, accel, 0) &&
        (accel[0] != want[0] || accel[1] != want[1] || accel[2] != want[2]) &&
        Set(SPI_SETMOUSE, 0, want))
        ++changed;

    int speed = 0;
    if (SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0) && speed != w.speed &&
        Set(SPI_SETMOUSESPEED, 0, reinterpret_cast<void*>(static_cast<intptr_t>(w.speed))))
        ++changed;

    int trails = 0;
    if (SystemParametersInfoW(SPI_GETMOUSETRAILS, 0, &trails, 0) && trails != w.trails &&
        Set(SPI_SETMOUSETRAILS, static_cast<UINT>(w.trails), nullptr))
        ++changed;
    return changed;
}

std::vector<PointerSettings> TakeRecordedPointerSettings() {
    return {};
}

}  // namespace platform
