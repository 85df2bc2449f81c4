// HID interfaces of the machine: enumeration, opening, attributes, feature reports and input
// reads that can be ended by a stop event. Errors are Win32 error numbers on every platform so
// that log lines read the same everywhere.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/fs.h"

namespace platform {

// Win32 error numbers of the HID layer beside those of fs.h (6 invalid handle, 1167 device not
// connected, 997 pending, 87 invalid parameter, 2 not found).
constexpr uint32_t kErrGenFailure = 31;         // the device refused the request
constexpr uint32_t kErrOperationAborted = 995;  // a read was cancelled
constexpr uint32_t kErrTimeout = 1460;

// An auto-reset event: Set wakes exactly one wait (or the next one). On Windows it is a real
// event object so that it can be waited on together with an overlapped read.
class HidEvent {
  public:
    HidEvent();
    ~HidEvent();
    HidEvent(const HidEvent&) = delete;
    HidEvent& operator=(const HidEvent&) = delete;

    void Set();
    // Takes the signal if it is there; never waits.
    bool TryTake();
    // Waits until signalled (taking the signal) or `ms` elapsed; false on time-out.
    bool Wait(uint32_t ms);
    // The Win32 event handle on Windows; 0 elsewhere.
    std::uintptr_t NativeHandle() const;
    // `fn` runs after every Set (on the setting thread) until it is replaced or cleared, so a
    // waiter that sleeps on something else of its own hears the signal too. It must not set
    // or clear the listener itself.
    void SetListener(std::function<void()> fn);

  private:
    void TellListener();

    struct Impl;
    std::unique_ptr<Impl> m_impl;
    std::mutex m_listenerMu;
    std::function<void()> m_listener;
};

constexpr uint32_t kHidInfinite = 0xFFFFFFFFu;

// One HID top-level collection as enumeration sees it.
struct HidInterfaceDesc {
    std::string path;                // UTF-8
    uint32_t inputReportLength = 0;  // bytes, report ID included
    uint32_t outputReportLength = 0;
    uint32_t featureReportLength = 0;
    uint32_t usagePage = 0;
    uint32_t usage = 0;
    uint32_t vid = 0;
    uint32_t pid = 0;
    uint32_t version = 0;
};

struct HidAttributes {
    uint32_t vid = 0;
    uint32_t pid = 0;
    uint32_t version = 0;
};

enum class HidReadResult { kOk, kTimeout, kStopped, kError };

enum class HidOpenMode {
    kQuery,      // attributes and capabilities only
    kWrite,      // feature reports (command interface)
    kReadAsync,  // input reports that may be waited on with a stop event (notify interface)
};

// One opened HID interface. Close may come from any thread at any time: an operation in
// progress then ends with an error (6 or 995) and every later one fails with 6. The object
// itself stays valid for as long as someone holds it, so there is no use after close.
class HidDevice {
  public:
    HidDevice();
    virtual ~HidDevice() = default;
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // A small number that names this handle in log lines.
    uint32_t Id() const { return m_id; }

    virtual bool GetAttributes(HidAttributes* attr, uint32_t* err) = 0;
    // Sends `len` bytes (report ID first) as a feature report.
    virtual bool SetFeature(const uint8_t* report, size_t len, uint32_t* err) = 0;
    // Reads one input report into `buf` (report ID first). Ends with kOk, kTimeout after
    // `timeoutMs` (kHidInfinite waits for ever), kStopped when `stop` was signalled (the
    // signal is taken), or kError with the error number in `err`.
    virtual HidReadResult Read(uint8_t* buf, size_t len, uint32_t timeoutMs, HidEvent* stop,
                               uint32_t* err) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

  private:
    uint32_t m_id;
};
using HidHandle = std::shared_ptr<HidDevice>;

// A source of HID interfaces: the machine's, or the virtual receivers.
class HidBackend {
  public:
    virtual ~HidBackend() = default;
    // Every HID interface present. On failure returns false with the error in `err`.
    virtual bool Enumerate(std::vector<HidInterfaceDesc>* out, uint32_t* err) = 0;
    // Opens an interface by its path; null with the error in `err` on failure.
    virtual HidHandle Open(const std::string& path, HidOpenMode mode, uint32_t* err) = 0;
};

// The machine's HID interfaces (SetupAPI/HID.DLL on Windows, hidraw elsewhere; an empty
// backend when the build has no HID library).
std::shared_ptr<HidBackend> CreateSystemHidBackend();

// The backend the program uses: the system one unless another was installed.
std::shared_ptr<HidBackend> CurrentHidBackend();
// Installs a backend for the whole process (null restores the system backend).
void SetHidBackend(std::shared_ptr<HidBackend> backend);

// Top-level collections of a HID report descriptor, with the report lengths the system would
// report for each (largest report of each kind plus the report ID byte).
std::vector<HidInterfaceDesc> ParseReportDescriptor(const uint8_t* desc, size_t len);

}  // namespace platform
