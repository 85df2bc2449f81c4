#include "sim/virtual_mouse.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "base/ini_file.h"

namespace sim {

namespace {

uint8_t Check(const uint8_t* b, size_t n) {
    uint8_t s = 0;
    for (size_t i = 0; i < n; ++i) s = static_cast<uint8_t>(s + b[i]);
    return static_cast<uint8_t>(0x55 - s);
}

void Pair(std::vector<uint8_t>& e, uint32_t addr, uint8_t v) {
    e[addr] = v;
    e[addr + 1] = static_cast<uint8_t>(0x55 - v);
}

void Record(std::vector<uint8_t>& e, uint32_t addr, std::initializer_list<uint8_t> bytes) {
    uint32_t a = addr;
    for (uint8_t b : bytes) e[a++] = b;
    e[a] = Check(&e[addr], bytes.size());
}

// The codes of 100, 200, ... 16000 DPI on the 0x3335. A copy of the program's own table, kept
// here on purpose and written out separately: the mouse shares no code with the program, so a
// wrong entry in the program's table shows up as a DPI the virtual mouse reads differently
// instead of being agreed with. Do not replace it with the program's table.
constexpr uint8_t kTable3335[160] = {
    0x00, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x10, 0x11, 0x12,
    0x13, 0x14, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1D, 0x1E, 0x1F, 0x20, 0x21, 0x23, 0x25, 0x26,
    0x27, 0x28, 0x29, 0x2A, 0x2C, 0x2D, 0x2E, 0x2F, 0x30, 0x32, 0x33, 0x34, 0x35, 0x36, 0x38, 0x39,
    0x3A, 0x3B, 0x3C, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x44, 0x45, 0x46, 0x47, 0x48, 0x4A, 0x4B, 0x4C,
    0x4D, 0x4E, 0x50, 0x51, 0x52, 0x53, 0x54, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5C, 0x5D, 0x5E, 0x5F,
    0x60, 0x62, 0x63, 0x64, 0x65, 0x66, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6E, 0x6F, 0x70, 0x71, 0x72,
    0x74, 0x75, 0x76, 0x77, 0x78, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x80, 0x81, 0x82, 0x83, 0x84, 0x86,
    0x87, 0x88, 0x89, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x92, 0x93, 0x94, 0x95, 0x96, 0x98, 0x99,
    0x9A, 0x9B, 0x9C, 0x9E, 0x9F, 0xA0, 0xA1, 0xA2, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xAA, 0xAB, 0xAC,
    0xAD, 0xAE, 0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD};

// The DPI level record of one value on both axes: X code, Y code, extension byte.
std::array<uint8_t, 3> LevelRecord(uint32_t sensor, uint32_t dpi) {
    uint32_t code = 0, m = 0;
    switch (sensor) {
        case 0x3335: {
            const uint32_t i = dpi <= 16000 ? dpi / 100 - 1 : dpi / 200 - 1;
            code = i < 160 ? kTable3335[i] : 0;
            m = dpi > 16000;
            break;
        }
        case 0x3370:
            if (dpi <= 10000) {
                code = dpi / 50 - 1;
            } else if (dpi <= 19000) {
                code = dpi / 100 - 1;
                m = 2;
            } else {
                code = dpi / 200 - 1;
                m = 3;
            }
            break;
        default:  // 0x3395: steps of 50 with two more code bits, past 26099 steps of 100
            if (dpi <= 26099) {
                code = dpi / 50 - 1;
            } else {
                code = dpi / 100 - 1;
                m = 1;
            }
            const uint8_t hi = static_cast<uint8_t>((code >> 8) & 3);
            return {static_cast<uint8_t>(code), static_cast<uint8_t>(code),
                    static_cast<uint8_t>(m | hi << 2 | m << 4 | hi << 6)};
    }
    return {static_cast<uint8_t>(code), static_cast<uint8_t>(code),
            static_cast<uint8_t>((m & 0x0F) + 16 * m)};
}

// "1,11,0,A": the hexadecimal numbers of a list; empty for an empty text or a word that is none.
std::vector<uint32_t> HexNumbers(const std::string& list) {
    std::vector<uint32_t> out;
    if (list.empty()) return out;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        const std::string word = list.substr(start, comma - start);
        char* end = nullptr;
        const unsigned long v = std::strtoul(word.c_str(), &end, 16);
        if (word.empty() || *end != '\0' || v > 0xFFFFFFFFul) return {};
        out.push_back(static_cast<uint32_t>(v));
        start = comma + 1;
    }
    return out;
}

std::vector<uint32_t> Numbers(const std::string& list) {
    std::vector<uint32_t> out;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        out.push_back(static_cast<uint32_t>(std::strtoul(list.c_str() + start, nullptr, 10)));
        start = comma + 1;
    }
    return out;
}

