// Driving a modal dialog from inside its own loop: steps run one per timer tick, each given the
// dialog window. When the steps are used up the dialog is closed, so a test can never hang on it.
#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "app/gvar.h"
#include "base/language_texts.h"
#include "win/ui_host.h"

namespace zvtest {

inline std::deque<std::function<void(HWND)>> g_steps;
inline bool g_closedByTimeout = false;

inline void CALLBACK StepTimer(HWND, UINT, UINT_PTR, DWORD) {
    HWND dlg = ::FindWindowW(nullptr, L"ZorvanMsgTopWindow");
    if (!dlg) return;
    if (g_steps.empty()) {
        g_closedByTimeout = true;
        ::PostMessageW(dlg, WM_CLOSE, 0, 0);
        return;
    }
    auto step = std::move(g_steps.front());
    g_steps.pop_front();
    step(dlg);
}

// A host window, the English texts and the step timer for as long as a test runs.
class ModalDialogTest : public ::testing::Test {
  protected:
    UiHost host;
    UINT_PTR timer = 0;

    void SetUp() override {
        StartGdiplus();
        gVar.szAppDir = ProgramFolder();
        gVar.b4K = 0;
        LoadTexts(SourceDir() + "\\data\\English\\text.xml");
        ASSERT_TRUE(host.Open(100, 100, 600, 400));
        g_closedByTimeout = false;
        timer = ::SetTimer(nullptr, 0, 60, &StepTimer);
    }
    void TearDown() override {
        // Every dialog must have been closed by what the test did, not by running out of steps.
        EXPECT_FALSE(g_closedByTimeout);
        ::KillTimer(nullptr, timer);
        g_steps.clear();
        host.DestroyWindow();
    }
};

}  // namespace zvtest
