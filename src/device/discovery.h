// Finding receivers among the machine's HID interfaces, pairing their command and notify
// interfaces, waiting for and identifying the mouse behind each, and accepting one of them as
// the current device.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/hid.h"

class CUSBDriver;

constexpr int kMaxDeviceSlots = 5;
constexpr int kMaxHidInterfaces = 50;

// One enumerated HID interface.
using HidInterfaceInfo = platform::HidInterfaceDesc;

// One paired receiver, as a copy taken under the slot lock.
struct DeviceSlot {
    platform::HidHandle m_hCmd;  // null: free slot
    platform::HidHandle m_hNotify;
    uint32_t CID = 0, MID = 0, VID = 0, PID = 0, version = 0;
    std::shared_ptr<platform::HidEvent> hStopEvent;
    bool bExit = false;
    bool bActive = false;
    std::string cmdPath, notifyPath;
};

// A copy of slot `index` (0 to kMaxDeviceSlots - 1).
DeviceSlot GetDeviceSlot(int index);
// The slot of the current device (pCurParam), -1 when there is none.
int CurrentDeviceSlot();

// One discovery pass; the number of command/notify pairs for which a Psd_Thread started.
int FindDev();
// Hands the interfaces of an accepted slot to the driver (the main window does this when
// WM_DEV_FOUND arrives). false when the slot no longer holds a device.
bool TakeOverDevice(CUSBDriver* driver, int slot);
// Drops the current device: the driver forgets its handles, active slots are closed.
void ClearHandle(CUSBDriver* driver);
// Closes every slot and waits until every discovery and service thread has ended.
void ClearThread();
// Waits until the threads of past passes that are still running have ended (tests, exit).
void JoinDeviceThreads();

// The HID interfaces of the machine (at most kMaxHidInterfaces).
std::vector<HidInterfaceInfo> EnumerateHidInterfaces();

// Vendor and product id from a device path of a device-change notification ("VID_xxxx",
// "PID_xxxx", any case). Logs and returns false when they are not there.
bool ParseDevicePathIds(const std::string& path, uint32_t* vid, uint32_t* pid);
// true when a device-change notification for this path concerns the configured receivers.
bool DeviceChangeConcernsUs(const std::string& path);

// Looks a mouse up in the device catalogue. With `select` the entry becomes the one in use.
using MouseCatalogueLookup = std::function<bool(uint32_t cid, uint32_t mid, bool select)>;
// Replaces the lookup (null restores the catalogue's own).
void SetMouseCatalogueLookup(MouseCatalogueLookup lookup);
bool LookUpMouse(uint32_t cid, uint32_t mid, bool select);
