// `profile apply <file.json|->` and the JSON a change prints with --json.
#include <cstdio>

#include "base/json_text.h"
#include "base/language_texts.h"
#include "base/printable_text.h"
#include "cli/cli_command.h"
#include "cli/cli_profile_json.h"
#include "platform/fs.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_writer.h"
#include "profile/profile_state.h"
#include "ui/lighting_model.h"
#include "ui/page_change.h"

namespace cli {

namespace {

// The text of a file to apply, no more of it than the reader takes (nothing a profile needs
// comes near that); why it cannot be read, "" when it can.
std::string ReadJsonText(const std::string& from, std::string* text) {
    if (std::string why = UnreadableFile(from); !why.empty()) return why;
    std::vector<uint8_t> bytes;
    uint32_t err = 0;
    if (!platform::ReadFilePrefix(from, JsonLimits{}.maxBytes + 1, bytes, &err))
        return platform::PathErrorText(from, err);
    text->assign(bytes.begin(), bytes.end());
    return {};
}

}  // namespace

void App::ReadInputFirst() {
    // In "zorvan --json show | zorvan profile apply -" the command before the pipe holds the
    // data folder's lock until it ends, which is when its output ends: read first, lock after.
    const Words& w = m_opt.words;
    if (w.size() != 3 || w[0] != "profile" || w[1] != "apply" || w[2] != "-") return;
    const size_t limit = JsonLimits{}.maxBytes;
    char buf[4096];
    size_t n;
    // A longer text is refused by the reader: no need to hold more of it.
    while (m_input.size() <= limit && (n = std::fread(buf, 1, sizeof buf, stdin)) > 0)
        m_input.append(buf, n);
    if (std::ferror(stdin)) m_inputError = "standard input could not be read";
}

int App::ProfileApply(const Words& w) {
    const std::string& from = Word(w, 2, "file (or - for standard input)");
    NoMoreWords(w, 3);
    const std::string name = from == "-" ? std::string("standard input") : from;
    std::string text, why;
    if (from == "-") {
        text = m_input;
        why = m_inputError;
    } else {
        why = ReadJsonText(from, &text);
    }
    if (!why.empty()) {
        Err("cannot apply " + name + ": " + why);
        return kExitFailed;
    }
    // The text is checked whole before the mouse is looked for.
    const JsonParseResult doc = ParseJson(text);
    if (!doc.value) {
        Err(name + ": " + doc.error + "; nothing was written");
        return kExitFailed;
    }
    if (int r = Connect(true)) return r;
    if (!m_session.CheckDeviceReady()) return kExitFailed;
    const SensorCfg& cfg = *m_catalogue.pSensorCfg;
    const ProfileJsonDevice dev{
        cfg,     FindSensorTable(SensorId()), m_options, m_catalogue.WorkDefKeys, m_options.KeyMask,
        m_macros};
    const int number = CurrentProfileNumber();
    ProfileJsonApply a;
    const bool current = m_profile.EditCurrent([&](ProfileFile& f, int32_t& level) {
        a = ApplyProfileJson(*doc.value, f, level, number, dev);
    });
    if (!current) return kExitFailed;
    if (!a.error.empty()) {
        Err(name + ": " + a.error + "; nothing was written");
        return kExitFailed;
    }
    const std::string profile = "profile " + std::to_string(number);
    if (a.writes.empty()) {
        m_stored = profile + ": the mouse holds all of it already; nothing written";
        return kExitDone;
    }
    for (const PageChange& c : a.writes)
        if (c.flag == kApplyLighting && LightingBlocked(m_session.Usb())) {
            Err(GetText("tc_adv_str29") + "; nothing was written");
            return kExitFailed;
        }
    EditCurrentProfile(
        m_profile,
        [&](ProfileFile& p, int32_t& cur) {
            p = a.profile;
            cur = a.curLevel;
            return PageChange{};
        },
        false);
    for (const PageChange& c : a.writes) RequestApply(c.flag, c.data);
    for (const std::string& note : a.notes) Err(note);
    std::string changed;
    for (const std::string& path : a.changed) changed += (changed.empty() ? "" : ", ") + path;
    m_stored = profile + ": applied from " + name + ": " + changed;
    return kExitDone;
}

std::string App::StoredJson() {
    if (m_storedJson) return WriteJson(*m_storedJson) + "\n";
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    return m_profile.Read([&](const ProfileState& s) {
        if (!m_before || !s.pFile || !cfg) {
            JsonValue o = JsonValue::Object();
            o.Set("done", JsonValue::String(m_stored));
            return WriteJson(o) + "\n";
        }
        // What the command stored is where the profile now differs from before it.
        const int number = static_cast<int>(s.pFile - s.ProfileList.data()) + 1;
        const JsonValue before =
            ProfileJson(*m_before, m_beforeLevel, m_beforeNumber, *cfg, m_macros);
        const JsonValue after = ProfileJson(*s.pFile, s.g_nCurDpiLevel, number, *cfg, m_macros);
        return WriteJson(JsonChanges(before, after, {"profile", "level", "button"})) + "\n";
    });
}

}  // namespace cli
