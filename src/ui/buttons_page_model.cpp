#include "ui/buttons_page_model.h"

#include <algorithm>
#include <cstdio>

#include "base/language_texts.h"
#include "profile/eeprom_writer.h"
#include "profile/key_function.h"
#include "ui/button_assignment.h"

namespace {

constexpr uint32_t kRgbSwitchKey = 0x080000AE;
constexpr uint32_t kMacroFunction = 0x05000000;
constexpr uint32_t kFireFunction = 0x080000A4;

class MenuBuilder {
  public:
    // A top-level item; its position among the top-level items.
    uint32_t Top(const char* textKey, uint32_t value) { return Top(GetText(textKey), value); }
    uint32_t Top(const std::string& text, uint32_t value) {
        m_items.push_back(MakeMenuEntry(kMenuTopLevel, value, text));
        return m_top++;
    }
    void Under(uint32_t head, const std::string& text, uint32_t value) {
        m_items.push_back(MakeMenuEntry(head, value, text));
    }
    void Under(uint32_t head, const char* textKey, uint32_t value) {
        Under(head, GetText(textKey), value);
    }
    std::vector<MenuEntry> Take() {
        // Top-level items first: the menu numbers its top level in list order.
        std::stable_partition(m_items.begin(), m_items.end(),
                              [](const MenuEntry& e) { return e.parent == kMenuTopLevel; });
        return std::move(m_items);
    }

  private:
    std::vector<MenuEntry> m_items;
    uint32_t m_top = 0;
};

const std::string& TextOr(const char* key, const char* fallback) {
    const std::string& t = GetText(key);
    return t.empty() ? GetText(fallback) : t;
}

bool DefaultKeysHold(const SensorCfg& cfg, uint32_t funId) {
    const int n = std::clamp(cfg.nKeyNum, 0, kKeysPerSet);
    return std::any_of(cfg.DefKeys[0].begin(), cfg.DefKeys[0].begin() + n,
                       [funId](const KeyInfo& k) { return k.dwFunID == funId; });
}

}  // namespace

std::vector<SniperItem> SniperItems(const SensorTable* table) {
    std::vector<SniperItem> items;
    if (!table) return items;
    const uint32_t n = std::min<uint32_t>(table->count, kSensorMaxValues);
    for (uint32_t d = 100; d <= 1100; d += 100) {
        // The position travels in one byte of the menu value and of the key-matrix code.
        for (uint32_t k = 0; k < n && k < 256; ++k) {
            if (table->dpi[k] == d) {
                items.push_back({d, static_cast<int>(k)});
                break;
            }
        }
    }
    return items;
}

std::vector<MenuEntry> BuildFunctionMenu(const SensorCfg& cfg, const AppOptions& opt,
                                         const SensorTable* table) {
    MenuBuilder m;
    m.Top("tc_click", 0x01000011);
    m.Top("tc_menu", 0x01000013);
    m.Top("tc_middle", 0x01000012);
    m.Top("tc_forward", 0x01000014);
    m.Top("tc_back", 0x01000015);
    if (cfg.ShowRGBSw && (cfg.ShowMainEffect || cfg.ShowLogoEffect)) m.Top("tc_rgb", 0x080000A7);
    if (cfg.ShowUsbRate) m.Top("tc_reportsw", 0x080000AC);
    if (opt.ShowProSw) m.Top("tc_prosw", 0x080000B0);
    if (opt.ShowFireKey) m.Top("tc_fire", kFireFunction);
    m.Top("tc_combokey", 0x020000A1);
    if (DefaultKeysHold(cfg, kRgbSwitchKey)) m.Top("tc_rgbsw", kRgbSwitchKey);
    m.Top("tc_key_off", 0x080000A2);
    static const char* const kExKeys[3] = {"tc_ex1", "tc_ex2", "tc_ex3"};
    // The extra keys are numbered from the first: a gap ends the list.
    for (uint32_t j = 0; j < 3 && cfg.ExKey[j] != 0; ++j) m.Top(kExKeys[j], 0x0B000000 + j);
    if (opt.ShowMacro) m.Top("tc_mac_def", kMacroFunction);
    std::optional<uint32_t> dpiHead;
    if (cfg.DpiMenuMask != 0) dpiHead = m.Top("tc_dpi", kMenuHeadDpi);
    const uint32_t media = m.Top("tc_media", kMenuHeadMedia);
    const uint32_t sniper = m.Top("tc_adv_str28", kSniperFunction);

    static const std::pair<const char*, uint32_t> kMedia[] = {
        {"tc_kbmedia_msel", 0x04000021},
        {"tc_PL", 0x04000022},
        {"tc_next_media", 0x04000025},
        {"tc_pre_media", 0x04000024},
        {"tc_stop", 0x04000023},
        {"tc_mute", 0x04000028},
        {"tc_vol_up", 0x04000026},
        {"tc_vol_dw", 0x04000027},
        {"tc_kbmedia_mail", 0x03000030},
        {"tc_kbmedia_cal", 0x03000031},
        {"tc_kbmedia_explore", 0x03000032},
        {"tc_kbmedia_main", 0x03000034},
        {"tc_kbmedia_search", 0x03000033},
    };
    for (const auto& [key, value] : kMedia) m.Under(media, key, value);
    m.Under(media, TextOr("tc_kbmedia_forward", "tc_forward"), 0x03000036);
    m.Under(media, TextOr("tc_kbmedia_back", "tc_back"), 0x03000035);
    if (!GetText("tc_kbmedia_stop").empty()) m.Under(media, "tc_kbmedia_stop", 0x03000037);
    m.Under(media, "tc_kbmedia_refresh", 0x03000038);
    m.Under(media, "tc_kbmedia_favor", 0x03000039);

    if (dpiHead) {
        static const std::pair<const char*, uint32_t> kDpi[] = {
            {"tc_dpiadd", 0x080000A8}, {"tc_dpisub", 0x080000A9}, {"tc_dpiloop", 0x080000AA}};
        for (int b = 0; b < 3; ++b)
            if (cfg.DpiMenuMask & (1 << b)) m.Under(*dpiHead, kDpi[b].first, kDpi[b].second);
    }
    for (const SniperItem& s : SniperItems(table))
        m.Under(sniper, std::to_string(s.dpi),
                kSniperFunction | static_cast<uint32_t>(s.index) << 8);
    return m.Take();
}

