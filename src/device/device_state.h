// The device link's part of gVar.
#pragma once
#include <atomic>
#include <cstdint>

#include "platform/window.h"

struct DeviceState {
    // Attempts per command (cfg.ini "Retry"); 0 or less makes every command fail untried.
    int32_t nRetry = 3;
    // Devices accepted since the last discovery pass; written by the discovery threads.
    std::atomic<int32_t> g_nFindOkNum{0};
    // Slot of the current device (pCurParam), -1 when there is none.
    std::atomic<int32_t> nCurSlot{-1};
    // The window that receives WM_DEV_FOUND and WM_DEV_BEHAVIOR: the main window once its pages
    // exist, 0 before and after. Messages for a window that is gone are dropped.
    std::atomic<platform::WindowHandle> hDevNotifyWnd{0};
};
