// What the non-Windows window layer recorded: the posted messages and message boxes, and
// windows the tests pretend exist. Used by native tests only.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window.h"

namespace platform::recorder {

struct PostedMessage {
    WindowHandle wnd;
    uint32_t msg;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};
struct ShownMessageBox {
    std::string text;
    std::string caption;
    uint32_t flags;
};

std::vector<PostedMessage> TakePosted();
std::vector<ShownMessageBox> TakeMessageBoxes();
// Pretends a top-level window with this title exists (handle != 0), or removes it (0).
void SetWindow(const std::string& title, WindowHandle handle);
// The answer the recorder gives to message boxes (default kIdOk).
void SetMessageBoxAnswer(int answer);
void Clear();

}  // namespace platform::recorder
