#include "ui/win/common_dialogs.h"

#include "platform/win/system_library.h"

namespace {

// The function `name` of comdlg32; null when it cannot be had.
template <class Fn>
Fn CommonDialogFunction(const char* name) {
    return platform::win::SystemFunction<Fn>(L"comdlg32.dll", name);
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
