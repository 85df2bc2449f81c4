#include "ui/win/common_dialogs.h"

namespace {

// The function `name` of comdlg32; null when it cannot be had. Dialogs are opened on the
// window's thread only; the library stays loaded once it was.
template <class Fn>
Fn CommonDialogFunction(const char* name) {
    static HMODULE lib = ::LoadLibraryW(L"comdlg32.dll");
    if (!lib) return nullptr;
    // Through a function type without parameters: a FARPROC is no Fn to the compiler.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(lib, name)));
}

}  // namespace

BOOL ZvChooseColor(CHOOSECOLORW* cc) {
    using Fn = BOOL(WINAPI*)(CHOOSECOLORW*);
    static const Fn fn = CommonDialogFunction<Fn>("ChooseColorW");
    return fn ? fn(cc) : FALSE;
}

BOOL ZvGetOpenFileName(OPENFILENAMEW* ofn) {
    using Fn = BOOL(WINAPI*)(OPENFILENAMEW*);
    static const Fn fn = CommonDialogFunction<Fn>("GetOpenFileNameW");
    return fn ? fn(ofn) : FALSE;
}

BOOL ZvGetSaveFileName(OPENFILENAMEW* ofn) {
    using Fn = BOOL(WINAPI*)(OPENFILENAMEW*);
    static const Fn fn = CommonDialogFunction<Fn>("GetSaveFileNameW");
    return fn ? fn(ofn) : FALSE;
}
