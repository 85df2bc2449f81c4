// Writes the starting inputs of the fuzz targets: files and device memory as the program itself
// writes them (macro files, profile exports, the profile cache, the virtual mouse's memory after
// a full write, combination and macro areas), the shipped texts and configuration, and damaged
// forms of them that the tests know. A fuzzer that starts from these passes the magic numbers,
// sizes and checksums that random bytes never match, and so reaches the readers behind them.
// Usage: zv_fuzz_seeds OUTDIR   (one folder per target below OUTDIR)
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "fuzz/fuzz_setup.h"
#include "macro/macro_file.h"
#include "macro/macro_list.h"
#include "profile/apply_thread.h"
#include "profile/combo_record.h"
#include "profile/eeprom_reader.h"
#include "profile/eeprom_writer.h"
#include "profile/hd_macro.h"
#include "profile/modifier_bits.h"
#include "profile/profile_cache.h"
#include "profile/profile_defaults.h"
#include "profile/profile_file.h"
#include "profile/profile_transfer.h"
#include "sim/virtual_mouse.h"
#include "support/sim_link.h"

namespace {

using Bytes = std::vector<uint8_t>;
std::string g_out;

void Put(const std::string& target, const std::string& name, const Bytes& bytes) {
    const std::string dir = platform::JoinPath(g_out, target);
    platform::MakeDirectory(dir);
    if (!platform::WriteFileAtomic(platform::JoinPath(dir, name), bytes.data(), bytes.size())) {
        std::fprintf(stderr, "cannot write %s/%s\n", target.c_str(), name.c_str());
        std::exit(1);
    }
}
void Put(const std::string& target, const std::string& name, const std::string& text) {
    Put(target, name, Bytes(text.begin(), text.end()));
}
Bytes ReadAll(const std::string& path) {
    Bytes b;
    if (!platform::ReadFile(path, b)) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(1);
    }
    return b;
}
std::string Text(const Bytes& b) {
    return std::string(b.begin(), b.end());
}
Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Macros of every shape the editor makes: keys with delays, mouse buttons and moves, the
// longest one, a name beyond ASCII, loop options.
std::vector<StMacro> SampleMacros() {
    std::vector<StMacro> out;
    StMacro copy = NewMacroRecord("Copy", 0x10001);
    copy.events[0] = {0x11, kMacroEventDown, 20};
    copy.events[1] = {0x43, kMacroEventDown, 35};
    copy.events[2] = {0x43, 0, 15};
    copy.events[3] = {0x11, 0, 0};
    out.push_back(copy);

    StMacro longest = NewMacroRecord("", 0x10002);
    SetMacroName(longest, u"Gr\u00f6\u00dfe \u2192 \u901f\u5ea6 long name of a macro!!");
    for (int i = 0; i < MAX_MACRO_EVENTS; ++i) {
        const uint16_t down = (i % 2) ? 0 : kMacroEventDown;
        if (i % 7 == 3)
            longest.events[i] = {static_cast<int16_t>(0x0305 + i), kMacroEventMove,
                                 static_cast<uint32_t>(i)};
        else
            longest.events[i] = {static_cast<int16_t>(0x30 + i / 2), down,
                                 static_cast<uint32_t>(5 * i + 1)};
    }
    longest.LoopMode = 2;
    longest.repeatCount = 5;
    out.push_back(longest);

    StMacro buttons = NewMacroRecord("Clicks", 0x10003);
    buttons.events[0] = {0x01, kMacroEventDown, 40};  // left button
    buttons.events[1] = {0x01, 0, 60};
    buttons.events[2] = {0x02, kMacroEventDown, 40};  // right button
    buttons.events[3] = {0x02, 0, 60};
    buttons.events[4] = {0x5C, kMacroEventDown, 1};  // right Windows
    buttons.events[5] = {0x5C, 0, 0};
    buttons.autoDelay = 0;
    out.push_back(buttons);

    out.push_back(NewMacroRecord("Empty", 0x10004));
    return out;
}