FunctionChoice OnFunctionChosen(uint32_t value, int row, const SensorCfg& cfg,
                                bool macroListEmpty) {
    FunctionChoice c;
    if (row < 0 || row >= kKeysPerSet) {
        c.step = ChoiceStep::kRefused;
        c.message = GetText("tc_macro_msg17");
        return c;
    }
    const uint32_t type = value >> 24;
    const uint32_t code = value & 0xFFFFFF;
    if (value == kMenuHeadMedia || value == kMenuHeadDpi) return c;
    if (type == kFunMacro) {
        c.step = macroListEmpty ? ChoiceStep::kAskMacroPage : ChoiceStep::kPickMacro;
        if (macroListEmpty) c.message = GetText("tc_msg9");
        return c;
    }
    if (type == kFunCombo) {
        c.step = ChoiceStep::kCaptureCombo;
        return c;
    }
    if (code == (kFireFunction & 0xFFFFFF)) {
        c.step = ChoiceStep::kFireDialog;
        return c;
    }
    c.step = ChoiceStep::kStore;
    if (type == kFunSpecial && (value & 0xFF) == (kSniperFunction & 0xFF)) {
        c.key = SniperKey(static_cast<int>((value >> 8) & 0xFF));
    } else if (type == kFunExKey) {
        if (code > 2 || cfg.ExKey[code] == 0) {
            c.step = ChoiceStep::kRefused;
            c.message = "Wrong Ex Key Index";
            return c;
        }
        c.key.dwFunID = 0x0B000000 + code;
        c.key.dwParameter = cfg.ExKey[code];
    } else {
        c.key.dwFunID = value;
    }
    return c;
}

int MenuItemOf(const std::vector<MenuEntry>& menu, const KeyInfo& current, int row,
               const SensorCfg& cfg) {
    auto standsFor = [&](uint32_t value) {
        const FunctionChoice c = OnFunctionChosen(value, row, cfg, false);
        switch (c.step) {
            case ChoiceStep::kStore:
                return c.key.dwFunID == current.dwFunID && c.key.dwParameter == current.dwParameter;
            case ChoiceStep::kPickMacro:
                return current.dwFunID == kMacroFunction;
            case ChoiceStep::kCaptureCombo:
                return current.Type() == ComboKey(0, 0, 0, 0).Type();
            case ChoiceStep::kFireDialog:
                return current.dwFunID == kFireFunction;
            default:
                return false;
        }
    };
    // Top-level entries come first, so an entry's place is its item's place among them.
    for (size_t i = 0; i < menu.size(); ++i) {
        if (!standsFor(menu[i].value)) continue;
        return menu[i].parent == kMenuTopLevel ? static_cast<int>(i)
                                               : static_cast<int>(menu[i].parent);
    }
    return -1;
}

KeyInfo MacroKey(uint32_t macroId) {
    KeyInfo k;
    k.dwFunID = kMacroFunction;
    k.dwMacroID = macroId;
    return k;
}

KeyInfo ComboKey(uint8_t modifiers, uint8_t key1, uint8_t key2, uint8_t key3) {
    KeyInfo k;
    k.dwFunID = modifiers ? 0x020000A1 : 0x020000A0;
    k.stCombo = {modifiers, key1, key2, key3};
    return k;
}

KeyInfo FireKey(uint8_t count, uint8_t interval) {
    KeyInfo k;
    k.dwFunID = kFireFunction;
    k.dwParameter = static_cast<uint32_t>(count) | static_cast<uint32_t>(interval) << 8;
    return k;
}

