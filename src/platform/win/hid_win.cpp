// HID on Windows: SetupAPI enumeration, HID.DLL attributes, capabilities and feature reports,
// and overlapped reads that wait on the read and a stop event together.
#include <windows.h>
// clang-format off
#include <setupapi.h>
// The HID headers of this tool chain do not declare C linkage themselves.
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}
// clang-format on

#include <mutex>
#include <vector>

#include "platform/hid.h"
#include "platform/sys.h"
#include "platform/win/wide.h"

namespace platform {

struct HidEvent::Impl {
    HANDLE h = nullptr;
};

HidEvent::HidEvent() : m_impl(std::make_unique<Impl>()) {
    m_impl->h = CreateEventW(nullptr, FALSE, FALSE, nullptr);  // auto-reset
}
HidEvent::~HidEvent() {
    if (m_impl->h) CloseHandle(m_impl->h);
}
void HidEvent::Set() {
    SetEvent(m_impl->h);
    TellListener();
}
bool HidEvent::TryTake() {
    return WaitForSingleObject(m_impl->h, 0) == WAIT_OBJECT_0;
}
bool HidEvent::Wait(uint32_t ms) {
    return WaitForSingleObject(m_impl->h, ms == kHidInfinite ? INFINITE : ms) == WAIT_OBJECT_0;
}
std::uintptr_t HidEvent::NativeHandle() const {
    return reinterpret_cast<std::uintptr_t>(m_impl->h);
}

namespace {

class WinHidDevice : public HidDevice {
  public:
    WinHidDevice(HANDLE h, bool overlapped) : m_h(h), m_overlapped(overlapped) {
        if (overlapped) m_readEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    }
    ~WinHidDevice() override {
        Close();
        if (m_readEvent) CloseHandle(m_readEvent);
    }

    bool GetAttributes(HidAttributes* attr, uint32_t* err) override {
        std::lock_guard<std::mutex> lock(m_mu);
        if (m_closed) return Fail(err, kErrInvalidHandle);
        HIDD_ATTRIBUTES a{};
        a.Size = sizeof a;
        if (!HidD_GetAttributes(m_h, &a)) return Fail(err, LastError());
        attr->vid = a.VendorID;
        attr->pid = a.ProductID;
        attr->version = a.VersionNumber;
        return true;
    }

    bool SetFeature(const uint8_t* report, size_t len, uint32_t* err) override {
        std::lock_guard<std::mutex> lock(m_mu);
        if (m_closed) return Fail(err, kErrInvalidHandle);
        std::vector<uint8_t> copy(report, report + len);
        if (!HidD_SetFeature(m_h, copy.data(), static_cast<ULONG>(len)))
            return Fail(err, LastError());
        return true;
    }

    HidReadResult Read(uint8_t* buf, size_t len, uint32_t timeoutMs, HidEvent* stop,
                       uint32_t* err) override {
        auto fail = [&](uint32_t e) {
            if (err) *err = e;
            return HidReadResult::kError;
        };
        if (!m_overlapped) return fail(kErrInvalidParameter);
        OVERLAPPED ov{};
        ov.hEvent = m_readEvent;
        DWORD got = 0;
        {
            std::lock_guard<std::mutex> lock(m_mu);
            if (m_closed) return fail(kErrInvalidHandle);
            ResetEvent(m_readEvent);
            if (ReadFile(m_h, buf, static_cast<DWORD>(len), &got, &ov)) return HidReadResult::kOk;
            DWORD e = GetLastError();
            if (e != ERROR_IO_PENDING) return fail(e);
            ++m_inFlight;
        }
        HANDLE objects[2] = {m_readEvent,
                             stop ? reinterpret_cast<HANDLE>(stop->NativeHandle()) : nullptr};
        DWORD w = WaitForMultipleObjects(stop ? 2 : 1, objects, FALSE,
                                         timeoutMs == kHidInfinite ? INFINITE : timeoutMs);
        HidReadResult result;
        uint32_t e = 0;
        if (w == WAIT_OBJECT_0) {
            if (GetOverlappedResult(m_h, &ov, &got, FALSE)) {
                result = HidReadResult::kOk;
            } else {
                e = GetLastError();
                result = HidReadResult::kError;
            }
        } else {
            e = w == WAIT_TIMEOUT ? kErrTimeout : LastError();
            result = w == WAIT_OBJECT_0 + 1 ? HidReadResult::kStopped
                     : w == WAIT_TIMEOUT    ? HidReadResult::kTimeout
                                            : HidReadResult::kError;
            // The read must be over before its buffer and OVERLAPPED go away.
            CancelIo(m_h);
            GetOverlappedResult(m_h, &ov, &got, TRUE);
        }
        FinishInFlight();
        if (result != HidReadResult::kOk && err) *err = e;
        return result;
    }

