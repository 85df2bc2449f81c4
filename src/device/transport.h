// Sending commands, the service thread that reads the notify interface for the life of a
// device, and the queue that carries replies from that thread to the waiting command.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "device/reports.h"
#include "platform/hid.h"

constexpr uint32_t WM_DEV_BEHAVIOR = 0x7EB;
constexpr uint32_t WM_DEV_FOUND = 0x7F5;

// What a WM_DEV_BEHAVIOR message reports: its lParam. The value in wParam is named beside.
enum DevBehaviorKind : int {
    kBehaviorDpiLevel = 1,   // the level now in use, 0 based
    kBehaviorRate = 2,       // the report interval in ms (1, 2, 4 or 8)
    kBehaviorProfile = 3,    // the mouse changed or reset its profile
    kBehaviorMainLight = 4,  // main lighting changed on the mouse
    kBehaviorLogoLight = 5,  // logo lighting changed on the mouse
    kBehaviorDpiLight = 6,   // DPI-indicator lighting changed on the mouse
};

// Bytes 1 to 16 of an input report; Byte(k) is report byte k.
class CRetParam {
  public:
    virtual ~CRetParam() = default;
    uint8_t Byte(size_t k) const { return (k >= 1 && k <= 16) ? m_bytes[k - 1] : 0; }
    uint8_t m_bytes[16] = {};
};

// Replies from the service thread to the command waiting for them. The service thread only
// appends (under a short inner lock, so it never waits for a whole wait); waiters are
// serialised by the reply-queue lock, which is always taken after the driver lock.
class ReplyQueue {
  public:
    void Append(const uint8_t bytes16[16]);
    void Clear();
    size_t Count() const;
    // Waits for the reply to nCmdID: 1 with the reply copied, -1 on time-out. Replies to
    // other commands met on the way are dropped.
    int WaitNotify(uint8_t nCmdID, CRetParam* ret);

  private:
    bool Pop(CRetParam* ret);
    std::mutex m_waitLock;           // the reply-queue lock
    mutable std::mutex m_itemsLock;  // guards m_items only, held for a push or a pop
    std::deque<CRetParam> m_items;
};

ReplyQueue& GetReplyQueue();
inline int WaitNotify(uint8_t nCmdID, CRetParam* ret) {
    return GetReplyQueue().WaitNotify(nCmdID, ret);
}

// Frames and sends one command report with up to three tries 50 ms apart. `report` receives
// the 17 bytes sent. Logs "SendCommand err=0x%x" and returns 0 when all tries failed; the
// system error goes to `err` when given.
int SendCommand(const platform::HidHandle& hCmd, const uint8_t payload[PER_PAYLOAD],
                uint8_t report[kReportLength], uint32_t* err = nullptr);

// One command report without retry, for the identification exchange.
int SendData(const platform::HidHandle& hCmd, const uint8_t* payload, size_t nSize,
             uint32_t* err = nullptr);

// Reads one input report straight from the notify interface and copies `size` bytes from
// report byte 1 on into `buf` (at most 16).
int GetData(const platform::HidHandle& hNotify, uint8_t* buf, size_t size, uint32_t timeoutMs);

// Hands report bytes 1 to 16 to the waiting command, or posts the mouse's events to the main
// window.
void DispatchReport(const uint8_t bytes16[16]);

// What a service thread needs from its slot.
struct ServiceContext {
    platform::HidHandle hNotify;
    std::shared_ptr<platform::HidEvent> hStopEvent;
    uint32_t PID = 0, CID = 0, MID = 0;
};
// Thread procedure: reads the notify interface until the stop event or the device goes away.
void ServiceThread(ServiceContext ctx);
