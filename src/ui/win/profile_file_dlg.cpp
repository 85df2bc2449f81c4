#include "ui/win/profile_file_dlg.h"

#include <commdlg.h>

#include <mutex>

#include "app/gvar.h"
#include "platform/win/wide.h"
#include "profile/apply_thread.h"
#include "profile/profile_transfer.h"

namespace {
bool HaveProfile() {
    std::lock_guard<std::mutex> lock(ProfileDataLock());
    return gVar.pFile != nullptr;
}
}  // namespace

std::optional<std::string> AskProfileFile(HWND owner, bool save) {
    wchar_t file[MAX_PATH] = L"*.qza";
    // "qza(*.qza)|*.qza|" with the system's separators.
    static const wchar_t kFilter[] = L"qza(*.qza)\0*.qza\0\0";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = L"qza";
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    const BOOL ok = save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
    if (!ok) return std::nullopt;
    return platform::win::Narrow(file);
}

int ExportProfileWithDialog(HWND owner) {
    if (!HaveProfile()) return 0;
    auto path = AskProfileFile(owner, true);
    return path ? ExportProfile(*path) : 0;
}

int ImportProfileWithDialog(HWND owner) {
    if (!HaveProfile()) return 0;
    auto path = AskProfileFile(owner, false);
    return path ? ImportProfile(*path) : 0;
}
