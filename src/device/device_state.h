// The device link's part of gVar.
#pragma once
#include <array>
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

// The receivers this program looks for; cfg.ini options, read at start-up.
struct DeviceOptions {
    int32_t VID = 9639;
    std::array<uint32_t, 10> PID{};  // receiver product ids of the first list
    int32_t nPIDNum = 0;
    std::array<uint32_t, 10> PID2{};  // and of the second
    int32_t nPID2Num = 0;
};

// The one device state and options of the program; defined where the program keeps its
// state, so the link never names the records above it.
DeviceState& TheDeviceState();
const DeviceOptions& TheDeviceOptions();