void QzmFiles(const std::string& work) {
    int n = 0;
    Bytes first;
    for (StMacro m : SampleMacros()) {
        const std::string path = platform::JoinPath(work, "m.qzm");
        if (!WriteMacroFile(m, path)) std::exit(1);
        Bytes b = ReadAll(path);
        if (first.empty()) first = b;
        Put("fuzz_qzm_file", "written" + std::to_string(++n) + ".qzm", b);
    }
    // Damaged: one byte short, a wrong magic, bytes after the record.
    Bytes shorter(first.begin(), first.end() - 1);
    Put("fuzz_qzm_file", "short.qzm", shorter);
    Bytes magic = first;
    magic[0] ^= 0x04;
    Put("fuzz_qzm_file", "wrong_magic.qzm", magic);
    Put("fuzz_qzm_file", "trailing.qzm", Cat(first, Bytes(16, 0xAB)));
    // A name without its terminating zero, and every event slot filled: a macro the mouse
    // cannot play, which the reader refuses though its magic is right.
    StMacro full = NewMacroRecord("", 0x10005);
    for (char16_t& c : full.name) c = u'Z';
    for (MacroEvent& e : full.events) e = {0x41, kMacroEventDown, 1};
    Bytes raw(kStMacroSize);
    MacroFileBytes(full, raw.data());
    Put("fuzz_qzm_file", "no_name_end_all_slots.qzm", raw);
}

void HdMacros() {
    int n = 0;
    for (const StMacro& m : SampleMacros()) {
        uint8_t hd[kHdMacroWorkBytes];
        const size_t len = StMacro_To_HdMacro(&m, hd, sizeof hd);
        // The target takes the area from its event count on.
        Put("fuzz_hd_macro", "area" + std::to_string(++n), Bytes(hd + 31, hd + len));
    }
    Put("fuzz_hd_macro", "count_beyond_bytes", Bytes{70, 0x81, 0x04, 0x00, 0x00, 0x32});
    Put("fuzz_hd_macro", "count_255", Bytes{0xFF, 0x81, 0x04, 0x00, 0x00, 0x32, 0x41, 0x04});
}

void Combos() {
    const KeyInfo keys[] = {
        {0x020000A1, 4, 0, {kComboCtrl | kComboShift, 0x41, 0, 0}},
        {0x020000A1, 4, 0, {kComboCtrl | kComboAlt | kComboShift | kComboWin, 0x41, 0x42, 0x43}},
        {0x020000A1, 4, 0, {0, 0x70, 0, 0}},
        {0x020000A1, 4, 0, {kComboAlt, 0x09, 0x25, 0}},
        {0x04000026, 4, 0, {}},
        {0x0400002A, 4, 0, {}},
        {0x03000001, 4, 0, {}},
    };
    int n = 0;
    for (const KeyInfo& k : keys) {
        uint8_t buf[kComboSlotBytes] = {};
        const size_t len = BuildComboRecord(k, buf, sizeof buf);
        if (len == 0) continue;
        Bytes rec(buf, buf + len + 1);
        Put("fuzz_combo_record", "record" + std::to_string(++n), rec);
        if (n == 1) {
            rec.back() ^= 1;  // a wrong check byte
            Put("fuzz_combo_record", "bad_check", rec);
        }
    }
}

// A profile that differs from the defaults in every part: name, keys of each kind, levels,
// lighting, Windows settings.
ProfileFile VariedProfile(StMacro* macro) {
    ProfileFile p;
    NewProfile(p, "Seed \u00e9t\u00e9");
    p.keys[0][2] = {0x020000A1, 3, 0, {kComboCtrl | kComboShift, 0x41, 0, 0}};
    p.keys[0][3] = {0x04000026, 4, 0, {}};
    if (macro) p.keys[0][4] = {0x05000000, 5, macro->id};
    p.nRate = 0x500;
    p.nWheelLines = -1;
    p.nPointerSpeed = 14;
    p.nDpiLevels = 5;
    for (int i = 0; i < 5; ++i) p.dpi[i] = {400u + 400u * i, 800u + 400u * i, 0x00FF0000u >> i, 0};
    p.nSavedDpiLevel = 2;
    p.nLod = 2;
    p.nDebounce = 8;
    p.nSleepTime = 120;
    p.mainLight = {3, 2, 4, 0x00123456, {}};
    p.logoLight = {1, 1, 2, 0x00ABCDEF, {}};
    return p;
}

