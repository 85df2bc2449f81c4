#include "sim/virtual_receiver.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "base/ini_file.h"
#include "base/log.h"
#include "platform/fs.h"
#include "platform/sys.h"
#include "sim/sim_faults.h"

namespace sim {

namespace {

using Clock = std::chrono::steady_clock;

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string MakePath(const ReceiverConfig& cfg, int index, int col) {
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "\\\\?\\hid#vid_%04x&pid_%04x&mi_01&col%02d#zvsim%d&0&0000#"
                  "{4d1e55b2-f16f-11cf-88cb-001111000030}",
                  cfg.vid & 0xFFFF, cfg.pid & 0xFFFF, col, index);
    return buf;
}

class SimHandle : public platform::HidDevice {
  public:
    SimHandle(std::shared_ptr<VirtualReceiver> rx, bool notify, uint64_t epoch)
        : m_rx(std::move(rx)), m_notify(notify), m_epoch(epoch) {
        if (m_notify) m_queue = m_rx->OpenQueue();
    }
    ~SimHandle() override { Close(); }

    bool GetAttributes(platform::HidAttributes* attr, uint32_t* err) override {
        if (!m_open) return Fail(err, platform::kErrInvalidHandle);
        if (!m_rx->Plugged() || m_rx->Epoch() != m_epoch)
            return Fail(err, platform::kErrDeviceNotConnected);
        attr->vid = m_rx->Config().vid;
        attr->pid = m_rx->Config().pid;
        attr->version = m_rx->Config().version;
        return true;
    }
    bool SetFeature(const uint8_t* report, size_t len, uint32_t* err) override {
        if (!m_open) return Fail(err, platform::kErrInvalidHandle);
        if (m_notify) return Fail(err, platform::kErrInvalidParameter);
        return m_rx->OnFeature(m_epoch, report, len, err);
    }
    platform::HidReadResult Read(uint8_t* buf, size_t len, uint32_t timeoutMs,
                                 platform::HidEvent* stop, uint32_t* err) override {
        if (!m_open || !m_queue) {
            if (err) *err = m_open ? platform::kErrInvalidParameter : platform::kErrInvalidHandle;
            return platform::HidReadResult::kError;
        }
        return m_rx->Read(m_epoch, m_queue, buf, len, timeoutMs, stop, err);
    }
    void Close() override {
        if (m_open.exchange(false) && m_queue) m_rx->CloseQueue(m_queue);
    }
    bool IsOpen() const override { return m_open; }

  private:
    static bool Fail(uint32_t* err, uint32_t e) {
        if (err) *err = e;
        return false;
    }
    std::shared_ptr<VirtualReceiver> m_rx;
    bool m_notify;
    uint64_t m_epoch;
    std::shared_ptr<VirtualReceiver::InputQueue> m_queue;
    std::atomic<bool> m_open{true};
};

}  // namespace

VirtualReceiver::VirtualReceiver(int index, const ReceiverConfig& cfg)
    : m_index(index), m_cfg(cfg), m_mouse(cfg.cid, cfg.mid, cfg.factory) {
    m_mouse.State().on = cfg.mouseOn;
}

std::string VirtualReceiver::CmdPath() const {
    return MakePath(m_cfg, m_index, 2);
}
std::string VirtualReceiver::NotifyPath() const {
    return MakePath(m_cfg, m_index, 1);
}

std::string VirtualReceiver::UsbDevicePath() const {
    char buf[128];
    std::snprintf(buf, sizeof buf,
                  "\\\\?\\USB#VID_%04X&PID_%04X#zvsim%d#{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
                  m_cfg.vid & 0xFFFF, m_cfg.pid & 0xFFFF, m_index);
    return buf;
}

void VirtualReceiver::SetLatency(uint32_t ms) {
    std::lock_guard<std::mutex> lock(m_mu);
    m_cfg.latencyMs = ms;
}

void VirtualReceiver::InjectFault(const Fault& f) {
    std::lock_guard<std::mutex> lock(m_mu);
    m_faults.push_back(f);
    m_faultSeen.push_back(0);
}

void VirtualReceiver::ClearFaults() {
    std::lock_guard<std::mutex> lock(m_mu);
    m_faults.clear();
    m_faultSeen.clear();
}

void VirtualReceiver::Unplug() {
    {
        std::lock_guard<std::mutex> lock(m_mu);
        m_plugged = false;
    }
    m_cv.notify_all();
}

void VirtualReceiver::Replug() {
    std::lock_guard<std::mutex> lock(m_mu);
    m_plugged = true;
    ++m_epoch;
}

bool VirtualReceiver::Plugged() const {
    std::lock_guard<std::mutex> lock(m_mu);
    return m_plugged;
}

