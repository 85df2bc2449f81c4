#include "sim/sim_control.h"

#include <chrono>
#include <cstdlib>

#include "base/log.h"
#include "platform/fs.h"
#include "platform/sys.h"
#include "sim/sim_faults.h"

namespace sim {

namespace {
constexpr uint32_t kPollMs = 100;
// A command file is a few bytes; anything larger is not ours.
constexpr size_t kMaxCommandBytes = 256;

std::vector<std::string> SplitWords(const std::string& text) {
    return SplitOn(text, " \t\r\n");
}
}  // namespace

std::optional<ControlCommand> ParseControl(const std::vector<std::string>& w, std::string* why) {
    auto fail = [&](const std::string& m) -> std::optional<ControlCommand> {
        if (why) *why = m;
        return std::nullopt;
    };
    if (w.empty())
        return fail("sim needs an action: dpi-button, profile-button, unplug, replug, battery");
    ControlCommand c;
    const std::string& a = w[0];
    size_t words = 1;
    if (a == "dpi-button") {
        c.kind = ControlCommand::kDpiButton;
    } else if (a == "profile-button") {
        c.kind = ControlCommand::kProfileButton;
    } else if (a == "unplug") {
        c.kind = ControlCommand::kUnplug;
    } else if (a == "replug") {
        c.kind = ControlCommand::kReplug;
    } else if (a == "battery") {
        c.kind = ControlCommand::kBattery;
        if (w.size() < 2) return fail("battery needs a level 0 to 100");
        const std::string& v = w[1];
        if (v.empty() || v.size() > 3 || v.find_first_not_of("0123456789") != std::string::npos)
            return fail("battery level \"" + v + "\" is not a number 0 to 100");
        c.level = std::atoi(v.c_str());
        if (c.level > 100) return fail("battery level " + v + " is above 100");
        words = 2;
        if (w.size() > 2 && w[2] == "charging") {
            c.charging = true;
            words = 3;
        }
    } else {
        return fail("unknown sim action \"" + a + "\"");
    }
    if (w.size() > words) return fail("unexpected \"" + w[words] + "\" after " + a);
    return c;
}

std::string FormatControl(const ControlCommand& c) {
    switch (c.kind) {
        case ControlCommand::kDpiButton:
            return "dpi-button";
        case ControlCommand::kProfileButton:
            return "profile-button";
        case ControlCommand::kUnplug:
            return "unplug";
        case ControlCommand::kReplug:
            return "replug";
        case ControlCommand::kBattery:
            return "battery " + std::to_string(c.level) + (c.charging ? " charging" : "");
    }
    return "";
}

std::string ControlFilePath(const std::string& statePath) {
    return statePath + ".cmd";
}

bool SendControl(const std::string& statePath, const ControlCommand& c, uint32_t waitMs,
                 std::string* why) {
    const std::string path = ControlFilePath(statePath);
    const uint32_t start = platform::GetTickCount();
    // One command at a time: a command not yet taken is never overwritten.
    while (platform::FileExists(path)) {
        if (platform::GetTickCount() - start >= waitMs) {
            if (why) *why = "an earlier command in " + path + " was never taken";
            return false;
        }
        platform::Sleep(20);
    }
    const std::string line = FormatControl(c) + "\n";
    uint32_t err = 0;
    if (!platform::WriteFileAtomic(path, line.data(), line.size(), &err)) {
        if (why) *why = "cannot write " + path + " (error " + std::to_string(err) + ")";
        return false;
    }
    while (platform::FileExists(path)) {
        if (platform::GetTickCount() - start >= waitMs) {
            // Nobody runs this mouse: the command must not surprise a program started later.
            platform::RemoveFile(path);
            if (why) *why = "no running program with ZORVAN_SIM=" + statePath + " took the command";
            return false;
        }
        platform::Sleep(10);
    }
    return true;
}

ControlWatcher::ControlWatcher(std::shared_ptr<VirtualReceiver> rx, std::string statePath,
                               PlugListener onPlug)
    : m_rx(std::move(rx)), m_path(ControlFilePath(statePath)), m_onPlug(std::move(onPlug)) {
    // A command left over from an earlier run is stale.
    platform::RemoveFile(m_path);
    m_thread = std::thread([this] { Run(); });
}

ControlWatcher::~ControlWatcher() {
    {
        std::lock_guard<std::mutex> lock(m_mu);
        m_stop = true;
        if (m_watch) m_watch->Stop();
    }
    m_cv.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void ControlWatcher::Run() {
    // The sender renames the command file into the state file's folder: a change there wakes
    // this worker, which otherwise sleeps.
    uint32_t err = 0;
    std::string folder = platform::DirectoryOf(m_path);
    if (folder.empty()) folder = ".";
    std::unique_ptr<platform::FolderWatch> watch = platform::WatchFolder(folder, &err);
    if (!watch)
        LogPrintf("virtual mouse: no change notification for %s (error %u), looking every %u ms",
                  m_path.c_str(), err, kPollMs);
    {
        std::lock_guard<std::mutex> lock(m_mu);
        if (m_stop) return;
        m_watch = watch.get();
    }
    // A command written before the watch began.
    Poll();
    for (;;) {
        if (watch) {
            const platform::FolderWake wake = watch->Wait(platform::kWaitForever);
            if (wake == platform::FolderWake::kStopped) break;
            if (wake == platform::FolderWake::kFailed) {
                LogPrintf("virtual mouse: the change notification failed, looking every %u ms",
                          kPollMs);
                std::lock_guard<std::mutex> lock(m_mu);
                m_watch = nullptr;
                watch.reset();
            }
        } else {
            std::unique_lock<std::mutex> lock(m_mu);
            m_cv.wait_for(lock, std::chrono::milliseconds(kPollMs), [this] { return m_stop; });
            if (m_stop) break;
        }
        Poll();
    }
    std::lock_guard<std::mutex> lock(m_mu);
    m_watch = nullptr;
}

void ControlWatcher::Poll() {
    if (!platform::FileExists(m_path)) return;
    std::vector<uint8_t> bytes;
    uint32_t err = 0;
    if (!platform::ReadFilePrefix(m_path, kMaxCommandBytes, bytes, &err)) {
        LogPrintf("virtual mouse: cannot read %s (error %u)", m_path.c_str(), err);
    } else {
        std::string why;
        if (auto c = ParseControl(SplitWords(std::string(bytes.begin(), bytes.end())), &why))
            Apply(*c);
        else
            LogPrintf("virtual mouse: command refused: %s", why.c_str());
    }
    // Removed once carried out (or refused): the sender waits for this, so a command that
    // returned has happened.
    platform::RemoveFile(m_path);
}

void ControlWatcher::Apply(const ControlCommand& c) {
    LogPrintf("virtual mouse: %s", FormatControl(c).c_str());
    switch (c.kind) {
        case ControlCommand::kDpiButton:
            m_rx->PressDpiButton();
            break;
        case ControlCommand::kProfileButton:
            m_rx->PressProfileButton();
            break;
        case ControlCommand::kUnplug:
            if (!m_rx->Plugged()) break;
            m_rx->Unplug();
            if (m_onPlug) m_onPlug(false, m_rx->UsbDevicePath());
            break;
        case ControlCommand::kReplug:
            if (m_rx->Plugged()) break;
            m_rx->Replug();
            if (m_onPlug) m_onPlug(true, m_rx->UsbDevicePath());
            break;
        case ControlCommand::kBattery:
            m_rx->WithMouse([&](VirtualMouse& m) {
                m.State().battery = c.level;
                m.State().charging = c.charging;
            });
            break;
    }
}

}  // namespace sim
