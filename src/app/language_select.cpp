#include "app/language_select.h"

#include <algorithm>
#include <functional>

#include "app/gvar.h"
#include "base/ini_file.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "platform/fs.h"

namespace {

std::function<void()> gLanguageChanged;

int32_t LanguageCount() {
    return gVar.nLangNum < 0 ? 0 : gVar.nLangNum;
}

}  // namespace

std::string LangIniPath() {
    return gVar.szAppDataDir + "lang.ini";
}

std::string LanguageTextPath(int32_t index) {
    std::string folder;
    if (index >= 0 && static_cast<size_t>(index) < gVar.Lang.size())
        folder = gVar.Lang[static_cast<size_t>(index)].folder;
    if (folder.empty()) return platform::JoinPath(gVar.szAppDir, "text.xml");
    return platform::JoinPath(gVar.szAppDir + folder, "text.xml");
}

int32_t ValidLanguageIndex(int32_t index) {
    return index < 0 || index >= LanguageCount() ? 0 : index;
}

void LoadLanguageAtStart() {
    IniFile ini = IniFile::Load(LangIniPath());
    gVar.nLangIndex = ValidLanguageIndex(ini.GetInt("OPT", "LangIndex", 0));
    LoadTexts(LanguageTextPath(gVar.nLangIndex));
}

bool SelectLanguage(int32_t index) {
    // With no languages configured the only choice is the default texts (index 0).
    int32_t count = std::max<int32_t>(LanguageCount(), 1);
    if (index < 0 || index >= count || static_cast<size_t>(index) >= gVar.Lang.size()) return false;
    gVar.nLangIndex = index;
    LoadTexts(LanguageTextPath(index));
    if (gLanguageChanged) gLanguageChanged();
    uint32_t err = 0;
    if (!WriteIniString(LangIniPath(), "OPT", "LangIndex", std::to_string(index), &err))
        LogPrintf("Write lang.ini err=%u", err);
    return true;
}

void SetLanguageChangedHook(std::function<void()> hook) {
    gLanguageChanged = std::move(hook);
}
