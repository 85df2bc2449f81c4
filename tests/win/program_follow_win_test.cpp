// The profile follows the program in front, through the system's real foreground event: top-
// level windows of this test stand in for programs (the name of each is given by the test),
// the switches are the commands the virtual mouse receives.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "profile/eeprom_writer.h"
#include "ui/win/program_follow.h"
#include "win/page_world.h"

namespace {

class ProgramFollowWin : public zvtest::PageWorld {
  protected:
    void SetUp() override {
        PageWorld::SetUp();
        for (auto* w : {&game, &game2, &other}) ASSERT_TRUE(w->Open(40, 40, 200, 100));
        names = {
            {game.m_hWnd, "Game.exe"}, {game2.m_hWnd, "game.exe"}, {other.m_hWnd, "other.exe"}};
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
        for (auto* w : {&game, &game2, &other}) w->DestroyWindow();
        PageWorld::TearDown();
    }
    // Brings `w` to the front and waits for what it made the apply thread do.
    void Front(zvtest::UiHost& w) {
        ::SetForegroundWindow(w.m_hWnd);
        zvtest::Pump(100);
        ASSERT_EQ(::GetForegroundWindow(), w.m_hWnd);
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

    zvtest::UiHost game, game2, other;
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
    RequestApply(kApplyKeys, kAllItems);
    ::SetForegroundWindow(game.m_hWnd);
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