// The keyboard usages of the keys a catalogue's default combinations name: letters, digits,
// F1 to F12 and a few more; any other key goes out as usage 0, as the program sends it.
uint8_t KeyboardUsage(uint32_t vk) {
    if (vk >= 'A' && vk <= 'Z') return static_cast<uint8_t>(0x04 + vk - 'A');
    if (vk >= '1' && vk <= '9') return static_cast<uint8_t>(0x1E + vk - '1');
    if (vk == '0') return 0x27;
    if (vk >= 0x70 && vk <= 0x7B) return static_cast<uint8_t>(0x3A + vk - 0x70);
    switch (vk) {
        case 0x0D:
            return 0x28;  // Enter
        case 0x1B:
            return 0x29;  // Esc
        case 0x08:
            return 0x2A;  // Backspace
        case 0x09:
            return 0x2B;  // Tab
        case 0x20:
            return 0x2C;  // Space
        default:
            return 0;
    }
}

// A combination record: modifiers down, keys down, modifiers up, keys up in reverse.
std::vector<uint8_t> ComboRecord(uint32_t modifiers, uint32_t k1, uint32_t k2) {
    std::vector<uint8_t> r = {0};
    auto event = [&](uint8_t kind, uint8_t what) {
        r.push_back(kind);
        r.push_back(what);
        r.push_back(0);
        ++r[0];
    };
    for (uint8_t bit : {1, 2, 4, 8})
        if (modifiers & bit) event(0x80, bit);
    for (uint32_t k : {k1, k2})
        if (k) event(0x81, KeyboardUsage(k));
    for (uint8_t bit : {1, 2, 4, 8})
        if (modifiers & bit) event(0x40, bit);
    for (uint32_t k : {k2, k1})
        if (k) event(0x41, KeyboardUsage(k));
    return r;
}

// The consumer usage of a media function code; 0xFFFF for none.
uint16_t ConsumerUsage(uint32_t code) {
    static const std::pair<uint32_t, uint16_t> kUsages[] = {
        {0x21, 0x0183}, {0x22, 0x00CD}, {0x23, 0x00B7}, {0x24, 0x00B6}, {0x25, 0x00B5},
        {0x26, 0x00E9}, {0x27, 0x00EA}, {0x28, 0x00E2}, {0x30, 0x018A}, {0x31, 0x0192},
        {0x32, 0x0194}, {0x33, 0x0221}, {0x34, 0x0223}, {0x35, 0x0224}, {0x36, 0x0225},
        {0x37, 0x0226}, {0x38, 0x0227}, {0x39, 0x022A}};
    for (const auto& [c, u] : kUsages)
        if (c == code) return u;
    return 0xFFFF;
}

