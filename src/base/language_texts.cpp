#include "base/language_texts.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "base/log.h"
#include "base/xml_reader.h"
#include "platform/codepage.h"
#include "platform/fs.h"

namespace {

const char* const kSingleKeys[] = {
    // window and general (tc_debounce_tips comes last of all)
    "tc_title", "tc_lodtips", "tc_fwver", "tc_appdata", "tc_config", "tc_exit", "tc_version",
    "tc_restore", "tc_reset", "tc_ok", "tc_cancel", "tc_apply", "tc_profile", "tc_tips",
    "tc_sensor_tips", "tc_str1", "tc_str2", "tc_str3", "tc_page1", "tc_page2", "tc_page3",
    "tc_page4",
    // names screen readers say for the window's pictures and the buttons page's rows
    "tc_min", "tc_help", "tc_lang", "tc_battery", "tc_charging", "tc_button",
    // macro page
    "tc_macro_stop", "tc_macro_start", "tc_macro_list", "tc_macro_key_list", "tc_macro_auto",
    "tc_macro_loop", "tc_macro_loop1", "tc_macro_loop2", "tc_macro_loop3", "tc_macro_msg1",
    "tc_macro_msg2", "tc_macro_msg3", "tc_macro_msg4", "tc_macro_msg5", "tc_macro_msg6",
    "tc_macro_msg7", "tc_macro_msg8", "tc_macro_msg9", "tc_macro_msg10", "tc_macro_msg11",
    "tc_macro_msg12", "tc_macro_msg13", "tc_macro_msg14", "tc_macro_msg15", "tc_macro_msg16",
    "tc_macro_msg17", "tc_macro_msg18", "tc_macro_msg19", "tc_macro_msg20", "tc_macro_msg21",
    "tc_macro_msg22",
    // button functions
    "tc_msfun", "tc_click", "tc_menu", "tc_middle", "tc_forward", "tc_back", "tc_dbclick",
    "tc_rdbclick", "tc_scrollup", "tc_scrolldown", "tc_mac_def", "tc_key_off", "tc_PL", "tc_stop",
    "tc_pre_media", "tc_next_media", "tc_vol_up", "tc_vol_dw", "tc_mute", "tc_kbmedia_forward",
    "tc_kbmedia_back", "tc_kbmedia_stop", "tc_kbmedia_search", "tc_kbmedia_mail", "tc_kbmedia_main",
    "tc_kbmedia_explore", "tc_kbmedia_cal", "tc_kbmedia_refresh", "tc_kbmedia_favor",
    "tc_kbmedia_msel", "tc_combokey", "tc_media", "tc_combo_tips", "tc_web", "tc_mainweb", "tc_dpi",
    "tc_dpiadd", "tc_dpisub", "tc_dpiloop", "tc_dpirange", "tc_three", "tc_fire", "tc_rgb",
    "tc_snipe", "tc_singlekey", "tc_windows", "tc_shift", "tc_reportsw", "tc_customkey", "tc_rgbsw",
    "tc_error", "tc_prosw",
    // messages
    "tc_msg1", "tc_msg2", "tc_msg3", "tc_msg4", "tc_msg5", "tc_msg6", "tc_msg7", "tc_msg8",
    "tc_msg9", "tc_msg10", "tc_msg11", "tc_msg12", "tc_msg13", "tc_msg14", "tc_msg15", "tc_msg16",
    "tc_msg17", "tc_msg18", "tc_msg19", "tc_msg20", "tc_msg21", "tc_msg22", "tc_msg23", "tc_msg24",
    "tc_msg25", "tc_msg26", "tc_msg27", "tc_msg28", "tc_msg29", "tc_msg30", "tc_msg31", "tc_msg32",
    "tc_msg33", "tc_msg34", "tc_msg35", "tc_msg36", "tc_msg37", "tc_msg38",
    // lighting and modes
    "tc_mode1", "tc_mode2", "tc_mode3", "tc_led_mode1", "tc_led_mode2", "tc_led_mode3",
    "tc_led_mode4", "tc_led_mode5", "tc_led_mode6", "tc_led_mode7", "tc_led_eft1", "tc_led_eft2",
    "tc_led_eft3", "tc_led_eft4",
    // messages of our own: a language without them falls back to English where they are used
    "tc_save_failed", "tc_dpi_stored", "tc_pid_unavailable", "tc_fire_as_click", "tc_summary",
    "tc_macro_help",
    // the profile that follows the program in front, the DPI overlay, the battery in the tray
    "tc_links", "tc_links_default", "tc_links_as_default", "tc_links_running", "tc_links_name",
    "tc_links_remove", "tc_links_prompt", "tc_links_bad", "tc_links_full", "tc_links_none",
    "tc_dpi_overlay", "tc_dpi_level", "tc_battery_low"};

struct Family {
    const char* prefix;
    int count;
};
const Family kFamilies[] = {
    {"tc_adv_str", 30}, {"tc_tip", 5}, {"tc_ex", 3}, {"tc_comboname", 2}, {"tc_lod", 2}};

const std::unordered_map<std::string_view, int32_t>& KeyIndex() {
    static const std::unordered_map<std::string_view, int32_t> index = [] {
        std::unordered_map<std::string_view, int32_t> m;
        const auto& keys = TextTable::Keys();
        for (size_t i = 0; i < keys.size(); ++i) m.emplace(keys[i], static_cast<int32_t>(i));
        return m;
    }();
    return index;
}

// The texts everyone reads. A switch publishes a new table; old tables are kept so that a
// reference handed out by GetText on another thread never dangles. Identical tables are shared,
// so switching back and forth between languages does not keep adding copies.
std::mutex gTablesLock;
std::vector<std::unique_ptr<const TextTable>> gTables;
std::atomic<const TextTable*> gCurrent{nullptr};

void Publish(TextTable table) {
    std::lock_guard<std::mutex> lock(gTablesLock);
    for (const auto& t : gTables) {
        if (*t == table) {
            gCurrent.store(t.get(), std::memory_order_release);
            return;
        }
    }
    gTables.push_back(std::make_unique<const TextTable>(std::move(table)));
    gCurrent.store(gTables.back().get(), std::memory_order_release);
}

}  // namespace

