#include "cli/cli_command.h"

#include <cstdio>
#include <optional>

#include "base/printable_text.h"
#include "cli/cli_args.h"
#include "cli/cli_macro_text.h"
#include "macro/macro_editor.h"
#include "macro/macro_file.h"
#include "macro/macro_library.h"
#include "macro/macro_list.h"
#include "macro/macro_store.h"
#include "macro/safe_file_name.h"
#include "platform/fs.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_writer.h"
#include "profile/orphan_macros.h"
#include "ui/device_session.h"
#include "ui/import_limits.h"

namespace cli {

// ---- macros -----------------------------------------------------------------------------

int App::MacroList(const Words& w) {
    NoMoreWords(w, 2);
    auto all = m_macros.Snapshot();
    if (m_opt.json) std::fputs("[", stdout);
    for (size_t i = 0; i < all.size(); ++i) {
        const std::string name = MacroNameUtf8(all[i]);
        if (m_opt.json)
            std::printf("%s{\"name\":%s,\"events\":%d}", i ? "," : "", JsonString(name).c_str(),
                        CountMacroEvents(all[i]));
        else
            std::printf("%s  (%d events)\n", PrintableText(name).c_str(), CountMacroEvents(all[i]));
    }
    if (m_opt.json) std::fputs("]\n", stdout);
    return kExitDone;
}

int App::MacroShow(const Words& w) {
    const std::string& name = Word(w, 2, "macro name");
    NoMoreWords(w, 3);
    auto m = m_macros.FindMacroByNameUtf8(name);
    if (!m) throw NoMacroNamed(name, m_macros);
    ShowMacro(*m);
    return kExitDone;
}

int App::MacroImport(const Words& w) {
    const std::string& file = Word(w, 2, "file");
    NoMoreWords(w, 3);
    if (const std::string why = UnreadableFile(file); !why.empty()) {
        Err("cannot import " + file + ": " + why);
        return kExitFailed;
    }
    std::optional<StMacro> m = ReadMacroFile(file);
    if (!m) {
        Err("not a macro file: " + file);
        return kExitFailed;
    }
    // Held to the rules of recording and `macro new`, as a profile's macros are.
    std::vector<std::string> said;
    if (std::optional<std::string> why = LimitImportedMacro(*m, said)) {
        Err("cannot import " + file + ": " + *why);
        return kExitFailed;
    }
    for (const std::string& line : said)
        Err("macro \"" + PrintableText(MacroNameUtf8(*m)) + "\": " + line);
    uint32_t err = 0;
    auto added = ImportOutsideMacro(*m, m_macros, &err);
    if (!added) {
        Err("the macro could not be stored: " + MacroNameUtf8(*m) + " (" +
            platform::ErrorText(err) + ")");
        return kExitFailed;
    }
    if (std::string note = AddedMacroNote(MacroNameUtf8(*m), *added); !note.empty()) Err(note);
    m_stored = "macro " + MacroNameUtf8(added->stored) + ": imported from " + file;
    return kExitDone;
}

int App::MacroExport(const Words& w) {
    const std::string& name = Word(w, 2, "macro name");
    const std::string& file = Word(w, 3, "file");
    NoMoreWords(w, 4);
    auto m = m_macros.FindMacroByNameUtf8(name);
    if (!m) throw NoMacroNamed(name, m_macros);
    uint8_t bytes[kStMacroSize];
    MacroFileBytes(*m, bytes);
    // A failed save is said with its reason among the failed saves at the end.
    if (!platform::WriteFileAtomic(file, bytes, sizeof bytes)) return kExitFailed;
    m_stored = "macro " + MacroNameUtf8(*m) + ": exported to " + file;
    return kExitDone;
}

int App::MacroDelete(const Words& w) {
    const std::string& name = Word(w, 2, "macro name");
    NoMoreWords(w, 3);
    if (!m_macros.FindMacroByNameUtf8(name)) throw NoMacroNamed(name, m_macros);
    // The mouse is read first: a macro it holds would otherwise come back into the
    // library with that reading, and its buttons could not be given their defaults. So
    // without a reading nothing is deleted.
    if (const int r = Connect(true); r != kExitDone) {
        Err("macro \"" + PrintableText(name) +
            "\" is not deleted: the mouse's settings could not be read, and a macro it holds "
            "would come back with the next reading");
        return r;
    }
    auto m = m_macros.FindMacroByNameUtf8(name);
    if (!m) return kExitFailed;
    uint32_t err = 0;
    std::string path;
    if (!DeleteLibraryMacro(m->id, m_macros, &err, &path)) {
        Err("cannot delete " + path + ": " + platform::ErrorText(err));
        return kExitFailed;
    }
    // Buttons that played it go back to their defaults, in the mouse too.
    bool changed = false;
    m_profile.EditCurrent([&](ProfileFile& f, int32_t&) {
        changed = FixOrphanMacros(f, m_catalogue.WorkDefKeys, m_macros);
    });
    if (changed) RequestApply(kApplyKeys, kAllItems);
    m_stored = "macro " + PrintableText(name) + ": deleted" +
               (changed ? "; the buttons that played it are back to their defaults" : "");
    return kExitDone;
}

// The events in the words `macro new` takes, one a line, under a line of the play options.
void App::ShowMacro(const StMacro& m) const {
    const int n = CountMacroEvents(m);
    const char* mode = m.LoopMode == kPlayWhileHeld      ? "while-held"
                       : m.LoopMode == kPlayUntilPressed ? "until-pressed"
                                                         : "count";
    std::string out;
    if (m_opt.json) {
        std::string events, text;
        for (int i = 0; i < n; ++i) {
            const MacroEvent e = m.events[i];
            const uint32_t delay = e.delay;
            std::string one;
            if (e.flags & kMacroEventMove)
                one = "{\"type\":\"move\",\"dx\":" +
                      std::to_string(static_cast<int8_t>(e.code & 0xFF)) +
                      ",\"dy\":" + std::to_string(static_cast<int8_t>((e.code >> 8) & 0xFF));
            else
                one = std::string("{\"type\":\"") + ((e.flags & kMacroEventDown) ? "down" : "up") +
                      "\",\"key\":" + JsonString(MacroKeyName(static_cast<uint8_t>(e.code & 0xFF)));
            events += (i ? "," : "") + one + ",\"delay\":" + std::to_string(delay) + "}";
            text += (i ? " " : "") + MacroEventText(e);
        }
        out = "{\"name\":" + JsonString(MacroNameUtf8(m)) + ",\"mode\":\"" + mode +
              "\",\"repeat\":" + std::to_string(m.repeatCount) + ",\"events\":[" + events +
              "],\"text\":" + JsonString(text) + "}\n";
    } else {
        out = PrintableText(MacroNameUtf8(m)) + ": " + std::to_string(n) + " events, " +
              (m.LoopMode == kPlayWhileHeld ? std::string("repeats while held")
               : m.LoopMode == kPlayUntilPressed
                   ? std::string("repeats until pressed again")
                   : "plays " + std::to_string(m.repeatCount) + " times") +
              "\n";
        for (int i = 0; i < n; ++i) out += "  " + MacroEventText(m.events[i]) + "\n";
    }
    std::fputs(out.c_str(), stdout);
}

// A macro made from words, kept in the library as one the macro page had made and saved.
int App::NewMacro(const Words& w) {
    const std::string& name = Word(w, 2, "macro name");
    if (w.size() < 4) throw UsageError{"missing events"};
    // The names the macro page lets a user type: its file is named after it.
    size_t chars = 0;
    for (unsigned char c : name) chars += (c & 0xC0) != 0x80;
    if (chars > static_cast<size_t>(kMaxMacroNameInput))
        throw UsageError{"a macro name has at most " + std::to_string(kMaxMacroNameInput) +
                         " characters: " + name};
    if (name.find_first_of(kMacroNameForbidden) != std::string::npos ||
        name.find('.') != std::string::npos || !IsSafeFileName(name))
        throw UsageError{
            "a macro name cannot hold any of / \\ ? + = - * & % ! # . : < > | \" "
            "nor end in a space: " +
            name};
    for (const StMacro& other : m_macros.Snapshot())
        if (MacroNamesCollide(MacroNameUtf8(other), name))
            throw UsageError{"a macro named \"" + MacroNameUtf8(other) + "\" exists already"};
    MacroEventsError error;
    const auto events = ParseMacroEvents(Words(w.begin() + 3, w.end()), &error);
    if (!events) throw UsageError{error.why, error.near};
    if (m_macros.Count() >= static_cast<size_t>(MAX_MACROS)) {
        Err("the library holds " + std::to_string(MAX_MACROS) + " macros, the most it can");
        return kExitFailed;
    }
    StMacro m = NewMacroRecord(name);
    for (size_t i = 0; i < events->size(); ++i) m.events[i] = (*events)[i];
    uint32_t err = 0;
    auto added = AddOutsideMacro(m, m_macros, &err);
    if (!added) {
        Err("the macro could not be stored: " + name + " (" + platform::ErrorText(err) + ")");
        return kExitFailed;
    }
    m_stored =
        "macro " + MacroNameUtf8(added->stored) + ": " + std::to_string(events->size()) + " events";
    return kExitDone;
}

}  // namespace cli
