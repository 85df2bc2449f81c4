#include "cli/cli_command.h"

#include <functional>
#include <optional>

#include "app/device_catalogue.h"
#include "base/printable_text.h"
#include "cli/cli_args.h"
#include "cli/cli_button_words.h"
#include "cli/cli_command_table.h"
#include "cli/cli_profile_links.h"
#include "macro/macro_list.h"
#include "platform/fs.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_writer.h"
#include "profile/key_function.h"
#include "profile/profile_transfer.h"
#include "profile/sensor_table.h"
#include "ui/button_assignment.h"
#include "ui/buttons_page_model.h"
#include "ui/device_session.h"
#include "ui/fire_dlg_model.h"
#include "ui/import_limits.h"
#include "ui/profiles_model.h"

namespace cli {

// ---- buttons ----------------------------------------------------------------------------

int App::Button(const Words& w) {
    const int n = static_cast<int>(Number(w, 1, 1, kKeysPerSet, "button"));
    // The words are checked before the mouse is asked; the assignment itself needs the device.
    const ButtonRequest request = ReadButtonWords(w, 2, m_macros);
    if (int r = Connect(true)) return r;
    const SensorCfg& cfg = *m_catalogue.pSensorCfg;
    const int32_t keyMask = m_options.KeyMask;
    const ButtonRowView row = m_profile.Read([&](const ProfileState& s) {
        return s.pFile ? ViewButtonRows(*s.pFile, cfg, keyMask, m_macros)[n - 1] : ButtonRowView{};
    });
    if (!row.visible) throw UsageError{RowRefusal(cfg, keyMask, n - 1)};
    if (!row.enabled) {
        Err(RowRefusal(cfg, keyMask, n - 1));
        return kExitFailed;
    }
    std::optional<KeyInfo> k;
    try {
        k = ButtonKey(request, n - 1, cfg, FindSensorTable(static_cast<uint32_t>(cfg.Sensor)));
    } catch (const UsageError& e) {
        // A reason of this mouse's, not of the words: the usage text would not help.
        Err(e.why);
        return kExitUsage;
    }
    if (!m_session.CheckDeviceReady()) return kExitFailed;
    // The command is the user's own "apply now": the write is asked for whatever ApplyNow says.
    // The refusal (the last left click) is said as the window's box says it, on a line.
    if (SetKeyFunction(m_profile, m_catalogue.WorkDefKeys, true, n - 1, *k,
                       [](const std::string& t) {
                           ErrNotice({t, ""});
                       }) != 1)
        return kExitFailed;
    m_stored =
        "button " + std::to_string(n) + ": " + PrintableText(GetKeyFunctionText(*k, m_macros));
    if (!request.note.empty()) m_stored += "\n" + PrintableText(request.note);
    return kExitDone;
}

// ---- profiles, reset --------------------------------------------------------------------

int App::ProfileLinks(const Words& w) {
    return RunProfileLinksCommand(w, m_paths.szAppDataDir, m_opt.json);
}

int App::ProfileSwitch(const Words& w) {
    const int n = static_cast<int>(Number(w, 2, 1, 4, "profile"));
    NoMoreWords(w, 3);
    if (int r = Connect(true)) return r;
    if (!m_session.CheckDeviceReady()) return kExitFailed;
    // A switch without a word back may have happened all the same: the mouse is asked.
    if (SwitchProfile(m_session.Usb(), n - 1) != 1 && m_session.Usb().GetCurProfile() != n - 1) {
        Err("the mouse did not switch its profile");
        return kExitFailed;
    }
    // The window would follow the mouse's notification; here the new profile is read now.
    m_session.StartRead();
    if (!m_session.WaitSync(kReadMs) || !m_session.LastReadOk()) {
        Err("the mouse's settings could not be read");
        return kExitFailed;
    }
    m_stored = "current profile: " + std::to_string(n);
    return kExitDone;
}

int App::ProfileTransfer(const Words& w) {
    const std::string& what = w[1];
    const std::string& file = Word(w, 2, "file");
    NoMoreWords(w, 3);
    if (int r = Connect(true)) return r;
    if (what == "export") {
        if (!ExportProfile(file, m_macros, ErrNotice)) return kExitFailed;
        m_stored = "profile " + std::to_string(CurrentProfileNumber()) + ": exported to " + file;
        return kExitDone;
    }
    if (const std::string why = UnreadableFile(file); !why.empty()) {
        Err("cannot import " + file + ": " + why);
        return kExitFailed;
    }
    if (!m_session.CheckDeviceReady()) return kExitFailed;
    if (!ImportProfile(file, PageImportRules(m_catalogue, m_options, m_macros), m_macros,
                       ErrNotice))
        return kExitFailed;
    m_stored = "profile " + std::to_string(CurrentProfileNumber()) + ": imported from " + file;
    return kExitDone;
}

int App::Reset(const Words& w) {
    NoMoreWords(w, 1);
    // Nobody can be asked in a script: wiping every setting must be meant in so many words.
    if (!m_opt.yes && !StdinIsTerminal())
        throw UsageError{
            "reset asks before it wipes the mouse's settings; without a terminal, "
            "give --yes"};
    // The factory reset overwrites everything, so the profile is read once, afterwards.
    if (int r = ConnectForRecord()) return r;
    m_oneRecord = false;
    if (!m_session.ResetToDefaults()) {
        if (m_ui.Declined()) Err("reset cancelled");
        return kExitFailed;
    }
    if (WaitWrites() != kExitDone) {
        // Refused, or done without a word back: what the mouse holds decides what is cached.
        m_readBack = true;
        m_session.StartRead();
        if (m_session.WaitSync(kReadMs) && m_session.LastReadOk()) {
            m_profileRead = true;
            Err("the factory reset was not confirmed; the settings read back from the mouse are "
                "kept");
        } else {
            DropCache();
            Err("the factory reset was not confirmed and the mouse could not be read back");
        }
        return kExitFailed;
    }
    // The mouse holds its factory settings now; read them so the cache follows.
    m_session.StartRead();
    if (!m_session.WaitSync(kReadMs) || !m_session.LastReadOk()) {
        DropCache();
        Err("the mouse took its factory settings but could not be read back; they will be read "
            "from it next time");
        return kExitFailed;
    }
    m_stored = "profile " + std::to_string(CurrentProfileNumber()) + ": factory settings";
    return kExitDone;
}

}  // namespace cli
