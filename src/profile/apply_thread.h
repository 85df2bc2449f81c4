// The apply thread: the one worker that carries the pages' changes to the mouse, so that the
// user-interface thread never waits for the EEPROM. A page stores its change in the current
// profile (through its monitor) and places a request: flags saying what to write and a data
// value (a button, a DPI level, the lighting zones).
//
// Requests that arrive while the thread is busy are kept, not overwritten: a request of the
// same kind as one still waiting is merged into it (flags combined; a different button or
// level widens the data to all, lighting zones are combined). The thread copies the profile
// when it starts a request, so whatever the user changed up to then is what gets written, and
// no change is lost because a later request took its slot.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "base/notice.h"
#include "platform/window.h"
#include "profile/profile_state.h"

class CUSBDriver;
class MacroList;

constexpr uint32_t WM_PROGRESS_SETPOS = 0x42B;
constexpr uint32_t kWmClose = 0x0010;
// The title the progress window carries, by which the apply thread finds it.
constexpr const char* kProgressWindowTitle = "MyProgressDlg..";
// The failure message, spaced as the program always showed it.
constexpr const char* kUpdateFailedText = "   Update settings failed!      ";

// The settings of the apply thread while it runs.
struct ApplyRequest {
    std::string progressTitle = kProgressWindowTitle;
    CUSBDriver* usb = nullptr;
    // The macro library the buttons' macros are written from.
    const MacroList* macros = nullptr;
    // Told, on the apply thread, when a request finds no device or its write fails; the
    // thread goes on with the next request when the sink returns.
    NoticeSink tell;
    uint32_t progressMsg = WM_PROGRESS_SETPOS;
};

// The notices of the apply thread, as it hands them to its sink.
Notice NoDeviceNotice();      // no device and GoWithNoDev not set
Notice UpdateFailedNotice();  // a write that failed

// Lets requests be carried out (once; a second start while it runs is ignored). The thread
// itself is started by the first request and ends after a few seconds without one; the next
// request starts it again. A macro button is written with its macro from `macros`; `tell`
// hears what the thread has to say to the user.
void StartApplyThread(CUSBDriver* usb, const MacroList& macros, NoticeSink tell);
// Ends the thread after the request it is carrying out; requests still waiting are dropped
// (the profile itself is kept by the caller's cache).
void StopApplyThread();
bool ApplyThreadRunning();
// Whether the thread is there now (between a request and the end of its idle wait).
bool ApplyThreadWorking();

// Places a request; the thread writes `flag` (without 0x8000) with `data`.
void RequestApply(uint32_t flag, uint32_t data);
// Places a request with data 255 after which the thread waits for the progress window.
void RequestApplyWithProgress(uint32_t flag);
// Runs `task` on the thread after every request placed before it, so that a command of its own
// (a profile switch) never goes out in the middle of a write. Tasks are never merged.
void RequestApplyTask(std::function<void()> task);

// Waits until every request placed before the call has been carried out; false on time-out.
bool WaitApplyDone(uint32_t timeoutMs);
// Requests carried out and requests that failed (no device or a failed write) so far.
struct ApplyCounts {
    uint64_t done = 0;
    uint64_t failed = 0;
};
ApplyCounts GetApplyCounts();