void ProfileRecords() {
    int n = 0;
    for (size_t i = 0; i < gVar.SensorCfgs.size(); ++i) {
        if (!gVar.SensorCfgs[i].Sensor) continue;
        gVar.pSensorCfg = &gVar.SensorCfgs[i];
        LoadDefaultKeys();
        ProfileFile p;
        NewProfile(p, "Profile " + std::to_string(i));
        Bytes b(kProfileFileSize);
        ProfileToBytes(p, std::span<uint8_t, kProfileFileSize>(b.data(), b.size()));
        Put("fuzz_profile_record", "new" + std::to_string(++n), b);
    }
    gVar.pSensorCfg = &gVar.SensorCfgs[0];
    LoadDefaultKeys();
    ProfileFile p = VariedProfile(nullptr);
    Bytes b(kProfileFileSize);
    ProfileToBytes(p, std::span<uint8_t, kProfileFileSize>(b.data(), b.size()));
    Put("fuzz_profile_record", "varied", b);
    Put("fuzz_profile_record", "all_ff", Bytes(kProfileFileSize, 0xFF));
}

// Export files and the profile cache, as the program writes them into its data folder.
void ExportsAndCache(const std::string& work) {
    gVar.szAppDataDir = work;
    gVar.pSensorCfg = &gVar.SensorCfgs[0];
    LoadDefaultKeys();
    g_MacroList.Clear();
    std::vector<StMacro> macros = SampleMacros();
    for (StMacro& m : macros) g_MacroList.AddMacroToList(m);
    gVar.ProfileList.assign(kProfileCount, ProfileFile{});
    for (int i = 0; i < kProfileCount; ++i)
        NewProfile(gVar.ProfileList[i], "P" + std::to_string(i));
    gVar.ProfileList[1] = VariedProfile(&macros[0]);
    gVar.ProfileList[1].keys[0][5] = {0x05000000, 6, macros[1].id};
    gVar.pFile = &gVar.ProfileList[0];
    const std::string qza = platform::JoinPath(work, "e.qza");
    if (!ExportProfile(qza, g_MacroList, {})) std::exit(1);
    Bytes plain = ReadAll(qza);
    Put("fuzz_qza_import", "plain.qza", plain);
    gVar.pFile = &gVar.ProfileList[1];
    if (!ExportProfile(qza, g_MacroList, {})) std::exit(1);
    Bytes withMacros = ReadAll(qza);
    Put("fuzz_qza_import", "with_macros.qza", withMacros);
    Put("fuzz_qza_import", "short.qza", Bytes(withMacros.begin(), withMacros.end() - 7));
    Bytes magic = withMacros;
    magic[3] ^= 0x10;
    Put("fuzz_qza_import", "wrong_magic.qza", magic);
    Put("fuzz_qza_import", "record_only.qza",
        Bytes(plain.begin(), plain.begin() + kProfileFileSize));

    SaveCID();
    SavePro(gVar);
    const Bytes cid = ReadAll(platform::JoinPath(work, "CID.dct"));
    const Bytes cache = ReadAll(ProfileCachePath(*gVar.pSensorCfg));
    Put("fuzz_cache_loaders", "saved", Cat(cid, cache));
    Put("fuzz_cache_loaders", "cid_only", cid);
    Bytes badCache = cache;
    badCache[0] ^= 0xFF;
    Put("fuzz_cache_loaders", "cache_bad_header", Cat(cid, badCache));
    Bytes otherCid = cid;
    otherCid[0] ^= 0x01;
    Put("fuzz_cache_loaders", "unknown_device", Cat(otherCid, cache));
    g_MacroList.Clear();
}

