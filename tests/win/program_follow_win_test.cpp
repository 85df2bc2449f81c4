// The profile follows the program in front, through the system's real foreground event: windows
// of a thread of this test stand in for programs (the name of each is given by the test), the
// switches are the commands the virtual mouse receives.
#include <gtest/gtest.h>

#include <future>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "profile/eeprom_writer.h"
#include "ui/win/program_follow.h"
#include "win/page_world.h"

namespace {

// Top-level windows of another thread stand in for other programs: the system reports their
// coming to the front as it reports another program's, through the hook's own thread.
class ProgramWindows {
  public:
    explicit ProgramWindows(int count) {
        std::promise<void> made;
        m_thread = std::thread([this, count, &made] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ZorvanTestProgram";
            ::RegisterClassW(&wc);
            for (int i = 0; i < count; ++i)
                wnds.push_back(::CreateWindowExW(0, L"ZorvanTestProgram", L"program",
                                                 WS_POPUP | WS_VISIBLE, 40 + 20 * i, 40, 200, 100,
                                                 nullptr, nullptr, wc.hInstance, nullptr));
            m_tid = ::GetCurrentThreadId();
            made.set_value();
            MSG m;
            while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
                // A program comes to the front by its own doing, as a user's click does it.
                if (!m.hwnd && m.message == kFront)
                    ::SetForegroundWindow(reinterpret_cast<HWND>(m.wParam));
                else
                    ::DispatchMessageW(&m);
            }
            for (HWND w : wnds) ::DestroyWindow(w);
        });
        made.get_future().wait();
    }
    // Brings `w` to the front from its own thread.
    void Front(HWND w) const {
        ::PostThreadMessageW(m_tid, kFront, reinterpret_cast<WPARAM>(w), 0);
    }
    ~ProgramWindows() {
        ::PostThreadMessageW(m_tid, WM_QUIT, 0, 0);
        m_thread.join();
    }
    std::vector<HWND> wnds;

  private:
    static constexpr UINT kFront = WM_APP + 1;
    std::thread m_thread;
    DWORD m_tid = 0;
};

class ProgramFollowWin : public zvtest::PageWorld {
  protected:
    void SetUp() override {
        PageWorld::SetUp();
        game = programs.wnds[0];
        game2 = programs.wnds[1];
        other = programs.wnds[2];
        names = {{game, "Game.exe"}, {game2, "game.exe"}, {other, "other.exe"}};
        follow = std::make_unique<CProgramFollow>(
            [this](int index) { QueueProfileSwitch(mouse.drv, index); },
            [this](HWND w) {
                auto it = names.find(w);
                return it == names.end() ? std::string() : it->second;
            });
        links.defaultProfile = 0;
        links.Set("game.exe", 2);
    }
    void TearDown() override {
        follow.reset();
        PageWorld::TearDown();
    }
    // Brings `w` to the front and waits for what it made the apply thread do.
    void Front(HWND w) {
        // Asked again now and then: right after the test's own windows were shown, the system
        // may still be settling which of them is active.
        for (int i = 0; i < 150 && ::GetForegroundWindow() != w; ++i) {
            if (i % 25 == 0) programs.Front(w);
            zvtest::Pump(20);
        }
        ASSERT_EQ(::GetForegroundWindow(), w);
        // The events reach this thread's message loop.
        zvtest::Pump(100);
        ASSERT_TRUE(WaitApplyDone(10000));
    }
    // The profiles the mouse was told to switch to, in order.
    std::vector<int> Switches() const {
        std::vector<int> out;
        for (const auto& r : mouse.Sent())
            if (r[1] == 0x10) out.push_back(r[6]);
        return out;
    }
    int MouseProfile() {
        int p = -1;
        mouse.rx->WithMouse([&](sim::VirtualMouse& m) { p = m.State().profile; });
        return p;
    }

    ProgramWindows programs{3};
    HWND game = nullptr, game2 = nullptr, other = nullptr;
    std::map<HWND, std::string> names;
    std::unique_ptr<CProgramFollow> follow;
    ProgramLinks links;
};

TEST_F(ProgramFollowWin, LinkedProgramSwitchesOnceUnlinkedReturnsToTheDefault) {
    Front(other);
    follow->SetMouseProfile(0);
    follow->SetLinks(links);
    mouse.rx->ClearReceivedReports();
    Front(game);
    EXPECT_EQ(Switches(), std::vector<int>{2});
    // Another window of the same program, then the same one again: nothing more is sent.
    Front(game2);
    Front(game);
    EXPECT_EQ(Switches(), std::vector<int>{2});
    EXPECT_EQ(MouseProfile(), 2);
    Front(other);
    EXPECT_EQ(Switches(), (std::vector<int>{2, 0}));
    EXPECT_EQ(MouseProfile(), 0);
}

// A window behind the one in front may announce a focus of its own (our controls do it for
// screen readers, Wine does it when a thread's focus returns): the program in front still
// decides, and the linked game keeps its profile.
TEST_F(ProgramFollowWin, AFocusEventOfAWindowBehindChangesNothing) {
    Front(other);
    follow->SetMouseProfile(0);
    follow->SetLinks(links);
    Front(game);
    mouse.rx->ClearReceivedReports();
    ::NotifyWinEvent(EVENT_OBJECT_FOCUS, other, OBJID_CLIENT, CHILDID_SELF);
    zvtest::Pump(200);
    ASSERT_TRUE(WaitApplyDone(10000));
    EXPECT_EQ(Switches(), std::vector<int>{});
    EXPECT_EQ(MouseProfile(), 2);
}

TEST_F(ProgramFollowWin, NoLinkNoHook) {
    follow->SetLinks({});
    EXPECT_FALSE(follow->HookInstalled());
    Front(game);
    Front(other);
    EXPECT_TRUE(Switches().empty());
    follow->SetLinks(links);
    EXPECT_TRUE(follow->HookInstalled());
    follow->SetLinks({});
    EXPECT_FALSE(follow->HookInstalled());
}

// A switch placed while the apply thread writes goes out after the write's last command, so
// the write never ends up half in one profile and half in another.
TEST_F(ProgramFollowWin, TheSwitchWaitsForTheWriteRunning) {
    Front(other);
    follow->SetMouseProfile(0);
    follow->SetLinks(links);
    mouse.rx->SetLatency(5);
    mouse.rx->ClearReceivedReports();
    // The whole profile: several seconds of writes.
    RequestApply(0x007F, kAllItems);
    programs.Front(game);
    for (int i = 0; i < 100 && ::GetForegroundWindow() != game; ++i) zvtest::Pump(20);
    zvtest::Pump(100);
    // The switch was placed while the write still runs.
    ASSERT_FALSE(WaitApplyDone(0));
    ASSERT_TRUE(WaitApplyDone(20000));
    const auto sent = mouse.Sent();
    size_t lastWrite = 0, switchAt = 0;
    for (size_t i = 0; i < sent.size(); ++i) {
        if (sent[i][1] == 0x07) lastWrite = i;
        if (sent[i][1] == 0x10) switchAt = i;
    }
    ASSERT_GT(lastWrite, 0u);
    EXPECT_GT(switchAt, lastWrite);
    EXPECT_EQ(Switches(), std::vector<int>{2});
}

}  // namespace