uint64_t VirtualReceiver::Epoch() const {
    std::lock_guard<std::mutex> lock(m_mu);
    return m_epoch;
}

void VirtualReceiver::SetMouseOn(bool on) {
    std::lock_guard<std::mutex> lock(m_mu);
    m_mouse.State().on = on;
    SaveLocked();
}

void VirtualReceiver::WithMouse(const std::function<void(VirtualMouse&)>& f) {
    std::lock_guard<std::mutex> lock(m_mu);
    f(m_mouse);
    SaveLocked();
}

std::pair<uint32_t, uint32_t> VirtualReceiver::MouseIdentity() const {
    std::lock_guard<std::mutex> lock(m_mu);
    return {m_mouse.State().cid, m_mouse.State().mid};
}

std::vector<std::array<uint8_t, 17>> VirtualReceiver::ReceivedReports() const {
    std::lock_guard<std::mutex> lock(m_mu);
    return m_received;
}

void VirtualReceiver::ClearReceivedReports() {
    std::lock_guard<std::mutex> lock(m_mu);
    m_received.clear();
}

void VirtualReceiver::MouseEvent(const std::function<std::array<uint8_t, 17>(VirtualMouse&)>& f) {
    {
        std::lock_guard<std::mutex> lock(m_mu);
        if (!m_plugged || !m_mouse.State().on) return;
        DeliverLocked(f(m_mouse), m_cfg.latencyMs);
        SaveLocked();
    }
    m_cv.notify_all();
}

void VirtualReceiver::PressDpiButton() {
    MouseEvent([](VirtualMouse& m) { return m.PressDpiButton(); });
}
void VirtualReceiver::ChangeRate(uint8_t ms) {
    MouseEvent([ms](VirtualMouse& m) { return m.ChangeRate(ms); });
}
void VirtualReceiver::SwitchProfile(int p) {
    MouseEvent([p](VirtualMouse& m) { return m.SwitchProfile(p); });
}
void VirtualReceiver::PressProfileButton() {
    MouseEvent([](VirtualMouse& m) { return m.SwitchProfile(m.State().profile + 1); });
}
void VirtualReceiver::FactoryReset() {
    MouseEvent([](VirtualMouse& m) { return m.FactoryReset(); });
}
void VirtualReceiver::LightingChanged(uint8_t flags) {
    MouseEvent([flags](VirtualMouse& m) { return m.LightingChanged(flags); });
}
void VirtualReceiver::SendInputReport(const std::array<uint8_t, 17>& report) {
    {
        std::lock_guard<std::mutex> lock(m_mu);
        DeliverLocked(report, 0);
    }
    m_cv.notify_all();
}

std::shared_ptr<VirtualReceiver::InputQueue> VirtualReceiver::OpenQueue() {
    auto q = std::make_shared<InputQueue>();
    std::lock_guard<std::mutex> lock(m_mu);
    std::erase_if(m_queues, [](const std::weak_ptr<InputQueue>& w) { return w.expired(); });
    m_queues.push_back(q);
    return q;
}

void VirtualReceiver::CloseQueue(const std::shared_ptr<InputQueue>& q) {
    {
        std::lock_guard<std::mutex> lock(m_mu);
        q->closed = true;
        q->q.clear();
    }
    m_cv.notify_all();
}

void VirtualReceiver::DeliverLocked(const std::array<uint8_t, 17>& report, uint32_t delayMs) {
    // Every open handle of the notify interface gets its own copy, as with the system's driver.
    auto at = Clock::now() + std::chrono::milliseconds(delayMs);
    for (auto& w : m_queues)
        if (auto q = w.lock(); q && !q->closed) {
            auto pos = std::upper_bound(q->q.begin(), q->q.end(), at,
                                        [](auto t, const auto& e) { return t < e.first; });
            q->q.insert(pos, {at, report});
        }
}

void VirtualReceiver::SaveLocked() {
    if (m_cfg.statePath.empty()) return;
    std::string text = m_mouse.Serialize();
    uint32_t err = 0;
    if (!platform::WriteFileAtomic(m_cfg.statePath, text.data(), text.size(), &err))
        LogPrintf("virtual mouse: cannot save %s (error %u)", m_cfg.statePath.c_str(), err);
}

bool VirtualReceiver::LoadState(std::string* why) {
    std::lock_guard<std::mutex> lock(m_mu);
    if (m_cfg.statePath.empty() || !platform::FileExists(m_cfg.statePath)) return true;
    std::vector<uint8_t> bytes;
    uint32_t err = 0;
    if (!platform::ReadFilePrefix(m_cfg.statePath, 1 << 20, bytes, &err)) {
        if (why) *why = "cannot read the state file (error " + std::to_string(err) + ")";
        return false;
    }
    return m_mouse.Parse(std::string(bytes.begin(), bytes.end()), why);
}

