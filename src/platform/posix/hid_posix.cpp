// HID on Linux through hidapi's hidraw backend. Reads run in short slices so that a stop event
// or a Close from another thread ends them promptly.
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <utility>

#include "platform/hid.h"

#if defined(ZV_HAVE_HIDAPI)
#include <hidapi/hidapi.h>
#endif

namespace platform {

struct HidEvent::Impl {
    std::mutex mu;
    std::condition_variable cv;
    bool signalled = false;
};

HidEvent::HidEvent() : m_impl(std::make_unique<Impl>()) {}
HidEvent::~HidEvent() = default;

void HidEvent::Set() {
    {
        std::lock_guard<std::mutex> lock(m_impl->mu);
        m_impl->signalled = true;
    }
    m_impl->cv.notify_all();
    TellListener();
}

bool HidEvent::TryTake() {
    std::lock_guard<std::mutex> lock(m_impl->mu);
    return std::exchange(m_impl->signalled, false);
}

bool HidEvent::Wait(uint32_t ms) {
    std::unique_lock<std::mutex> lock(m_impl->mu);
    auto ready = [&] { return m_impl->signalled; };
    if (ms == kHidInfinite)
        m_impl->cv.wait(lock, ready);
    else if (!m_impl->cv.wait_for(lock, std::chrono::milliseconds(ms), ready))
        return false;
    m_impl->signalled = false;
    return true;
}

std::uintptr_t HidEvent::NativeHandle() const {
    return 0;
}

#if defined(ZV_HAVE_HIDAPI)
namespace {

std::mutex g_hidapiMu;  // hid_init, hid_enumerate and hid_open_path share library state

bool PathExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

std::vector<uint8_t> ReadReportDescriptor(const std::string& devPath) {
    // /dev/hidrawN -> /sys/class/hidraw/hidrawN/device/report_descriptor
    auto slash = devPath.rfind('/');
    std::string node = slash == std::string::npos ? devPath : devPath.substr(slash + 1);
    std::ifstream in("/sys/class/hidraw/" + node + "/device/report_descriptor", std::ios::binary);
    if (!in) return {};
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    if (bytes.size() > 4096) bytes.resize(4096);  // the kernel's own limit
    return bytes;
}

class HidrawDevice : public HidDevice {
  public:
    HidrawDevice(hid_device* dev, std::string path, HidAttributes attr)
        : m_dev(dev), m_path(std::move(path)), m_attr(attr) {}
    ~HidrawDevice() override {
        std::lock_guard<std::mutex> lock(m_mu);
        if (m_dev) hid_close(m_dev);
    }

    bool GetAttributes(HidAttributes* attr, uint32_t* err) override {
        if (!m_open) return Fail(err, kErrInvalidHandle);
        if (!PathExists(m_path)) return Fail(err, kErrDeviceNotConnected);
        *attr = m_attr;
        return true;
    }

    bool SetFeature(const uint8_t* report, size_t len, uint32_t* err) override {
        std::lock_guard<std::mutex> lock(m_mu);
        if (!m_open) return Fail(err, kErrInvalidHandle);
        if (hid_send_feature_report(m_dev, report, len) < 0)
            return Fail(err, PathExists(m_path) ? kErrGenFailure : kErrDeviceNotConnected);
        return true;
    }

    HidReadResult Read(uint8_t* buf, size_t len, uint32_t timeoutMs, HidEvent* stop,
                       uint32_t* err) override {
        auto start = std::chrono::steady_clock::now();
        for (;;) {
            if (stop && stop->TryTake()) return HidReadResult::kStopped;
            int n;
            {
                std::lock_guard<std::mutex> lock(m_mu);
                if (!m_open) {
                    if (err) *err = kErrInvalidHandle;
                    return HidReadResult::kError;
                }
                // hidraw hands the report without its ID when the device uses none; ours
                // always carries one, so the buffer is filled as the system would.
                n = hid_read_timeout(m_dev, buf, len, 20);
            }
            if (n > 0) return HidReadResult::kOk;
            if (n < 0) {
                if (err) *err = PathExists(m_path) ? kErrGenFailure : kErrDeviceNotConnected;
                return HidReadResult::kError;
            }
            auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start);
            if (timeoutMs != kHidInfinite && waited.count() >= timeoutMs) {
                if (err) *err = kErrTimeout;
                return HidReadResult::kTimeout;
            }
        }
    }

    void Close() override { m_open = false; }
    bool IsOpen() const override { return m_open; }

  private:
    static bool Fail(uint32_t* err, uint32_t e) {
        if (err) *err = e;
        return false;
    }
    std::mutex m_mu;
    hid_device* m_dev;
    std::string m_path;
    HidAttributes m_attr;
    std::atomic<bool> m_open{true};
};

class HidrawBackend : public HidBackend {
  public:
    bool Enumerate(std::vector<HidInterfaceDesc>* out, uint32_t* err) override {
        std::lock_guard<std::mutex> lock(g_hidapiMu);
        if (hid_init() != 0) {
            if (err) *err = kErrGenFailure;
            return false;
        }
        hid_device_info* list = hid_enumerate(0, 0);
        std::set<std::string> seen;
        for (hid_device_info* d = list; d; d = d->next) {
            if (!d->path || !seen.insert(d->path).second) continue;
            std::vector<uint8_t> desc = ReadReportDescriptor(d->path);
            for (HidInterfaceDesc info : ParseReportDescriptor(desc.data(), desc.size())) {
                info.path = d->path;
                info.vid = d->vendor_id;
                info.pid = d->product_id;
                info.version = d->release_number;
                out->push_back(info);
            }
        }
        hid_free_enumeration(list);
        return true;
    }

    HidHandle Open(const std::string& path, HidOpenMode, uint32_t* err) override {
        std::lock_guard<std::mutex> lock(g_hidapiMu);
        if (hid_init() != 0) {
            if (err) *err = kErrGenFailure;
            return nullptr;
        }
        hid_device* dev = hid_open_path(path.c_str());
        if (!dev) {
            if (err) *err = PathExists(path) ? kErrAccessDenied : kErrFileNotFound;
            return nullptr;
        }
        HidAttributes attr;
        if (hid_device_info* info = hid_get_device_info(dev)) {
            attr.vid = info->vendor_id;
            attr.pid = info->product_id;
            attr.version = info->release_number;
        }
        return std::make_shared<HidrawDevice>(dev, path, attr);
    }
};

}  // namespace

std::shared_ptr<HidBackend> CreateSystemHidBackend() {
    return std::make_shared<HidrawBackend>();
}

#else

namespace {
class NoHidBackend : public HidBackend {
  public:
    bool Enumerate(std::vector<HidInterfaceDesc>*, uint32_t*) override { return true; }
    HidHandle Open(const std::string&, HidOpenMode, uint32_t* err) override {
        if (err) *err = kErrFileNotFound;
        return nullptr;
    }
};
}  // namespace

std::shared_ptr<HidBackend> CreateSystemHidBackend() {
    return std::make_shared<NoHidBackend>();
}

#endif

}  // namespace platform