// The virtual mouse's memory: as it leaves the factory, and after the program wrote a varied
// profile (combination and macro areas, names, levels, lighting) into it.
void MemoryImages() {
    SetProfileReadPauses(false);
    int n = 0;
    for (size_t i = 0; i < gVar.SensorCfgs.size() && i < 3; ++i) {
        const SensorCfg& c = gVar.SensorCfgs[i];
        if (!c.Sensor) continue;
        zvtest::SimLink link(c.CID, c.MID);
        gVar.pSensorCfg = &gVar.SensorCfgs[i];
        LoadDefaultKeys();
        // The target's first byte picks the mouse: entry i of the catalogue.
        Put("fuzz_get_profile", "factory" + std::to_string(++n),
            Cat(Bytes{static_cast<uint8_t>(i)}, link.WholeProfile()));

        g_MacroList.Clear();
        std::vector<StMacro> macros = SampleMacros();
        for (StMacro& m : macros) g_MacroList.AddMacroToList(m);
        ProfileFile p = VariedProfile(&macros[0]);
        p.keys[0][5] = {0x05000000, 6, macros[1].id};
        if (WriteProfile(CurrentProfileContext(), &link.drv, &p, g_MacroList, kApplyAll, kAllItems,
                         1) != 1) {
            std::fprintf(stderr, "writing the profile into the virtual mouse failed\n");
            std::exit(1);
        }
        const Bytes image = link.WholeProfile();
        Put("fuzz_get_profile", "written" + std::to_string(n),
            Cat(Bytes{static_cast<uint8_t>(i)}, image));

        // The same as the decoder's input: mouse, buttons left alone, then the stored parts.
        ProfileCodecContext ctx = CurrentProfileContext();
        ProfileBytes pb;
        if (ReadProfileBytes(&link.drv, ctx, pb) != 1) std::exit(1);
        Bytes d{static_cast<uint8_t>(i), 0, 0};
        auto add = [&](const void* p, size_t len) {
            const auto* b = static_cast<const uint8_t*>(p);
            d.insert(d.end(), b, b + len);
        };
        add(pb.settings.data(), pb.settings.size());
        add(pb.combos.data(), sizeof pb.combos);
        add(pb.names.data(), sizeof pb.names);
        add(pb.macros.data(), sizeof pb.macros);
        Put("fuzz_profile_decode", "written" + std::to_string(n), d);
        d[1] = 0x30;  // two buttons left alone
        Put("fuzz_profile_decode", "keys_kept" + std::to_string(n), d);
        Put("fuzz_profile_decode", "settings_only" + std::to_string(n),
            Bytes(d.begin(), d.begin() + 3 + static_cast<long>(pb.settings.size())));

        // A state file of the virtual mouse, as the command line keeps it.
        std::string state;
        link.rx->WithMouse([&](sim::VirtualMouse& m) { state = m.Serialize(); });
        Put("fuzz_device_input", "state" + std::to_string(n), "\x03" + state);
    }
    g_MacroList.Clear();
    Put("fuzz_get_profile", "all_ff", Cat(Bytes{0}, Bytes(sim::kProfileBytes, 0xFF)));
    Put("fuzz_profile_decode", "all_ff", Cat(Bytes{0, 0, 0}, Bytes(3000, 0xFF)));
}