bool VirtualReceiver::OnFeature(uint64_t epoch, const uint8_t* report, size_t len, uint32_t* err) {
    {
        std::lock_guard<std::mutex> lock(m_mu);
        if (!m_plugged || epoch != m_epoch) {
            if (err) *err = platform::kErrDeviceNotConnected;
            return false;
        }
        if (len != 17 || report[0] != 0x08) {
            if (err) *err = platform::kErrInvalidParameter;
            return false;
        }
        std::array<uint8_t, 17> req;
        std::memcpy(req.data(), report, 17);
        const uint8_t cmd = req[1];

        const Fault* fault = nullptr;
        for (size_t i = 0; i < m_faults.size(); ++i) {
            Fault& f = m_faults[i];
            if (f.cmd >= 0 && f.cmd != cmd) continue;
            int n = m_faultSeen[i]++;
            if (n >= f.skip && (f.times < 0 || n < f.skip + f.times)) {
                fault = &f;
                break;
            }
        }
        if (fault && fault->kind == FaultKind::kUnplug) {
            m_plugged = false;
            if (err) *err = platform::kErrDeviceNotConnected;
            m_cv.notify_all();
            return false;
        }
        if (fault && fault->kind == FaultKind::kSendFails) {
            if (err) *err = platform::kErrGenFailure;
            return false;
        }
        m_received.push_back(req);
        std::array<uint8_t, 17> reply{};
        bool answer;
        if (fault && fault->kind == FaultKind::kBadStatus) {
            // Refused: the mouse does nothing with it.
            reply[0] = 0x09;
            std::memcpy(&reply[1], &req[1], 5);
            answer = true;
        } else {
            const bool shownBefore = m_mouse.State().driverShown;
            answer = m_mouse.Handle(req.data(), reply.data());
            // Whether the program's window is shown is kept too, once it changes: an observer
            // of the state file sees it without the program's log, which a second instance
            // writes to as well. (A command-line run that only reads leaves the file alone.)
            if (m_mouse.State().driverShown != shownBefore) SaveLocked();
        }
        if (cmd == 0x07 || cmd == 0x09 || cmd == 0x10) SaveLocked();
        uint32_t delay = m_cfg.latencyMs;
        if (fault) {
            switch (fault->kind) {
                case FaultKind::kNoReply:
                    answer = false;
                    break;
                case FaultKind::kBadStatus:
                    reply[2] = 0x01;
                    break;
                case FaultKind::kOtherCommand:
                    reply[1] = fault->otherCmd ? fault->otherCmd : uint8_t(cmd + 1);
                    break;
                case FaultKind::kGarbage:
                    for (size_t k = 1; k < 17; ++k)
                        reply[k] = static_cast<uint8_t>(0xE5 ^ (k * 37));
                    break;
                case FaultKind::kLateReply:
                    delay += fault->delayMs;
                    break;
                default:
                    break;
            }
        }
        if (answer) DeliverLocked(reply, delay);
        // A mouse told to switch profile announces the switch as it does for its own profile
        // button; the configuration window follows that notification, not its own command.
        if (cmd == 0x10 && answer && !fault && reply[2] == 0)
            DeliverLocked(m_mouse.SwitchProfile(m_mouse.State().profile), delay);
    }
    m_cv.notify_all();
    return true;
}

platform::HidReadResult VirtualReceiver::Read(uint64_t epoch, const std::shared_ptr<InputQueue>& q,
                                              uint8_t* buf, size_t len, uint32_t timeoutMs,
                                              platform::HidEvent* stop, uint32_t* err) {
    const auto deadline = timeoutMs == platform::kHidInfinite
                              ? Clock::time_point::max()
                              : Clock::now() + std::chrono::milliseconds(timeoutMs);
    // A stop wakes this wait as a report does: the reader sleeps until one of them comes.
    // The listener is set and cleared outside the lock it takes.
    struct Listening {
        platform::HidEvent* stop;
        ~Listening() {
            if (stop) stop->SetListener(nullptr);
        }
    } listening{stop};
    if (stop) {
        stop->SetListener([this] {
            std::lock_guard<std::mutex> l(m_mu);
            m_cv.notify_all();
        });
    }
    std::unique_lock<std::mutex> lock(m_mu);
    for (;;) {
        if (q->closed) {
            if (err) *err = platform::kErrInvalidHandle;
            return platform::HidReadResult::kError;
        }
        if (!m_plugged || epoch != m_epoch) {
            if (err) *err = platform::kErrDeviceNotConnected;
            return platform::HidReadResult::kError;
        }
        auto now = Clock::now();
        if (!q->q.empty() && q->q.front().first <= now) {
            std::memcpy(buf, q->q.front().second.data(), std::min<size_t>(len, 17));
            q->q.pop_front();
            return platform::HidReadResult::kOk;
        }
        if (stop && stop->TryTake()) return platform::HidReadResult::kStopped;
        if (now >= deadline) {
            if (err) *err = platform::kErrTimeout;
            return platform::HidReadResult::kTimeout;
        }
        auto until = deadline;
        if (!q->q.empty()) until = std::min(until, q->q.front().first);
        if (until == Clock::time_point::max())
            m_cv.wait(lock);
        else
            m_cv.wait_until(lock, until);
    }
}

