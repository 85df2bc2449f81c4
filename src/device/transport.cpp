#include "device/transport.h"

#include <cstdio>
#include <cstring>

#include "device/device_state.h"
#include "base/log.h"
#include "platform/sys.h"
#include "platform/window.h"

void ReplyQueue::Append(const uint8_t bytes16[16]) {
    CRetParam p;
    std::memcpy(p.m_bytes, bytes16, 16);
    std::lock_guard<std::mutex> lock(m_itemsLock);
    m_items.push_back(p);
}

void ReplyQueue::Clear() {
    std::lock_guard<std::mutex> lock(m_itemsLock);
    m_items.clear();
}

size_t ReplyQueue::Count() const {
    std::lock_guard<std::mutex> lock(m_itemsLock);
    return m_items.size();
}

bool ReplyQueue::Pop(CRetParam* ret) {
    std::lock_guard<std::mutex> lock(m_itemsLock);
    if (m_items.empty()) return false;
    std::memcpy(ret->m_bytes, m_items.front().m_bytes, 16);
    m_items.pop_front();
    return true;
}

int ReplyQueue::WaitNotify(uint8_t nCmdID, CRetParam* ret) {
    std::lock_guard<std::mutex> waiters(m_waitLock);
    platform::Sleep(10);
    int polls = 0;
    for (;;) {
        CRetParam got;
        if (!Pop(&got)) {
            if (polls > 50) {
                LogPrintf("WaitNotify TimeOut for nCmdID=%x, ThreadId=0x%x", nCmdID,
                          platform::GetCurrentThreadId());
                return -1;
            }
            ++polls;
            platform::Sleep(20);
            continue;
        }
        if (got.Byte(kOffCmd) == nCmdID) {
            std::memcpy(ret->m_bytes, got.m_bytes, 16);
            return 1;
        }
        // An answer to something else: late, or not ours. Dropped without a pause.
    }
}

ReplyQueue& GetReplyQueue() {
    static ReplyQueue q;
    return q;
}

int SendCommand(const platform::HidHandle& hCmd, const uint8_t payload[PER_PAYLOAD],
                uint8_t report[kReportLength], uint32_t* errOut) {
    FrameCommandReport(payload, report);
    uint32_t err = platform::kErrInvalidHandle;
    for (int i = 0; i < 3; ++i) {
        if (hCmd && hCmd->SetFeature(report, kReportLength, &err)) return 1;
        if (!hCmd) err = platform::kErrInvalidHandle;
        platform::Sleep(50);
    }
    LogPrintf("SendCommand err=0x%x", err);
    if (errOut) *errOut = err;
    return 0;
}

int SendData(const platform::HidHandle& hCmd, const uint8_t* payload, size_t nSize,
             uint32_t* errOut) {
    if (!payload || nSize > PER_PAYLOAD) {
        LogPrintf("SendData Err: nSize>PER_PAYLOAD!");
        return 0;
    }
    uint8_t full[PER_PAYLOAD] = {};
    std::memcpy(full, payload, nSize);
    uint8_t report[kReportLength];
    FrameCommandReport(full, report);
    uint32_t err = platform::kErrInvalidHandle;
    if (hCmd && hCmd->SetFeature(report, kReportLength, &err)) return 1;
    if (errOut) *errOut = err;
    LogPrintf("SendData Err=0x%x", err);
    return 0;
}

int GetData(const platform::HidHandle& hNotify, uint8_t* buf, size_t size, uint32_t timeoutMs) {
    if (!hNotify || !buf) return 0;
    if (size > 16) size = 16;
    uint8_t report[kReportLength] = {kNotifyReportId};
    uint32_t err = 0;
    switch (hNotify->Read(report, kReportLength, timeoutMs, nullptr, &err)) {
        case platform::HidReadResult::kOk:
            std::memcpy(buf, report + 1, size);
            return 1;
        case platform::HidReadResult::kTimeout:
            LogPrintf("GetData TimeOut, hNotify=%x", hNotify->Id());
            return 0;
        default:
            if (err == platform::kErrDeviceNotConnected)
                LogPrintf("GetData Err, dev is plugout");
            else
                LogPrintf("GetData Err=0x%x", err);
            return 0;
    }
}

void DispatchReport(const uint8_t bytes16[16]) {
    char label[32];
    std::snprintf(label, sizeof label, "Read(%x): ", platform::GetCurrentThreadId());
    LogHexDump(bytes16, 15, 0, label);
    if (bytes16[kOffCmd - 1] != kNotificationCmd) {
        GetReplyQueue().Append(bytes16);
        return;
    }
    platform::WindowHandle wnd = TheDeviceState().hDevNotifyWnd.load();
    if (!platform::IsWindow(wnd)) return;
    auto b = [&](size_t k) { return bytes16[k - 1]; };
    uint8_t flags = b(6);
    struct Kind {
        uint8_t bit;
        intptr_t kind;
        uintptr_t value;
    } kinds[] = {
        {0x01, kBehaviorDpiLevel, b(7)}, {0x02, kBehaviorRate, uintptr_t(b(8) & 0x0F)},
        {0x04, kBehaviorProfile, b(10)}, {0x80, kBehaviorMainLight, 0},
        {0x40, kBehaviorLogoLight, 0},   {0x20, kBehaviorDpiLight, 0},
    };
    for (const Kind& k : kinds)
        if (flags & k.bit) platform::PostWindowMessage(wnd, WM_DEV_BEHAVIOR, k.value, k.kind);
}

void ServiceThread(ServiceContext ctx) {
    uint32_t hn = ctx.hNotify ? ctx.hNotify->Id() : 0;
    LogPrintf("ServiceThread start, hNotify=%x, PID=%04x, CID=%x, MID=%x, ThreadId=0x%x", hn,
              ctx.PID, ctx.CID, ctx.MID, platform::GetCurrentThreadId());
    for (;;) {
        uint8_t report[kReportLength] = {kNotifyReportId};
        uint32_t err = platform::kErrInvalidHandle;
        platform::HidReadResult r =
            ctx.hNotify ? ctx.hNotify->Read(report, kReportLength, platform::kHidInfinite,
                                            ctx.hStopEvent.get(), &err)
                        : platform::HidReadResult::kError;
        if (r == platform::HidReadResult::kOk) {
            DispatchReport(report + 1);
            continue;
        }
        if (r == platform::HidReadResult::kStopped) {
            LogPrintf("hObject[1] is signal");
            break;
        }
        LogPrintf("ServiceThread ReadFile Err=%d\n", static_cast<int>(err));
        if (err == platform::kErrDeviceNotConnected || err == platform::kErrInvalidHandle) break;
        // Read again, but do not spin when a device keeps failing the same way.
        platform::Sleep(10);
    }
    LogPrintf("ServiceThread exit, hNotify=%x, PID=%04x, CID=%x, MID=%x", hn, ctx.PID, ctx.CID,
              ctx.MID);
}
