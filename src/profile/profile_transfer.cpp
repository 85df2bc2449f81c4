#include "profile/profile_transfer.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "macro/macro_library_load.h"
#include "base/app_paths.h"
#include "profile/catalogue_state.h"
#include "profile/profile_state.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "macro/macro_file.h"
#include "macro/macro_library.h"
#include "macro/macro_list.h"
#include "macro/safe_file_name.h"
#include "platform/fs.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_writer.h"
#include "profile/profile_defaults.h"
#include "profile/sensor_table.h"

std::atomic<int32_t> g_bSyncDone{0};

namespace {

// Everything an export or import says is a plain box titled with the program's title.
void Tell(const NoticeSink& tell, const std::string& text) {
    Notify(tell, {text, ThePaths().szTitle});
}

// A text of the table, or the given English text when the language has none.
std::string TextOr(const char* key, const std::string& fallback) {
    const std::string& t = GetText(key);
    return t.empty() ? fallback : t;
}

}  // namespace

int ReplaceMacro(StMacro& macro, MacroList& library) {
    macro.flags &= ~kMacroChanged;
    uint8_t bytes[kStMacroSize];
    MacroFileBytes(macro, bytes);
    // The macro's own file, wherever it was loaded from; a macro without one gets a free name.
    std::string path = library.FileOf(macro.id);
    if (path.empty()) path = FreeMacroFilePath(MacroRootFolder(), MacroNameUtf8(macro), library);
    uint32_t err = 0;
    if (!MyCreateFile(path, bytes, sizeof bytes, &err)) {
        if (err) LogPrintf("ReplaceMacro: WriteFile err=0x%x", err);
        return 0;
    }
    library.SetFile(macro.id, path);
    return 1;
}

int ExportProfile(const std::string& path, const MacroList& library, const NoticeSink& tell) {
    // The file carries the macros of the buttons: every one must be known.
    WaitMacroLibraryLoaded();
    // The file keeps the level in use as the record's saved level.
    ProfileFile record;
    if (!TheProfile().EditCurrent([&](ProfileFile& current, int32_t level) {
            current.nSavedDpiLevel = level;
            record = current;
        }))
        return 0;
    LogPrintf("ExportProfile: g_nCurDpiLevel=%d", record.nSavedDpiLevel);

    std::vector<uint8_t> buf(kExportFileSize, 0);
    ProfileToBytes(record, std::span<uint8_t, kProfileFileSize>(buf.data(), kProfileFileSize));
    std::set<MacroId> seen;
    size_t stored = 0;
    int leftOut = 0;
    for (const KeySet& set : record.keys) {
        for (const KeyInfo& k : set) {
            if (k.Type() != 5) continue;
            if (seen.count(k.dwMacroID)) continue;
            std::optional<StMacro> m = library.FindMacroById(k.dwMacroID);
            if (!m) continue;
            seen.insert(k.dwMacroID);
            if (stored == kExportMacroSlots) {
                ++leftOut;
                continue;
            }
            StMacroToBytes(*m, buf.data() + kProfileFileSize + stored * kStMacroSize);
            ++stored;
        }
    }
    uint32_t err = 0;
    if (!platform::WriteFileAtomic(path, buf.data(), buf.size(), &err)) {
        LogPrintf("ExportProfile: %s, err=%u", path.c_str(), err);
        Tell(tell, "Create profile failed.");
        return 0;
    }
    if (leftOut > 0)
        Tell(tell, "Only ten macros fit a profile file; " + std::to_string(leftOut) +
                       " more were not stored.");
    return 1;
}