// ---- backend ----------------------------------------------------------------------------

std::shared_ptr<VirtualReceiver> VirtualBackend::AddReceiver(const ReceiverConfig& cfg) {
    std::lock_guard<std::mutex> lock(m_mu);
    auto rx = std::make_shared<VirtualReceiver>(static_cast<int>(m_receivers.size()), cfg);
    m_receivers.push_back(rx);
    return rx;
}

void VirtualBackend::AddOtherInterface(const platform::HidInterfaceDesc& desc) {
    std::lock_guard<std::mutex> lock(m_mu);
    m_others.push_back(desc);
}

std::vector<std::shared_ptr<VirtualReceiver>> VirtualBackend::Receivers() const {
    std::lock_guard<std::mutex> lock(m_mu);
    return m_receivers;
}

bool VirtualBackend::Enumerate(std::vector<platform::HidInterfaceDesc>* out, uint32_t*) {
    std::lock_guard<std::mutex> lock(m_mu);
    for (const auto& d : m_others) out->push_back(d);
    for (const auto& rx : m_receivers) {
        if (!rx->Plugged()) continue;
        const ReceiverConfig& c = rx->Config();
        platform::HidInterfaceDesc n;
        n.path = rx->NotifyPath();
        n.inputReportLength = 17;
        n.usagePage = 0xFF01;
        n.usage = 0;
        n.vid = c.vid;
        n.pid = c.pid;
        n.version = c.version;
        platform::HidInterfaceDesc cmd = n;
        cmd.path = rx->CmdPath();
        cmd.inputReportLength = 0;
        cmd.featureReportLength = 17;
        cmd.usagePage = 0xFF02;
        cmd.usage = 2;
        out->push_back(n);
        out->push_back(cmd);
    }
    return true;
}

platform::HidHandle VirtualBackend::Open(const std::string& path, platform::HidOpenMode,
                                         uint32_t* err) {
    std::lock_guard<std::mutex> lock(m_mu);
    std::string want = Lower(path);
    for (const auto& rx : m_receivers) {
        if (!rx->Plugged()) continue;
        bool cmd = Lower(rx->CmdPath()) == want, notify = Lower(rx->NotifyPath()) == want;
        if (cmd || notify) return std::make_shared<SimHandle>(rx, notify, rx->Epoch());
    }
    if (err) *err = platform::kErrFileNotFound;
    return nullptr;
}

// ---- environment --------------------------------------------------------------------------

void FirstCatalogueMouse(const std::string& cfgIniPath, uint32_t* cid, uint32_t* mid) {
    IniFile ini = IniFile::Load(cfgIniPath);
    *cid = *mid = 0;
    for (int n = 1; n <= 30; ++n) {
        std::string section = "DEV_" + std::to_string(n);
        if (ini.GetInt(section, "Sensor", 0) == 0) continue;
        *cid = static_cast<uint32_t>(ini.GetInt(section, "CID", 0)) & 0xFF;
        *mid = static_cast<uint32_t>(ini.GetInt(section, "MID", 0)) & 0xFF;
        return;
    }
}

std::shared_ptr<VirtualReceiver> UseVirtualReceiverIfRequested(const std::string& cfgIniPath,
                                                               uint32_t vid, uint32_t pid) {
    std::string value = platform::GetEnv("ZORVAN_SIM");
    if (value.empty() || value == "0") return nullptr;
    ReceiverConfig cfg;
    cfg.vid = vid & 0xFFFF;
    if (pid) cfg.pid = pid;
    CatalogueMouse(cfgIniPath, "", &cfg.cid, &cfg.mid, &cfg.factory, nullptr);
    if (value != "1") cfg.statePath = value;
    auto backend = std::make_shared<VirtualBackend>();
    auto rx = backend->AddReceiver(cfg);
    std::string why;
    if (!rx->LoadState(&why))
        LogPrintf("virtual mouse: state file %s not used: %s", value.c_str(), why.c_str());
    if (!ApplyFaultsFromEnvironment(*rx, &why))
        LogPrintf("virtual mouse: no faults injected: %s", why.c_str());
    platform::SetHidBackend(backend);
    return rx;
}

}  // namespace sim
