// A function of a system library, loaded the first time it is asked for. Libraries that only
// a dialog or an occasional request needs (the file dialogs, the screen-reader answers) cost
// memory and start time for every user when imported; loaded on demand, only those who use
// them pay. The library is taken from the system folder, never from the program's folder or
// the current one, and stays loaded once it was.
#pragma once
#include <windows.h>

#include <string>

namespace platform::win {

// The module of the system library `dll` ("oleacc.dll"); null when it cannot be loaded.
inline HMODULE SystemLibrary(const wchar_t* dll) {
    wchar_t dir[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    std::wstring path(dir, n);
    path += L'\\';
    path += dll;
    return ::LoadLibraryW(path.c_str());
}

// The function `name` of the system library `dll` as the type Fn; null when either is missing.
// Callers keep the answer in a function-local static: the lookup runs once.
template <class Fn>
Fn SystemFunction(const wchar_t* dll, const char* name) {
    HMODULE lib = SystemLibrary(dll);
    if (!lib) return nullptr;
    // Through a function type without parameters: a FARPROC is no Fn to the compiler.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(lib, name)));
}

}  // namespace platform::win