int ImportProfile(const std::string& path, const ImportRules& rules, MacroList& library,
                  const NoticeSink& tell) {
    // Imported macros are matched with the whole library.
    WaitMacroLibraryLoaded();
    if (!TheProfile().CopyCurrent()) return 0;
    if (g_bSyncDone.load() == 0) {
        Tell(tell, GetText("tc_adv_str15"));
        return 0;
    }
    uint32_t err = 0;
    uint64_t size = 0;
    std::vector<uint8_t> bytes;
    if (!platform::GetFileSize(path, size, &err) ||
        !platform::ReadFilePrefix(path, kExportFileSize, bytes, &err)) {
        const std::string& tip = GetText("tc_tip2");
        Tell(tell, tip.empty() ? "Open Profile Err = " + std::to_string(err)
                               : tip + " " + std::to_string(err));
        return 0;
    }
    if (bytes.empty()) {
        Tell(tell, "Read profile failed.");
        return 0;
    }
    const std::string invalid = TextOr("tc_tip3", "This is not a valid profile");
    // A file shorter than a record cannot carry one; a longer one is read as far as a profile
    // file goes and the rest ignored.
    if (bytes.size() < kProfileFileSize) {
        Tell(tell, invalid);
        return 0;
    }
    bytes.resize(kExportFileSize, 0);
    ProfileFile rec = ProfileFromBytes(
        std::span<const uint8_t, kProfileFileSize>(bytes.data(), kProfileFileSize));
    if (rec.dwMagic != kProfileMagic || rec.dwId == 0) {
        Tell(tell, invalid);
        return 0;
    }
    // The file meets the rules of a change made by hand, applied to what the profile holds now:
    // anything they refuse keeps the mouse's value and is named.
    std::vector<std::string> said;
    const std::optional<ProfileFile> now = TheProfile().CopyCurrent();
    if (!now) return 0;
    const ProfileFile& current = *now;
    rec = rules.profile ? rules.profile(rec, current, said) : rec;
    SanitizeProfile(rec, &said);

    std::vector<StMacro> fileMacros;
    for (size_t i = 0; i < kExportMacroSlots; ++i)
        fileMacros.push_back(StMacroFromBytes(bytes.data() + kProfileFileSize + i * kStMacroSize));
    auto storedFor = [&](MacroId id) -> StMacro* {
        for (StMacro& m : fileMacros)
            if (m.id == id && id != 0) return &m;
        return nullptr;
    };

    // Every macro that will reach the library or the macro folder is checked before anything
    // changes; a button whose macro cannot be taken keeps what it has.
    std::set<MacroId> refused;
    for (StMacro& m : fileMacros) {
        if (m.id == 0 || m.dwMagicNumber != MACRO_MAGIC) continue;
        std::vector<std::string> macroSaid;
        std::optional<std::string> why;
        if (rules.macro) why = rules.macro(m, macroSaid);
        if (!why && !IsPlayableMacro(m)) why = "more than the mouse can play";
        const std::string name = "macro \"" + MacroNameUtf8(m) + "\": ";
        if (why) {
            LogPrintf("ImportProfile: macro 0x%x refused", m.id);
            refused.insert(m.id);
            said.push_back(name + *why);
        }
        for (const std::string& line : macroSaid) said.push_back(name + line);
    }
    for (size_t s = 0; s < rec.keys.size(); ++s)
        for (size_t r = 0; r < kKeysPerSet; ++r) {
            KeyInfo& k = rec.keys[s][r];
            if (k.Type() != 5) continue;
            const StMacro* m = storedFor(k.dwMacroID);
            if (!m) continue;
            if (m->dwMagicNumber != MACRO_MAGIC || refused.count(k.dwMacroID)) {
                k = current.keys[s][r];
                said.push_back((s ? "key set " + std::to_string(s + 1) + ", " : std::string()) +
                               "button " + std::to_string(r + 1) +
                               ": its macro is not taken; kept what it had");
            }
        }
    std::map<MacroId, MacroId> newIds;  // a stored macro added under a new id
    for (KeySet& set : rec.keys)
        for (KeyInfo& k : set) {
            if (k.Type() != 5) continue;
            if (auto it = newIds.find(k.dwMacroID); it != newIds.end()) {
                k.dwMacroID = it->second;
                continue;
            }
            StMacro* m = storedFor(k.dwMacroID);
            if (!m) continue;
            // The same macro (same id, same name) takes the file's contents in its own file;
            // anything else that collides by id or name is added beside it, never over it.
            if (auto lib = library.FindMacroById(m->id);
                lib && MacroNamesCollide(MacroNameUtf8(*lib), MacroNameUtf8(*m))) {
                StMacro updated = *m;
                library.Update(m->id, [&](StMacro& stored) {
                    stored = *m;
                    stored.flags &= ~kMacroChanged;
                });
                if (!ReplaceMacro(updated, library)) {
                    Tell(tell, "Add macro failed: " + MacroNameUtf8(updated));
                    return 0;
                }
                continue;
            }
            uint32_t addErr = 0;
            StMacro incoming = *m;
            incoming.id = NewMacroId();
            std::optional<AddedMacro> added = AddOutsideMacro(incoming, library, &addErr);
            if (!added) {
                Tell(tell, "Add macro failed: " + MacroNameUtf8(*m) + " (" +
                               platform::ErrorText(addErr) + ")");
                return 0;
            }
            const std::string note = AddedMacroNote(MacroNameUtf8(*m), *added);
            if (!note.empty()) Tell(tell, note);
            StMacro fresh = added->stored;
            newIds[k.dwMacroID] = fresh.id;
            k.dwMacroID = fresh.id;
        }

    int32_t level;
    // Without a DPI table nothing can say how this sensor codes a DPI value: the levels the
    // mouse holds stay, rather than values it would read as code 0.
    const bool dpiCodes =
        TheCatalogue().pSensorCfg && FindSensorTable(TheCatalogue().pSensorCfg->Sensor);
    if (!dpiCodes)
        Tell(tell, "this mouse's sensor has no DPI table: the file's DPI values are not written");
    const bool stored = TheProfile().EditCurrent([&](ProfileFile& file, int32_t& curLevel) {
        rec.dwId = file.dwId;
        if (!dpiCodes)
            for (size_t i = 0; i < rec.dpi.size(); ++i) {
                rec.dpi[i].x = file.dpi[i].x;
                rec.dpi[i].y = file.dpi[i].y;
            }
        file = rec;
        level = rec.nSavedDpiLevel;
        LogPrintf("ImportProfile: g_nCurDpiLevel=%d", level);
        const int32_t dm = TheCatalogue().pSensorCfg ? TheCatalogue().pSensorCfg->DM : kDpiLevels;
        if (level < 0 || level >= dm) level = 0;
        curLevel = level;
    });
    if (!stored) return 0;
    if (!said.empty()) {
        std::string text = "Imported " + path + ", except what this mouse does not take:";
        for (const std::string& line : said) text += "\n" + line;
        Tell(tell, text);
    }
    // Everything the file carries goes to the mouse: besides buttons, lighting, levels,
    // Windows settings, current level, rate and colours, also the level count and the single
    // settings, which the pages would otherwise show with the mouse holding other values.
    RequestApply((dpiCodes ? kApplyAll : kApplyAll & ~kApplyDpi) | kApplyLevelCount | kApplyLod |
                     kApplyAngleSnap | kApplyRipple | kApplyDebounce | kApplyMotionSync |
                     kApplySleep | kApplyLightOffMoving | kApplySensorMode | kApplyAutoSleep,
                 kAllItems);
    return 1;
}
