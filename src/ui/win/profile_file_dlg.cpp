#include "ui/win/profile_file_dlg.h"

#include "platform/win/wide.h"
#include "profile/apply_thread.h"
#include "profile/profile_transfer.h"
#include "ui/win/common_dialogs.h"
#include "ui/win/notice_box.h"

namespace {
bool HaveProfile(const ProfileMonitor& profile) {
    return profile.Read([](const ProfileState& s) { return s.pFile != nullptr; });
}
}  // namespace

std::optional<std::string> AskProfileFile(HWND owner, bool save) {
    return AskDataFile(owner, save, "qza");
}

std::optional<std::string> AskDataFile(HWND owner, bool save, const std::string& ext,
                                       const std::string& name) {
    const std::wstring e = platform::win::Widen(ext);
    wchar_t file[MAX_PATH] = {};
    const std::wstring initial =
        (save && !name.empty() ? platform::win::Widen(name) : std::wstring(L"*")) + L"." + e;
    ::lstrcpynW(file, initial.c_str(), MAX_PATH);
    // "qza(*.qza)|*.qza|" with the system's separators.
    std::wstring filter = e + L"(*." + e + L")";
    filter += L'\0';
    filter += L"*." + e;
    filter += L'\0';
    filter += L'\0';
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = e.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    const BOOL ok = save ? ZvGetSaveFileName(&ofn) : ZvGetOpenFileName(&ofn);
    if (!ok) return std::nullopt;
    return platform::win::Narrow(file);
}

int ExportProfileWithDialog(HWND owner, const ProfileMonitor& profile, const MacroList& macros) {
    if (!HaveProfile(profile)) return 0;
    auto path = AskProfileFile(owner, true);
    return path ? ExportProfile(*path, macros, NoticeBoxes()) : 0;
}

int ImportProfileWithDialog(HWND owner, const ProfileMonitor& profile, const ImportRules& rules,
                            MacroList& macros) {
    if (!HaveProfile(profile)) return 0;
    auto path = AskProfileFile(owner, false);
    return path ? ImportProfile(*path, rules, macros, NoticeBoxes()) : 0;
}
