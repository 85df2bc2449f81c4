#include "cli/cli_command.h"

#include <functional>
#include <optional>

#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "base/printable_text.h"
#include "cli/cli_args.h"
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
    const std::string& fun = Word(w, 2, "function");
    // The words are checked before the mouse is asked; the assignment itself needs the device.
    std::function<std::optional<KeyInfo>(const SensorCfg&)> make;
    std::string note;  // said after the change, when what is stored is not what was asked
    size_t used = 3;
    auto chosen = [n](uint32_t value, const SensorCfg& cfg) -> std::optional<KeyInfo> {
        const FunctionChoice c = OnFunctionChosen(value, n - 1, cfg, false);
        if (c.step == ChoiceStep::kStore) return c.key;
        Err(c.message.empty() ? "this function cannot be chosen here" : c.message);
        return std::nullopt;
    };
    if (auto simple = LookUp(ButtonFunctionNames(), fun)) {
        make = [=](const SensorCfg& cfg) { return chosen(*simple, cfg); };
    } else if (fun == "fire") {
        // The fire dialog's rule: a count of 0 to 3, an interval of 10 to 255.
        const auto count = static_cast<uint8_t>(Number(w, 3, 0, kFireCountLimit, "count"));
        const auto interval =
            static_cast<uint8_t>(Number(w, 4, kFireIntervalMin, kFireIntervalMax, "interval"));
        // A burst the mouse keeps as one of its click functions is stored as that function
        // (the same bytes), and said so, as the window does.
        if (const std::optional<KeyInfo> same = FireReadsBackAs(count, interval)) {
            note = FireStoredAsText(count, interval, *same);
            make = [same](const SensorCfg&) { return *same; };
        } else {
            make = [=](const SensorCfg&) { return FireKey(count, interval); };
        }
        used = 5;
    } else if (fun == "combo") {
        std::string why;
        auto c = ParseCombo(Word(w, 3, "combination"), &why);
        if (!c) throw UsageError{why};
        make = [c](const SensorCfg&) {
            return ComboKey(c->modifiers, c->keys[0], c->keys[1], c->keys[2]);
        };
        used = 4;
    } else if (fun == "media") {
        auto m = LookUp(MediaNames(), Word(w, 3, "media key"));
        if (!m) throw Unknown("media key", w[3], NamesOf(MediaNames()));
        make = [=](const SensorCfg& cfg) { return chosen(*m, cfg); };
        used = 4;
    } else if (fun == "sniper") {
        const int64_t dpi = Number(w, 3, 1, 1000000, "DPI");
        // Only the values the page's sniper menu offers: the mouse keeps the table position in
        // one byte, so any other value would come back as a different DPI.
        make = [dpi](const SensorCfg& cfg) -> std::optional<KeyInfo> {
            const auto items = SniperItems(FindSensorTable(static_cast<uint32_t>(cfg.Sensor)));
            std::string offered;
            for (const SniperItem& i : items) {
                if (i.dpi == dpi) return SniperKey(i.index);
                offered += " " + std::to_string(i.dpi);
            }
            throw UsageError{items.empty() ? "this mouse offers no sniper DPI"
                                           : "sniper DPI must be one of" + offered + ": " +
                                                 std::to_string(dpi)};
        };
        used = 4;
    } else if (fun == "macro") {
        auto m = g_MacroList.FindMacroByNameUtf8(Word(w, 3, "macro name"));
        if (!m) throw NoMacroNamed(w[3]);
        const uint32_t id = m->id;
        make = [id](const SensorCfg&) { return MacroKey(id); };
        used = 4;
    } else if (fun == "extra") {
        const auto j = static_cast<uint32_t>(Number(w, 3, 1, 3, "extra key"));
        make = [=](const SensorCfg& cfg) { return chosen(0x0B000000 + j - 1, cfg); };
        used = 4;
    } else if (fun == "custom") {
        const auto code = static_cast<uint32_t>(Number(w, 3, 0, 0xFFFFFF, "key-matrix code"));
        make = [code](const SensorCfg&) {
            KeyInfo k;
            k.dwFunID = kCustomFunction;
            k.dwParameter = code;
            return std::optional<KeyInfo>(k);
        };
        used = 4;
    } else if (const auto id = ParseNumber(fun, 0, 0xFFFFFFFF);
               id && fun.size() > 2 && fun[1] == 'x' &&
               FindKeyFunction(static_cast<uint32_t>(*id)) &&
               FindKeyFunction(static_cast<uint32_t>(*id))->rule == MatrixRule::kFixed) {
        // The id show prints for a function without words.
        make = [=](const SensorCfg& cfg) { return chosen(static_cast<uint32_t>(*id), cfg); };
    } else {
        throw Unknown("function", fun, ButtonFunctionWords());
    }
    NoMoreWords(w, used);
    if (int r = Connect(true)) return r;
    const SensorCfg& cfg = *gVar.pSensorCfg;
    const ButtonRowView row = [&] {
        std::lock_guard<std::mutex> lock(ProfileDataLock());
        return gVar.pFile ? ViewButtonRows(*gVar.pFile, cfg, gVar.KeyMask)[n - 1] : ButtonRowView{};
    }();
    if (!row.visible) throw UsageError{RowRefusal(cfg, gVar.KeyMask, n - 1)};
    if (!row.enabled) {
        Err(RowRefusal(cfg, gVar.KeyMask, n - 1));
        return kExitFailed;
    }
    const std::optional<KeyInfo> k = make(cfg);
    if (!k) return kExitUsage;
    if (!m_session.CheckDeviceReady()) return kExitFailed;
    if (SetKeyFunction(n - 1, *k) != 1) return kExitFailed;
    m_stored = "button " + std::to_string(n) + ": " + PrintableText(GetKeyFunctionText(*k));
    if (!note.empty()) m_stored += "\n" + PrintableText(note);
    if (!gVar.ApplyNow) RequestApply(kApplyKeys, static_cast<uint32_t>(n - 1));
    return kExitDone;
}

// ---- profiles, reset --------------------------------------------------------------------

int App::ProfileLinks(const Words& w) {
    return RunProfileLinksCommand(w, gVar.szAppDataDir, m_opt.json);
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
        if (!ExportProfile(file)) return kExitFailed;
        m_stored = "profile " + std::to_string(CurrentProfileNumber()) + ": exported to " + file;
        return kExitDone;
    }
    if (const std::string why = UnreadableFile(file); !why.empty()) {
        Err("cannot import " + file + ": " + why);
        return kExitFailed;
    }
    if (!m_session.CheckDeviceReady()) return kExitFailed;
    if (!ImportProfile(file, PageImportRules())) return kExitFailed;
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
