// Driving a running virtual mouse from another process: the command words, the hand-over
// through the command file, and what the mouse and the receiver then do.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "platform/fs.h"
#include "platform/sys.h"
#include "sim/sim_control.h"
#include "support/temp_dir.h"

namespace {

TEST(SimControl, CommandWords) {
    struct Case {
        std::vector<std::string> words;
        const char* formatted;  // nullptr: refused
    };
    const Case cases[] = {
        {{"dpi-button"}, "dpi-button"},
        {{"profile-button"}, "profile-button"},
        {{"unplug"}, "unplug"},
        {{"replug"}, "replug"},
        {{"battery", "40"}, "battery 40"},
        {{"battery", "100", "charging"}, "battery 100 charging"},
        {{"battery", "0"}, "battery 0"},
        {{"battery", "101"}, nullptr},
        {{"battery", "-1"}, nullptr},
        {{"battery", "4x"}, nullptr},
        {{"battery"}, nullptr},
        {{"battery", "40", "fast"}, nullptr},
        {{"unplug", "now"}, nullptr},
        {{"jump"}, nullptr},
        {{}, nullptr},
    };
    for (const Case& c : cases) {
        std::string why;
        auto cmd = sim::ParseControl(c.words, &why);
        ASSERT_EQ(cmd.has_value(), c.formatted != nullptr) << (c.words.empty() ? "" : c.words[0]);
        if (cmd) {
            EXPECT_EQ(sim::FormatControl(*cmd), c.formatted);
        } else {
            EXPECT_FALSE(why.empty());
        }
    }
}

class SimControlRun : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::ReceiverConfig rc;
        rc.vid = 0x25A7;
        rc.pid = 0x5A01;
        rc.cid = 0x10;
        rc.mid = 0x1A;
        rc.statePath = dir / "mouse.state";
        rx = backend.AddReceiver(rc);
        uint32_t err = 0;
        notify = backend.Open(rx->NotifyPath(), platform::HidOpenMode::kReadAsync, &err);
        ASSERT_TRUE(notify);
    }
    bool Send(const std::vector<std::string>& words) {
        std::string why;
        auto c = sim::ParseControl(words, &why);
        return c && sim::SendControl(dir / "mouse.state", *c, 3000, &why);
    }
    int Level() {
        int level = -1;
        rx->WithMouse([&](sim::VirtualMouse& m) { level = m.Peek(0x04, 1)[0]; });
        return level;
    }

    zvtest::TempDir dir;
    sim::VirtualBackend backend;
    std::shared_ptr<sim::VirtualReceiver> rx;
    platform::HidHandle notify;
    std::mutex mu;
    std::vector<std::pair<bool, std::string>> plugs;
};

TEST_F(SimControlRun, ButtonsReachTheRunningMouseAsNotifications) {
    sim::ControlWatcher watcher(rx, dir / "mouse.state", nullptr);
    const int before = Level();
    ASSERT_TRUE(Send({"dpi-button"}));
    uint8_t buf[17] = {};
    uint32_t err = 0;
    ASSERT_EQ(notify->Read(buf, 17, 2000, nullptr, &err), platform::HidReadResult::kOk);
    EXPECT_EQ(buf[6], sim::kEvDpiLevel);
    EXPECT_NE(Level(), before);
    EXPECT_EQ(buf[7], Level());
    EXPECT_FALSE(platform::FileExists(sim::ControlFilePath(dir / "mouse.state")));

    ASSERT_TRUE(Send({"profile-button"}));
    ASSERT_EQ(notify->Read(buf, 17, 2000, nullptr, &err), platform::HidReadResult::kOk);
    EXPECT_EQ(buf[6], sim::kEvProfile);
    EXPECT_EQ(buf[10], 1);

    ASSERT_TRUE(Send({"battery", "37", "charging"}));
    // The battery is the mouse's answer to the next poll, not a notification.
    rx->WithMouse([](sim::VirtualMouse& m) {
        EXPECT_EQ(m.State().battery, 37);
        EXPECT_TRUE(m.State().charging);
    });
    // The running mouse keeps its state file; a reader of it sees the same mouse.
    sim::VirtualMouse copy(0, 0);
    std::string why;
    ASSERT_TRUE(copy.Parse(dir.Read("mouse.state"), &why)) << why;
    EXPECT_EQ(copy.State().battery, 37);
    EXPECT_EQ(copy.State().profile, 1);
}

TEST_F(SimControlRun, UnplugAndReplugAreReportedWithTheUsbPath) {
    sim::ControlWatcher watcher(rx, dir / "mouse.state",
                                [this](bool arrival, const std::string& p) {
                                    std::lock_guard<std::mutex> lock(mu);
                                    plugs.emplace_back(arrival, p);
                                });
    ASSERT_TRUE(Send({"unplug"}));
    EXPECT_FALSE(rx->Plugged());
    platform::HidAttributes attr;
    uint32_t err = 0;
    EXPECT_FALSE(notify->GetAttributes(&attr, &err));
    EXPECT_EQ(err, platform::kErrDeviceNotConnected);
    ASSERT_TRUE(Send({"unplug"}));  // already out: nothing more is reported
    ASSERT_TRUE(Send({"replug"}));
    EXPECT_TRUE(rx->Plugged());

    std::lock_guard<std::mutex> lock(mu);
    ASSERT_EQ(plugs.size(), 2u);
    EXPECT_FALSE(plugs[0].first);
    EXPECT_TRUE(plugs[1].first);
    EXPECT_NE(plugs[0].second.find("VID_25A7&PID_5A01"), std::string::npos) << plugs[0].second;
}

TEST_F(SimControlRun, NobodyListeningFailsAndLeavesNoCommandBehind) {
    std::string why;
    sim::ControlCommand c;
    EXPECT_FALSE(sim::SendControl(dir / "mouse.state", c, 300, &why));
    EXPECT_NE(why.find("no running program"), std::string::npos) << why;
    EXPECT_FALSE(platform::FileExists(sim::ControlFilePath(dir / "mouse.state")));

    // A command file a dead program never took is not carried out by the next one.
    dir.Write("mouse.state.cmd", "dpi-button\n");
    const int before = Level();
    {
        sim::ControlWatcher watcher(rx, dir / "mouse.state", nullptr);
        platform::Sleep(300);
    }
    EXPECT_EQ(Level(), before);

    // Garbage is refused and taken away, so the sender does not wait for ever.
    sim::ControlWatcher watcher(rx, dir / "mouse.state", nullptr);
    dir.Write("mouse.state.cmd", std::string(5000, '\xFF'));
    for (int i = 0; i < 100 && platform::FileExists(dir / "mouse.state.cmd"); ++i)
        platform::Sleep(20);
    EXPECT_FALSE(platform::FileExists(dir / "mouse.state.cmd"));
    EXPECT_EQ(Level(), before);
}

}  // namespace
