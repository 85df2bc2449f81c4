// Driving a running program's virtual mouse from another process. The program that owns the
// virtual receiver watches a small command file beside the mouse's state file ("<state>.cmd");
// another process writes one command into it (atomically) and waits until the owner has
// carried it out (the file is gone). The state file itself is only ever written by its owner,
// so it is never torn by the controlling process.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/folder_watch.h"
#include "sim/virtual_receiver.h"

namespace sim {

struct ControlCommand {
    enum Kind { kDpiButton, kProfileButton, kUnplug, kReplug, kBattery } kind = kDpiButton;
    int level = 0;  // kBattery: 0 to 100
    bool charging = false;
};

// "dpi-button", "profile-button", "unplug", "replug", "battery <0-100> [charging]".
std::optional<ControlCommand> ParseControl(const std::vector<std::string>& words, std::string* why);
std::string FormatControl(const ControlCommand& c);

std::string ControlFilePath(const std::string& statePath);

// Hands `c` to the program that runs the virtual mouse of `statePath` and waits up to `waitMs`
// until it has carried the command out. false with the reason in `why`.
bool SendControl(const std::string& statePath, const ControlCommand& c, uint32_t waitMs,
                 std::string* why);

// The owner's side: a worker that sleeps until the state file's folder changes (the system's
// change notification), then carries out the command it finds on the receiver; nothing runs
// while no command comes. Where the system gives no notification it looks every 100 ms.
// `onPlug` hears the receiver leave (false) and return (true) with its USB device path, as the
// system's device notifications would report it; it runs on the worker.
class ControlWatcher {
  public:
    using PlugListener = std::function<void(bool arrival, const std::string& path)>;
    ControlWatcher(std::shared_ptr<VirtualReceiver> rx, std::string statePath, PlugListener onPlug);
    ~ControlWatcher();
    ControlWatcher(const ControlWatcher&) = delete;
    ControlWatcher& operator=(const ControlWatcher&) = delete;

    // Carries out one command now (also used by the worker).
    void Apply(const ControlCommand& c);

  private:
    void Run();
    void Poll();

    std::shared_ptr<VirtualReceiver> m_rx;
    std::string m_path;
    PlugListener m_onPlug;
    std::mutex m_mu;
    std::condition_variable m_cv;
    bool m_stop = false;
    platform::FolderWatch* m_watch = nullptr;  // the worker's, while it waits on it
    std::thread m_thread;
};

}  // namespace sim
