// Virtual receivers: each shows a command interface (feature reports) and a notify interface
// (input reports) with the receiver's vendor and product id, and carries a virtual mouse. A
// VirtualBackend puts them where the program looks for HID interfaces. Link latency, unplugging
// and injected faults make the program's error paths reachable without hardware.
#pragma once
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <string>
#include <vector>

#include "platform/hid.h"
#include "sim/virtual_mouse.h"

namespace sim {

enum class FaultKind {
    kNoReply,       // the command is taken but never answered
    kBadStatus,     // answered with a status other than 0
    kOtherCommand,  // answered as if it were another command
    kGarbage,       // the answer is meaningless bytes
    kLateReply,     // answered after `delayMs`
    kUnplug,        // the receiver is pulled out as this command arrives
    kSendFails,     // the feature report itself is refused
};

struct Fault {
    FaultKind kind = FaultKind::kNoReply;
    int cmd = -1;   // command id it applies to; -1 any
    int skip = 0;   // matching commands let through first
    int times = 1;  // matching commands it then applies to; -1 for ever
    uint32_t delayMs = 1500;
    uint8_t otherCmd = 0;  // for kOtherCommand; 0 means the next command id
};

struct ReceiverConfig {
    uint32_t vid = 0x25A7;
    uint32_t pid = 0x5A01;
    uint32_t version = 0x0102;
    uint32_t cid = 0;
    uint32_t mid = 0;
    bool mouseOn = true;
    uint32_t latencyMs = 0;   // from a feature report to its answer
    std::string statePath;    // where the mouse's state is kept between runs; empty: nowhere
    FactorySettings factory;  // what the mouse holds before any state is loaded
};

class VirtualReceiver : public std::enable_shared_from_this<VirtualReceiver> {
  public:
    VirtualReceiver(int index, const ReceiverConfig& cfg);

    std::string CmdPath() const;
    std::string NotifyPath() const;
    // The path of the receiver's USB device interface, as a system device notification
    // names it when the receiver arrives or leaves.
    std::string UsbDevicePath() const;
    const ReceiverConfig& Config() const { return m_cfg; }

    void SetLatency(uint32_t ms);
    void InjectFault(const Fault& f);
    void ClearFaults();
    // Pulled out: every handle fails with 1167 from now on and enumeration no longer shows it.
    void Unplug();
    // Plugged in again: a new device instance; handles of the old one stay dead.
    void Replug();
    bool Plugged() const;
    void SetMouseOn(bool on);

    // The mouse's own actions, each followed by its notification.
    void PressDpiButton();
    void ChangeRate(uint8_t intervalMs);
    void SwitchProfile(int profile);
    // The profile button under the mouse: the next of the four onboard profiles.
    void PressProfileButton();
    void FactoryReset();
    void LightingChanged(uint8_t flags);
    // Any input report, as if the receiver sent it.
    void SendInputReport(const std::array<uint8_t, 17>& report);

    // Runs `f` on the mouse under the receiver's lock (tests, the command-line tool).
    void WithMouse(const std::function<void(VirtualMouse&)>& f);
    // The mouse's identity, CID and MID, as its state file may have set them; nothing is saved.
    std::pair<uint32_t, uint32_t> MouseIdentity() const;
    // The feature reports received so far (all 17 bytes each), oldest first.
    std::vector<std::array<uint8_t, 17>> ReceivedReports() const;
    void ClearReceivedReports();
    // Loads the state file when there is one; false with a message when it is unusable.
    bool LoadState(std::string* why);

    // Used by the handles.
    struct InputQueue {
        std::deque<std::pair<std::chrono::steady_clock::time_point, std::array<uint8_t, 17>>> q;
        bool closed = false;
    };
    uint64_t Epoch() const;
    bool OnFeature(uint64_t epoch, const uint8_t* report, size_t len, uint32_t* err);
    platform::HidReadResult Read(uint64_t epoch, const std::shared_ptr<InputQueue>& q, uint8_t* buf,
                                 size_t len, uint32_t timeoutMs, platform::HidEvent* stop,
                                 uint32_t* err);
    void CloseQueue(const std::shared_ptr<InputQueue>& q);
    std::shared_ptr<InputQueue> OpenQueue();

  private:
    void DeliverLocked(const std::array<uint8_t, 17>& report, uint32_t delayMs);
    void SaveLocked();
    void MouseEvent(const std::function<std::array<uint8_t, 17>(VirtualMouse&)>& f);

    const int m_index;
    ReceiverConfig m_cfg;
    mutable std::mutex m_mu;
    std::condition_variable m_cv;
    VirtualMouse m_mouse;
    bool m_plugged = true;
    uint64_t m_epoch = 1;
    std::vector<Fault> m_faults;
    std::vector<int> m_faultSeen;
    std::vector<std::weak_ptr<InputQueue>> m_queues;
    std::vector<std::array<uint8_t, 17>> m_received;
};

// A HID backend made of virtual receivers (and, if wanted, other HID interfaces that are not
// receivers, so that recognition has something to pass over).
class VirtualBackend : public platform::HidBackend {
  public:
    std::shared_ptr<VirtualReceiver> AddReceiver(const ReceiverConfig& cfg);
    void AddOtherInterface(const platform::HidInterfaceDesc& desc);
    std::vector<std::shared_ptr<VirtualReceiver>> Receivers() const;

    bool Enumerate(std::vector<platform::HidInterfaceDesc>* out, uint32_t* err) override;
    platform::HidHandle Open(const std::string& path, platform::HidOpenMode mode,
                             uint32_t* err) override;

  private:
    mutable std::mutex m_mu;
    std::vector<std::shared_ptr<VirtualReceiver>> m_receivers;
    std::vector<platform::HidInterfaceDesc> m_others;
};

// The identity of the first mouse of the catalogue in a cfg.ini: the first "DEV_n" section with
// a sensor. 0/0 when there is none.
void FirstCatalogueMouse(const std::string& cfgIniPath, uint32_t* cid, uint32_t* mid);

// When ZORVAN_SIM is set (to 1, or to the path of a state file), installs one virtual receiver
// with the configured vendor and first product id (`pid` 0: the receiver's own) and the first
// catalogue mouse, and returns it; otherwise (unset, empty or 0) returns null and the real HID
// interfaces stay in use.
std::shared_ptr<VirtualReceiver> UseVirtualReceiverIfRequested(const std::string& cfgIniPath,
                                                               uint32_t vid, uint32_t pid);

}  // namespace sim