TextTable::TextTable() : m_texts(Keys().size()) {}

const std::vector<std::string>& TextTable::Keys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k(std::begin(kSingleKeys), std::end(kSingleKeys));
        for (const Family& f : kFamilies)
            for (int i = 1; i <= f.count; ++i) k.push_back(f.prefix + std::to_string(i));
        k.push_back("tc_debounce_tips");
        return k;
    }();
    return keys;
}

int32_t TextTable::IndexOf(std::string_view key) {
    const auto& index = KeyIndex();
    auto it = index.find(key);
    return it == index.end() ? -1 : it->second;
}

void TextTable::Fill(XmlReader& xml) {
    for (auto& t : m_texts) t.clear();
    std::vector<bool> found(m_texts.size());
    // One walk over every <config> gives what a search per key would (the first config holding
    // a key wins, and in it the first element of that name) without costing keys x elements on
    // a large file.
    xml.Rewind();
    while (xml.FindChild(u"config")) {
        XmlReader::Position inConfig = xml.GetPosition();
        xml.EnterElement();
        while (xml.FindChild()) {
            int32_t i = IndexOf(platform::Utf16ToUtf8(xml.GetChildName()));
            if (i < 0 || found[static_cast<size_t>(i)]) continue;
            found[static_cast<size_t>(i)] = true;
            m_texts[static_cast<size_t>(i)] = platform::Utf16ToUtf8(xml.GetChildContent());
        }
        xml.SetPosition(inConfig);
    }
}

const std::string& TextTable::Get(std::string_view key) const {
    static const std::string empty;
    int32_t i = IndexOf(key);
    return i < 0 ? empty : m_texts[static_cast<size_t>(i)];
}

bool LoadTexts(const std::string& path) {
    XmlReader xml;
    if (!xml.Load(path)) {
        LogPrintf("Load texts %s failed: %s", path.c_str(), xml.GetLoadResult().c_str());
        return false;
    }
    if (!xml.Parse()) LogPrintf("Texts %s: %s", path.c_str(), xml.GetError().c_str());
    TextTable table;
    table.Fill(xml);
    Publish(std::move(table));
    return true;
}

bool LoadDefaultTexts(const std::string& appDir) {
    return LoadTexts(platform::JoinPath(appDir, "text.xml"));
}

const std::string& GetText(std::string_view key) {
    static const std::string empty;
    const TextTable* t = gCurrent.load(std::memory_order_acquire);
    return t ? t->Get(key) : empty;
}