// One "K<button>_1" default of the catalogue (type, code, parameter, slot, in hexadecimal) as
// the mouse stores it: its matrix code (0xFFFFFF for a function without one) and, for a
// combination or media key, its record.
void DefaultKey(const IniFile& ini, const std::string& section, uint32_t type, uint32_t code,
                uint32_t param, uint32_t* matrix, std::vector<uint8_t>* record) {
    *matrix = 0xFFFFFF;
    record->clear();
    switch (type) {
        case 1: {
            static const uint32_t kMouse[] = {0x000101, 0x000401, 0x000201, 0x001001,
                                              0x000801, 0x023204, 0x033204};
            if (code >= 0x11 && code <= 0x17) *matrix = kMouse[code - 0x11];
            return;
        }
        case 2:
            *matrix = 0x000005;
            *record = ComboRecord(param & 0x0F, code & 0xFF, (code >> 8) & 0xFF);
            return;
        case 3:
        case 4: {
            const uint16_t u = ConsumerUsage(code & 0xFF);
            const uint8_t lo = static_cast<uint8_t>(u), hi = static_cast<uint8_t>(u >> 8);
            *matrix = 0x000005;
            *record = {2, 0x82, lo, hi, 0x42, lo, hi};
            return;
        }
        case 8:
            switch (code & 0xFF) {
                case 0xA2:
                    *matrix = 0;
                    return;
                case 0xA4: {
                    const uint32_t p = param ? param : 0x0A03;
                    *matrix = 0x04 + 256 * ((p >> 8) & 0xFF) + 65536 * (p & 0xFF);
                    return;
                }
                case 0xA7:
                    *matrix = 0x000008;
                    return;
                case 0xA8:
                    *matrix = 0x000202;
                    return;
                case 0xA9:
                    *matrix = 0x000302;
                    return;
                case 0xAA:
                    *matrix = 0x000102;
                    return;
                case 0xAC:
                    *matrix = 0x000007;
                    return;
                case 0xAD:
                    *matrix = param & 0xFFFFFF;
                    return;
                case 0xB0:
                    *matrix = 0x000009;
                    return;
                default:
                    return;  // a sniper needs the sensor's DPI list, which this mouse lacks
            }
        case 0x0B:
            *matrix = static_cast<uint32_t>(
                          ini.GetInt(section, "ExKey" + std::to_string((code & 0xFF) + 1), 0)) &
                      0xFFFFFF;
            return;
        default:
            return;
    }
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

bool CatalogueMouse(const std::string& cfgIniPath, const std::string& model, uint32_t* cid,
                    uint32_t* mid, FactorySettings* factory, std::string* why) {
    const IniFile ini = IniFile::Load(cfgIniPath);
    std::string names;
    for (int n = 1; n <= 30; ++n) {
        const std::string section = "DEV_" + std::to_string(n);
        if (ini.GetInt(section, "Sensor", 0) == 0) continue;
        const std::string name = ini.GetString(section, "Name", "", 200);
        names += (names.empty() ? "" : ", ") + std::to_string(n) + (name.empty() ? "" : " " + name);
        // "Zorvan Talon" is also just "talon".
        const std::string l = Lower(model), ln = Lower(name);
        const bool named =
            !l.empty() && (l == ln || (ln.size() > l.size() &&
                                       ln.compare(ln.size() - l.size(), l.size(), l) == 0 &&
                                       ln[ln.size() - l.size() - 1] == ' '));
        if (!model.empty() && model != std::to_string(n) && !named) continue;
        *cid = static_cast<uint32_t>(ini.GetInt(section, "CID", 0)) & 0xFF;
        *mid = static_cast<uint32_t>(ini.GetInt(section, "MID", 0)) & 0xFF;
        FactorySettings f;
        f.sensor = static_cast<uint32_t>(ini.GetInt(section, "Sensor", 0));
        f.levels = std::clamp(ini.GetInt(section, "DM", 6), 1, 8);
        f.curLevel = std::clamp(ini.GetInt(section, "DEFLEVEL", 0), 0, f.levels - 1);
        // The default rate is written as the hertz in binary-coded decimal.
        switch (ini.GetInt(section, "DR", 0x1000)) {
            case 0x125:
                f.rateInterval = 8;
                break;
            case 0x250:
                f.rateInterval = 4;
                break;
            case 0x500:
                f.rateInterval = 2;
                break;
            default:
                f.rateInterval = 1;
                break;
        }
        const std::vector<uint32_t> dpi = Numbers(ini.GetString(section, "DPI", "", 400));
        for (size_t i = 0; i < dpi.size() && i < 8; ++i)
            if (dpi[i] >= 50) f.dpi[i] = dpi[i];
        const std::vector<uint32_t> dc = Numbers(ini.GetString(section, "DC", "", 400));
        for (size_t i = 0; i + 2 < dc.size() && i / 3 < 8; i += 3)
            f.colours[i / 3] = {static_cast<uint8_t>(dc[i]), static_cast<uint8_t>(dc[i + 1]),
                                static_cast<uint8_t>(dc[i + 2])};
        const int sleep = ini.GetInt(section, "SleepTime", 60);
        if (sleep >= 10 && sleep <= 2550) f.sleepSeconds = sleep;
        f.liftOff = ini.GetInt(section, "ShowLOD", 1) == 2 ? 2 : 1;
        // The first of the entry's three key sets is what a mouse leaves the factory with;
        // slots no button names stay switched off.
        bool anyKey = false;
        std::array<uint32_t, 16> keys{};
        std::array<std::vector<uint8_t>, 16> records{};
        for (int b = 1; b <= 16; ++b) {
            const std::string v = ini.GetString(section, "K" + std::to_string(b) + "_1", "", 50);
            const std::vector<uint32_t> k = HexNumbers(v);
            if (k.size() != 4 || k[3] < 1 || k[3] > 16) continue;
            const size_t slot = k[3] - 1;
            DefaultKey(ini, section, k[0], k[1], k[2], &keys[slot], &records[slot]);
            anyKey = true;
        }
        if (anyKey) {
            f.keys = keys;
            f.keyRecords = records;
        }
        *factory = f;
        return true;
    }
    if (why)
        *why = names.empty() ? "the catalogue has no mouse"
                             : "no catalogue entry \"" + model + "\" (entries: " + names + ")";
    return false;
}

VirtualMouse::VirtualMouse(uint32_t cid, uint32_t mid, const FactorySettings& factory)
    : m_factory(factory) {
    m_state.cid = cid;
    m_state.mid = mid;
    for (int p = 0; p < kProfiles; ++p) m_state.eeprom[p] = FactoryProfile(p, m_factory);
}

std::vector<uint8_t> VirtualMouse::FactoryProfile(int profile, const FactorySettings& f) {
    std::vector<uint8_t> e(kProfileBytes, 0);
    // The entry's rate, except the last profile at 500 Hz, so that profiles differ.
    Pair(e, 0x00, profile == 3 ? 2 : f.rateInterval);
    Pair(e, 0x02, static_cast<uint8_t>(f.levels));
    // The third profile stands on another level when the entry's is the first.
    Pair(e, 0x04, static_cast<uint8_t>(profile == 2 && f.curLevel == 0 ? 1 : f.curLevel));
    Pair(e, 0x0A, static_cast<uint8_t>(f.liftOff));
    for (int i = 0; i < 8; ++i) {
        const auto r = LevelRecord(f.sensor, f.dpi[static_cast<size_t>(i)]);
        Record(e, 0x0C + 4 * i, {r[0], r[1], r[2]});
    }
    for (int i = 0; i < 8; ++i) {
        const auto& c = f.colours[static_cast<size_t>((i + profile) % 8)];
        Record(e, 0x2C + 4 * i, {c[0], c[1], c[2]});
    }
    Pair(e, 0x4C, 2);    // DPI light mode
    Pair(e, 0x4E, 128);  // DPI light brightness code
    Pair(e, 0x50, 3);    // DPI light speed
    // Logo: colour record, mode 1, brightness 255, speed 3.
    Record(e, 0x54, {0, 128, 255});
    Pair(e, 0x58, 1);
    Pair(e, 0x5A, 255);
    Pair(e, 0x5C, 3);
    for (size_t i = 0; i < 16; ++i) {
        const uint32_t k = f.keys[i];
        Record(
            e, static_cast<uint32_t>(0x60 + 4 * i),
            {static_cast<uint8_t>(k), static_cast<uint8_t>(k >> 8), static_cast<uint8_t>(k >> 16)});
        // A record fills at most its 32-byte area, check byte included.
        const std::vector<uint8_t>& r = f.keyRecords[i];
        if (r.empty() || r.size() > 31) continue;
        const uint32_t at = static_cast<uint32_t>(0x100 + 0x20 * i);
        std::copy(r.begin(), r.end(), e.begin() + at);
        e[at + r.size()] = Check(&e[at], r.size());
    }
    // Main lighting: mode code 1 (breathing), colour, speed code 170, brightness code 255.
    const uint8_t main[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    Record(e, 0xA0, {1, main[profile][0], main[profile][1], main[profile][2], 170, 255});
    Pair(e, 0xA9, 4);  // debounce ms
    Pair(e, 0xAB, 0);  // motion sync
    Pair(e, 0xAD, static_cast<uint8_t>(f.sleepSeconds / 10));
    Pair(e, 0xAF, 0);  // angle snapping
    Pair(e, 0xB1, 0);  // ripple control
    Pair(e, 0xB3, 0);  // light off on moving
    Pair(e, 0xB5, 1);  // auto sleep
    Pair(e, 0xB7, 0);  // sensor mode
    return e;
}

std::array<uint8_t, 17> VirtualMouse::Notification(uint8_t flags, uint8_t b7, uint8_t b8,
                                                   uint8_t b10) const {
    std::array<uint8_t, 17> r{};
    r[0] = 0x09;
    r[1] = 0x0A;
    r[6] = flags;
    r[7] = b7;
    r[8] = b8;
    r[10] = b10;
    r[16] = Check(r.data(), 16);
    return r;
}

void VirtualMouse::StorePair(uint32_t addr, uint8_t v) {
    Pair(m_state.eeprom[m_state.profile], addr, v);
}

bool VirtualMouse::Handle(const uint8_t req[17], uint8_t reply[17]) {
    std::memset(reply, 0, 17);
    reply[0] = 0x09;
    const uint8_t cmd = req[1];
    std::memcpy(reply + 1, req + 1, 5);  // command id, status, address and length as sent
    reply[2] = 0;
    auto done = [&](uint8_t status) {
        reply[2] = status;
        reply[16] = Check(reply, 16);
        return true;
    };
    // A report whose check byte is wrong is refused, whatever it asked.
    if (Check(req, 16) != req[16]) return done(0x01);

    if (cmd == 0x03) {  // the receiver answers this one itself
        reply[6] = m_state.on ? 1 : 0;
        return done(0);
    }
    if (!m_state.on) return false;

    std::vector<uint8_t>& e = m_state.eeprom[m_state.profile];
    const uint32_t addr = (uint32_t(req[3]) << 8) | req[4];
    const uint32_t len = req[5];
    switch (cmd) {
        case 0x01:
            reply[10] = static_cast<uint8_t>(m_state.cid);
            reply[11] = static_cast<uint8_t>(m_state.mid);
            return done(0);
        case 0x02:
            m_state.driverShown = req[6] != 0;
            return done(0);
        case 0x04:
            reply[6] = static_cast<uint8_t>(m_state.battery);
            reply[7] = m_state.charging ? 1 : 0;
            return done(0);
        case 0x07:
            if (len < 1 || len > 10 || addr + len > kProfileBytes) return done(0x02);
            std::memcpy(&e[addr], req + 6, len);
            return done(0);
        case 0x08:
            if (len < 1 || len > 10 || addr + len > kProfileBytes) return done(0x02);
            std::memcpy(reply + 6, &e[addr], len);
            return done(0);
        case 0x09:
            e = FactoryProfile(m_state.profile, m_factory);
            return done(0);
        case 0x0E:
            reply[6] = static_cast<uint8_t>(m_state.profile);
            return done(0);
        case 0x0F:
            reply[6] = m_state.lightingOpen ? 1 : 0;
            return done(0);
        case 0x10:
            if (req[6] >= kProfiles) return done(0x02);
            m_state.profile = req[6];
            return done(0);
        default:
            return done(0x03);  // unknown command
    }
}

std::array<uint8_t, 17> VirtualMouse::PressDpiButton() {
    const std::vector<uint8_t>& e = m_state.eeprom[m_state.profile];
    uint8_t count = e[0x02];
    if (count < 1 || count > 8) count = 1;
    uint8_t level = static_cast<uint8_t>((e[0x04] + 1) % count);
    StorePair(0x04, level);
    return Notification(kEvDpiLevel, level);
}

std::array<uint8_t, 17> VirtualMouse::ChangeRate(uint8_t intervalMs) {
    StorePair(0x00, intervalMs);
    return Notification(kEvRate, 0, intervalMs);
}

std::array<uint8_t, 17> VirtualMouse::SwitchProfile(int profile) {
    m_state.profile = ((profile % kProfiles) + kProfiles) % kProfiles;
    return Notification(kEvProfile, 0, 0, static_cast<uint8_t>(m_state.profile));
}

std::array<uint8_t, 17> VirtualMouse::FactoryReset() {
    m_state.eeprom[m_state.profile] = FactoryProfile(m_state.profile, m_factory);
    return Notification(kEvProfile, 0, 0, static_cast<uint8_t>(m_state.profile));
}

std::array<uint8_t, 17> VirtualMouse::LightingChanged(uint8_t flags) {
    return Notification(flags & (kEvMainLight | kEvLogoLight | kEvDpiLight));
}

std::vector<uint8_t> VirtualMouse::Peek(uint32_t addr, uint32_t len, int p) const {
    if (p < 0 || p >= kProfiles) p = m_state.profile;
    const std::vector<uint8_t>& e = m_state.eeprom[p];
    if (addr >= e.size()) return {};
    len = std::min<uint32_t>(len, static_cast<uint32_t>(e.size()) - addr);
    return std::vector<uint8_t>(e.begin() + addr, e.begin() + addr + len);
}

void VirtualMouse::Poke(uint32_t addr, const std::vector<uint8_t>& bytes, int p) {
    if (p < 0 || p >= kProfiles) p = m_state.profile;
    std::vector<uint8_t>& e = m_state.eeprom[p];
    for (size_t i = 0; i < bytes.size() && addr + i < e.size(); ++i) e[addr + i] = bytes[i];
}

// ---- state file -----------------------------------------------------------------------------
// A small text file: a header line, "key=value" lines, and each profile's EEPROM as hex.

std::string VirtualMouse::Serialize() const {
    std::ostringstream out;
    out << "ZorvanVirtualMouse 1\n";
    out << "cid=" << m_state.cid << "\nmid=" << m_state.mid << "\nprofile=" << m_state.profile
        << "\nbattery=" << m_state.battery << "\ncharging=" << int(m_state.charging)
        << "\non=" << int(m_state.on) << "\nlighting=" << int(m_state.lightingOpen)
        << "\nshown=" << int(m_state.driverShown) << "\n";
    static const char* hex = "0123456789abcdef";
    for (int p = 0; p < kProfiles; ++p) {
        out << "eeprom" << p << "=";
        for (uint8_t b : m_state.eeprom[p]) out << hex[b >> 4] << hex[b & 15];
        out << "\n";
    }
    return out.str();
}

bool VirtualMouse::Parse(const std::string& text, std::string* why) {
    auto fail = [&](const std::string& m) {
        if (why) *why = m;
        return false;
    };
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line.rfind("ZorvanVirtualMouse 1", 0) != 0)
        return fail("not a virtual mouse state file");
    MouseState s = m_state;
    bool seen[kProfiles] = {};
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos) return fail("line without '=': " + line.substr(0, 40));
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key.rfind("eeprom", 0) == 0) {
            if (key.size() != 7 || key[6] < '0' || key[6] >= '0' + kProfiles)
                return fail("unknown key " + key.substr(0, 40));
            int p = key[6] - '0';
            if (value.size() != 2 * kProfileBytes) return fail(key + " has the wrong size");
            std::vector<uint8_t> bytes(kProfileBytes);
            for (size_t i = 0; i < kProfileBytes; ++i) {
                auto nib = [](char c) -> int {
                    if (c >= '0' && c <= '9') return c - '0';
                    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
                    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
                    return -1;
                };
                int h = nib(value[2 * i]), l = nib(value[2 * i + 1]);
                if (h < 0 || l < 0) return fail(key + " holds a non-hex digit");
                bytes[i] = static_cast<uint8_t>(h * 16 + l);
            }
            s.eeprom[p] = std::move(bytes);
            seen[p] = true;
            continue;
        }
        if (value.empty() || value.size() > 9 ||
            value.find_first_not_of("0123456789") != std::string::npos)
            return fail(key.substr(0, 40) + " is not a number");
        long v = std::stol(value);
        if (key == "cid" && v <= 255)
            s.cid = static_cast<uint32_t>(v);
        else if (key == "mid" && v <= 255)
            s.mid = static_cast<uint32_t>(v);
        else if (key == "profile" && v < kProfiles)
            s.profile = static_cast<int>(v);
        else if (key == "battery" && v <= 100)
            s.battery = static_cast<int>(v);
        else if (key == "charging" && v <= 1)
            s.charging = v != 0;
        else if (key == "on" && v <= 1)
            s.on = v != 0;
        else if (key == "lighting" && v <= 1)
            s.lightingOpen = v != 0;
        else if (key == "shown" && v <= 1)
            s.driverShown = v != 0;
        else
            return fail("bad value for " + key.substr(0, 40));
    }
    for (bool b : seen)
        if (!b) return fail("a profile's EEPROM is missing");
    m_state = std::move(s);
    return true;
}

}  // namespace sim