std::optional<KeyInfo> FireReadsBackAs(uint8_t count, uint8_t interval) {
    const KeyFunction* fire = FindKeyFunction(kFireFunction);
    if (!fire) return std::nullopt;
    // The fire code: its low byte, the interval above it, the count above that.
    const uint32_t code = fire->matrixCode | static_cast<uint32_t>(interval) << 8 |
                          static_cast<uint32_t>(count) << 16;
    const KeyFunction* same = FindKeyFunctionByCode(code);
    if (!same || same->dwFunID == kFireFunction) return std::nullopt;
    KeyInfo k;
    k.dwFunID = same->dwFunID;
    return k;
}

std::string FireStoredAsText(uint8_t count, uint8_t interval, const KeyInfo& stored,
                             const MacroList& macros) {
    // Placeholders, each as often as the translation uses it; a translation cannot break the
    // numbers' printing as a format could.
    std::string text = GetText("tc_fire_as_click");
    // A language file of the user's own without this text: the English one.
    if (text.empty())
        text =
            "The mouse keeps {count} clicks at interval {interval} as its \u201c{function}\u201d: "
            "the button is set to \u201c{function}\u201d.";
    auto put = [&text](const std::string& name, const std::string& value) {
        for (size_t at = text.find(name); at != std::string::npos;
             at = text.find(name, at + value.size()))
            text.replace(at, name.size(), value);
    };
    put("{count}", std::to_string(count));
    put("{interval}", std::to_string(interval));
    put("{function}", GetKeyFunctionText(stored, macros));
    return text;
}

KeyInfo SniperKey(int index) {
    KeyInfo k;
    k.dwFunID = kSniperFunction;
    k.dwParameter = static_cast<uint32_t>(index) & 0xFF;
    return k;
}

std::array<ButtonRowView, kKeysPerSet> ViewButtonRows(const ProfileFile& p, const SensorCfg& cfg,
                                                      int32_t keyMask, const MacroList& macros) {
    std::array<ButtonRowView, kKeysPerSet> rows{};
    const bool setOk = p.nKeySet >= 0 && p.nKeySet < kKeySets;
    for (int i = 0; i < kKeysPerSet; ++i) {
        ButtonRowView& r = rows[static_cast<size_t>(i)];
        r.visible = i < cfg.nKeyNum;
        r.enabled = !(keyMask & (1 << i));
        if (setOk)
            r.caption = GetKeyFunctionText(
                p.keys[static_cast<size_t>(p.nKeySet)][static_cast<size_t>(i)], macros);
    }
    return rows;
}

std::string RowRefusal(const SensorCfg& cfg, int32_t keyMask, int row) {
    if (row < 0 || row >= kKeysPerSet) return GetText("tc_macro_msg17");
    if (row >= cfg.nKeyNum) return "this mouse has " + std::to_string(cfg.nKeyNum) + " buttons";
    if (keyMask & (1 << row)) return "button " + std::to_string(row + 1) + " cannot be changed";
    return {};
}

// ---- debounce and auto sleep ---------------------------------------------------------------

IntRange DebounceRange(int32_t debounceRangeOption) {
    return {debounceRangeOption & 0xFF, (debounceRangeOption >> 8) & 0xFF};
}

std::string DebounceText(int32_t ms) {
    return std::to_string(ms) + " ms";
}

int32_t DebounceStep(int32_t ms, bool up, IntRange range) {
    if (up) return ms < range.hi ? ms + 1 : ms;
    return ms > range.lo ? ms - 1 : ms;
}

bool DebounceNeedsConfirm(int32_t ms, int32_t tipForDebounce) {
    return tipForDebounce >= ms && tipForDebounce < 255;
}

PageChange SetDebounce(ProfileFile& p, int32_t ms, IntRange range) {
    if (!range.Contains(ms)) return {};
    p.nDebounce = ms;
    return Request(kApplyDebounce, 0);
}

int AutoSleepPosition(int32_t tableValue) {
    const auto it = std::find(kAutoSleepTable.begin(), kAutoSleepTable.end(), tableValue);
    return it == kAutoSleepTable.end() ? -1 : static_cast<int>(it - kAutoSleepTable.begin());
}

std::string AutoSleepText(int32_t tableValue) {
    if (tableValue < 6) return std::to_string(tableValue * 10) + " s";
    return std::to_string(tableValue * 10 / 60) + " m";
}

int32_t AutoSleepSeconds(int32_t tableValue) {
    return tableValue * 10;
}

std::optional<int32_t> AutoSleepValueOfSeconds(int64_t seconds) {
    if (seconds % 10 != 0 || seconds < 0 || seconds > 600) return std::nullopt;
    const auto v = static_cast<int32_t>(seconds / 10);
    if (AutoSleepPosition(v) < 0) return std::nullopt;
    return v;
}

PageChange SetAutoSleep(ProfileFile& p, int32_t tableValue) {
    if (AutoSleepPosition(tableValue) < 0) return {};
    p.nAutoSleep = tableValue;
    return Request(kApplyAutoSleep, 0);
}