void DeviceInput() {
    // Reports as the service thread hands them on (notifications: DPI button, profile, sleep),
    // identification answers, and report descriptors of a receiver.
    Put("fuzz_device_input", "notify_dpi", Bytes{0, 0x0a, 0x01, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    Put("fuzz_device_input", "notify_battery", Bytes{0, 0x0a, 0x04, 0x55, 0x01, 0, 0, 0, 0});
    Put("fuzz_device_input", "reply_status",
        Bytes{0, 0x09, 0x81, 0x01, 0x00, 0x10, 0x1a, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x55});
    Put("fuzz_device_input", "identify",
        Bytes{1, 0x10, 0x1a, 0x01, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10, 0x1a, 0x02});
    // A vendor page with an 8-bit report of 16 bytes, in and out, and a feature report.
    Put("fuzz_device_input", "descriptor",
        Bytes{2,    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x09, 0x15,
              0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x10, 0x09, 0x02, 0x81,
              0x02, 0x09, 0x03, 0x91, 0x02, 0x09, 0x04, 0xB1, 0x02, 0xC0});
    Put("fuzz_device_input", "descriptor_unclosed",
        Bytes{2, 0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xA1, 0x00, 0x95, 0xFF, 0x75, 0x20});
}

// The shipped texts and configuration, and damaged forms the tests know.
void TextsAndOptions() {
    const std::string data = zvfuzz::RepoData();
    const Bytes cfg = ReadAll(data + "cfg.ini");
    Put("fuzz_ini_options", "shipped_cfg.ini", cfg);
    Put("fuzz_ini_options", "bom_crlf.ini",
        "\xEF\xBB\xBF[OPT]\r\nTitle=Zorvan\r\nDebug=2\r\nappdir=Zv\r\nptNavi=10,20\r\n");
    Put("fuzz_ini_options", "duplicates.ini",
        "[OPT]\nDebug=1\n[OPT]\nDebug=2\nDebug=3\n[DEV_1]\nSensor=12368\n[DEV_1]\nCID=16\n");
    Put("fuzz_ini_options", "unclosed.ini", "[OPT\nTitle=x\n[ ]\n=\n=value\nkey\n[DEV_0]\nDM=9\n");
    Put("fuzz_ini_options", "long_values.ini",
        "[OPT]\nTitle=" + std::string(600, 'T') + "\nptNavi=" + std::string(300, '9') + ",-1\n");

    // The device sections alone, behind the target's sensor and switch bytes.
    const std::string text = Text(cfg);
    size_t at = text.find("[DEV_");
    int n = 0;
    while (at != std::string::npos) {
        size_t next = text.find("\n[", at + 1);
        std::string section =
            text.substr(at, next == std::string::npos ? std::string::npos : next + 1 - at);
        if (section.rfind("[DEV_", 0) == 0) {
            ++n;
            Put("fuzz_device_sections", "dev" + std::to_string(n),
                std::string{static_cast<char>(n & 7), static_cast<char>(n)} + section);
        }
        at = next == std::string::npos ? next : next + 1;
    }
    Put("fuzz_device_sections", "all_shipped", std::string{0, 0} + text);
    Put("fuzz_device_sections", "table_overlong",
        std::string{7, 12} + "DM=9\nDEFLEVEL=12\nKeyNum=40\nDPI=" + std::string(2000, '1') +
            "\nTable=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20\n");

    std::vector<platform::DirEntry> entries;
    Put("fuzz_xml_reader", "text.xml", ReadAll(data + "text.xml"));
    if (platform::ListDirectory(data, entries))
        for (const platform::DirEntry& e : entries) {
            const std::string lang =
                platform::JoinPath(platform::JoinPath(data, e.name), "text.xml");
            if (e.isDirectory && platform::FileExists(lang))
                Put("fuzz_xml_reader", e.name + ".xml", ReadAll(lang));
        }
    Put("fuzz_xml_reader", "unclosed.xml", "<?xml version=\"1.0\"?><Root><Text id=\"1\">a<b>");
    Put("fuzz_xml_reader", "deep.xml", std::string(200, '<') + std::string(200, '>'));
    Put("fuzz_xml_reader", "entities.xml",
        "<R a='&amp;&lt;&#65;&#x42;&bogus;'><!-- c --><![CDATA[x<y]]><T>&quot;</T></R>");
}

void CommandLines() {
    auto args = [](std::initializer_list<const char*> words) {
        std::string s;
        for (const char* w : words) {
            if (!s.empty()) s += '\0';
            s += w;
        }
        return s;
    };
    Put("fuzz_cli_args", "set_dpi", args({"--sim=m.state", "set", "dpi", "1", "800x1600"}));
    Put("fuzz_cli_args", "set_key", args({"--cfg", "cfg.ini", "set", "key", "3", "ctrl+shift+a"}));
    Put("fuzz_cli_args", "set_colour", args({"set", "light", "main", "breathing", "#12ab9f"}));
    Put("fuzz_cli_args", "rate", args({"--data-dir", "d", "set", "rate", "500"}));
    Put("fuzz_cli_args", "eeprom", args({"eeprom", "read", "0x1a00", "0x40"}));
    Put("fuzz_cli_args", "sim", args({"--sim=s", "sim", "dpi-button"}));
    Put("fuzz_cli_args", "faults", "no-reply cmd=0x12 skip=2 times=3;late-reply delay=900");
    Put("fuzz_cli_args", "faults_always", "garbage times=always;latency=5;unplug skip=20");
    Put("fuzz_cli_args", "negative", args({"set", "wheel", "-1", "on", "off", "0x"}));
    Put("fuzz_cli_args", "misspelt", args({"sett", "dpii", "--help", "--version"}));
}

void UiInput() {
    // Mode byte, then key events (key, down/up, ticks since the last), a zero, then typed text.
    Put("fuzz_ui_input", "ctrl_a",
        Bytes{0, 0x11, 1, 1, 0x41, 1, 2, 0x41, 0, 2, 0x11, 0, 1, 0, '1', '2'});
    Put("fuzz_ui_input", "checkboxes",
        Bytes{0x3d, 0x41, 1, 0, 0x41, 0, 1, 0, '6', '5', '5', '3', '6'});
    Put("fuzz_ui_input", "many_keys", Bytes{2, 0x41, 1,    1, 0x42, 1,    1, 0x43, 1, 1,   0x44,
                                            1, 1,    0x10, 1, 1,    0x12, 1, 1,    0, '-', '3'});
    Put("fuzz_ui_input", "text_only", Bytes{0x80, 0x20, 0, ' ', '0', '0', '7', 'x'});
}

void MacroFolders() {
    // One entry a line: a kind byte (0 folder, 1 macro, 2 leftover, 3 other file) and a path.
    auto line = [](uint8_t kind, const std::string& path) {
        return std::string(1, static_cast<char>(kind)) + path + "\n";
    };
    Put("fuzz_macro_folder", "plain",
        "\x01" + line(0, "Games") + line(1, "Games/Jump.qzm") + line(1, "Copy.qzm") +
            line(5, "Paste.qzm"));
    Put("fuzz_macro_folder", "case_twins",
        "\x00" + line(1, "copy.qzm") + line(1, "COPY.qzm") + line(9, "Copy.QZM") +
            line(2, "copy.qzm"));
    // Two files of one macro id (a file copied beside the program): each must keep a macro of
    // its own in the library.
    Put("fuzz_macro_folder", "regression_copied_file_same_id",
        "\x00" + line(1, "Jump.qzm") + line(1, "Copy of Jump.qzm"));
    Put("fuzz_macro_folder", "odd_names",
        "\x01" + line(1, "\xC3\x28.qzm") +
            line(1,
                 "a\x01"
                 "b.qzm") +
            line(3, "notes.txt") + line(1, "../up.qzm") + line(0, "x/y/z") +
            line(13, "x/y/z/deep.qzm"));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zv_fuzz_seeds OUTDIR\n");
        return 2;
    }
    g_out = argv[1];
    platform::MakeDirectory(g_out);
    zvfuzz::StartQuietly(true);
    const std::string work = zvfuzz::WorkFolder("zv_fuzz_seeds_");
    gVar.szAppDataDir = work;
    gVar.pSensorCfg = &gVar.SensorCfgs[0];
    LoadDefaultKeys();
    QzmFiles(work);
    HdMacros();
    Combos();
    ProfileRecords();
    ExportsAndCache(work);
    MemoryImages();
    DeviceInput();
    TextsAndOptions();
    CommandLines();
    UiInput();
    MacroFolders();
    return 0;
}
