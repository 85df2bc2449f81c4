// The macro library loaded on a worker thread, so that a window does not wait for thousands of
// macro files before it shows. The list fills while the window comes up; whoever needs the
// whole library (the profile reader matching the mouse's macros by name, the macro page, the
// picker, a profile written to the mouse, imported or exported) waits for the load first.
// Waiting costs nothing once the load has ended, and nothing when no load was started (the
// command-line tool loads the library before it does anything).
#pragma once
#include <functional>
#include <memory>

#include "macro/macro_list.h"
#include "macro/macro_tree.h"

// What the load hands over once the list is complete: the folder tree it walked (the macro
// page shows it without reading the files again), and whether the walk succeeded.
struct LoadedMacroLibrary {
    std::unique_ptr<MacroTree> tree;
    bool ok = true;
};

struct MacroLibraryLoadArgs {
    // Runs on the worker once the list is complete, before any waiter is released, so that
    // what it hands on (the tree) is in place when a waiter goes on.
    std::function<void(LoadedMacroLibrary)> loaded;
    // Runs on the worker before the folder is walked; lets a test hold the load back.
    std::function<void()> beforeWalk;
};

// Starts filling `list` from the macro root folder (sub-folders per MacroDir, leftover
// temporary files removed) on a worker thread. A load still running is waited for first.
void StartMacroLibraryLoad(MacroList& list, MacroLibraryLoadArgs args = {});
// Blocks until the load started last has ended; returns at once when it has, or when none was
// started.
void WaitMacroLibraryLoaded();
// true while a started load has not ended.
bool MacroLibraryLoading();
// Waits for the load and ends its worker (at exit, before the list or the window goes).
void JoinMacroLibraryLoad();