    void Close() override {
        std::lock_guard<std::mutex> lock(m_mu);
        if (m_closed) return;
        m_closed = true;
        // A read of another thread ends with ERROR_OPERATION_ABORTED; the handle itself is
        // closed once no read uses it any more.
        if (m_inFlight > 0)
            CancelIoEx(m_h, nullptr);
        else
            CloseNow();
    }
    bool IsOpen() const override {
        std::lock_guard<std::mutex> lock(m_mu);
        return !m_closed;
    }

  private:
    static uint32_t LastError() {
        DWORD e = GetLastError();
        return e ? e : kErrGenFailure;
    }
    static bool Fail(uint32_t* err, uint32_t e) {
        if (err) *err = e;
        return false;
    }
    void FinishInFlight() {
        std::lock_guard<std::mutex> lock(m_mu);
        if (--m_inFlight == 0 && m_closed) CloseNow();
    }
    void CloseNow() {
        if (m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
    }

    mutable std::mutex m_mu;
    HANDLE m_h;
    const bool m_overlapped;
    HANDLE m_readEvent = nullptr;
    bool m_closed = false;
    int m_inFlight = 0;
};

HANDLE OpenPath(const std::wstring& path, DWORD access, bool overlapped) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, overlapped ? FILE_FLAG_OVERLAPPED : 0, nullptr);
}

// One interface of the enumeration: its path, attributes and capabilities.
bool OpenDeviceInterface(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* data, HidInterfaceDesc* out) {
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailW(set, data, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) size = 4096;
    std::vector<uint8_t> storage;
    try {
        storage.resize(size);
    } catch (...) {
        DebugOutput("Error: OpenDeviceInterface: malloc failed\n");
        return false;
    }
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set, data, detail, size, nullptr, nullptr)) {
        DebugOutput("Error: SetupDiGetInterfaceDeviceDetail failed\n");
        return false;
    }
    std::wstring path = detail->DevicePath;
    HANDLE h = OpenPath(path, GENERIC_READ | GENERIC_WRITE, false);
    if (h == INVALID_HANDLE_VALUE) return false;
    HIDD_ATTRIBUTES attr{};
    attr.Size = sizeof attr;
    bool haveAttr = HidD_GetAttributes(h, &attr);
    PHIDP_PREPARSED_DATA pp = nullptr;
    bool ok = false;
    if (HidD_GetPreparsedData(h, &pp)) {
        HIDP_CAPS caps{};
        if (HidP_GetCaps(pp, &caps) == HIDP_STATUS_SUCCESS) {
            out->path = win::Narrow(path);
            out->inputReportLength = caps.InputReportByteLength;
            out->outputReportLength = caps.OutputReportByteLength;
            out->featureReportLength = caps.FeatureReportByteLength;
            out->usagePage = caps.UsagePage;
            out->usage = caps.Usage;
            out->vid = haveAttr ? attr.VendorID : 0;
            out->pid = haveAttr ? attr.ProductID : 0;
            out->version = haveAttr ? attr.VersionNumber : 0;
            ok = true;
        }
        HidD_FreePreparsedData(pp);
    }
    CloseHandle(h);
    return ok;
}

class WinHidBackend : public HidBackend {
  public:
    bool Enumerate(std::vector<HidInterfaceDesc>* out, uint32_t* err) override {
        GUID guid;
        HidD_GetHidGuid(&guid);
        HDEVINFO set =
            SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE) {
            if (err) *err = GetLastError();
            return false;
        }
        for (DWORD i = 0;; ++i) {
            SP_DEVICE_INTERFACE_DATA data{};
            data.cbSize = sizeof data;
            if (!SetupDiEnumDeviceInterfaces(set, nullptr, &guid, i, &data)) break;
            HidInterfaceDesc desc;
            if (OpenDeviceInterface(set, &data, &desc)) out->push_back(desc);
        }
        SetupDiDestroyDeviceInfoList(set);
        return true;
    }

    HidHandle Open(const std::string& path, HidOpenMode mode, uint32_t* err) override {
        DWORD access = mode == HidOpenMode::kWrite       ? GENERIC_WRITE
                       : mode == HidOpenMode::kReadAsync ? GENERIC_READ
                                                         : 0;
        bool overlapped = mode == HidOpenMode::kReadAsync;
        HANDLE h = OpenPath(win::Widen(path), access, overlapped);
        if (h == INVALID_HANDLE_VALUE) {
            if (err) *err = GetLastError();
            return nullptr;
        }
        return std::make_shared<WinHidDevice>(h, overlapped);
    }
};

}  // namespace

std::shared_ptr<HidBackend> CreateSystemHidBackend() {
    return std::make_shared<WinHidBackend>();
}

}  // namespace platform
