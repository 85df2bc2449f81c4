// What the core has to tell the user: a finished text with its caption and the look of the box
// it would be shown in. The core never shows it; it hands it to a sink its caller supplies, at
// the moment it has it. The window shows it as a message box, the command-line tool prints it
// on standard error, a test collects it.
//
// Threading: a sink is called on the thread that found what it tells: the user-interface
// thread for what a page asked for, a worker (the apply thread, the profile reader) for what
// the worker found. It is called synchronously and the caller waits for it to return, so a sink
// that shows a modal box holds the worker as the box holds the user. A sink that touches a
// window from a worker must be one the window allows to be used from there (a message box is).
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/window.h"

struct Notice {
    std::string text;
    std::string caption;
    // The buttons and icon of its box (platform::MessageBoxKind | MessageBoxIcon).
    uint32_t look = platform::kMbOk;

    bool operator==(const Notice&) const = default;
};

// An empty sink tells nobody: what it would have said is dropped.
using NoticeSink = std::function<void(const Notice&)>;

inline void Notify(const NoticeSink& sink, const Notice& n) {
    if (sink) sink(n);
}
