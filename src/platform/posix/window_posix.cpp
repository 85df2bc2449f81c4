// Elsewhere than Windows there are no windows: everything is recorded for the tests, and a
// test may answer the message boxes through a hook.
#include <map>
#include <mutex>
#include <utility>

#include "platform/window.h"
#include "platform/window_recorder.h"

namespace platform {

namespace {
struct Recorder {
    std::mutex mu;
    std::vector<recorder::PostedMessage> posted;
    std::vector<recorder::ShownMessageBox> boxes;
    std::map<std::string, WindowHandle> windows;
    int answer = kIdOk;
    MessageBoxHook hook;
};
Recorder& R() {
    static Recorder r;
    return r;
}
}  // namespace

bool PostWindowMessage(WindowHandle wnd, uint32_t msg, std::uintptr_t wParam,
                       std::intptr_t lParam) {
    std::lock_guard<std::mutex> lock(R().mu);
    R().posted.push_back({wnd, msg, wParam, lParam});
    return wnd != 0;
}

bool IsWindow(WindowHandle wnd) {
    std::lock_guard<std::mutex> lock(R().mu);
    for (auto& [title, h] : R().windows)
        if (h == wnd && wnd != 0) return true;
    return false;
}

WindowHandle FindWindowByTitle(const std::string& title) {
    std::lock_guard<std::mutex> lock(R().mu);
    auto it = R().windows.find(title);
    return it == R().windows.end() ? 0 : it->second;
}

int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t flags,
                   WindowHandle) {
    MessageBoxHook hook;
    {
        std::lock_guard<std::mutex> lock(R().mu);
        R().boxes.push_back({text, caption, flags});
        hook = R().hook;
        if (!hook) return R().answer;
    }
    return hook(text, caption, flags);
}

void SetMessageBoxHook(MessageBoxHook hook) {
    std::lock_guard<std::mutex> lock(R().mu);
    R().hook = std::move(hook);
}

namespace recorder {
std::vector<PostedMessage> TakePosted() {
    std::lock_guard<std::mutex> lock(R().mu);
    return std::exchange(R().posted, {});
}
std::vector<ShownMessageBox> TakeMessageBoxes() {
    std::lock_guard<std::mutex> lock(R().mu);
    return std::exchange(R().boxes, {});
}
void SetWindow(const std::string& title, WindowHandle handle) {
    std::lock_guard<std::mutex> lock(R().mu);
    if (handle == 0)
        R().windows.erase(title);
    else
        R().windows[title] = handle;
}
void SetMessageBoxAnswer(int answer) {
    std::lock_guard<std::mutex> lock(R().mu);
    R().answer = answer;
}
void Clear() {
    std::lock_guard<std::mutex> lock(R().mu);
    R().posted.clear();
    R().boxes.clear();
    R().windows.clear();
    R().answer = kIdOk;
}
}  // namespace recorder

}  // namespace platform
