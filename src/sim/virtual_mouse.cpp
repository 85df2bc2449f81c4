#include "sim/virtual_mouse.h"

#include <cstdio>
#include <cstring>
#include <sstream>

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

}  // namespace

VirtualMouse::VirtualMouse(uint32_t cid, uint32_t mid) {
    m_state.cid = cid;
    m_state.mid = mid;
    for (int p = 0; p < kProfiles; ++p) m_state.eeprom[p] = FactoryProfile(p);
}

std::vector<uint8_t> VirtualMouse::FactoryProfile(int profile) {
    std::vector<uint8_t> e(kProfileBytes, 0);
    // Polling interval in ms: the first profile at 1000 Hz, the last one at 500 Hz.
    Pair(e, 0x00, profile == 3 ? 2 : 1);
    Pair(e, 0x02, 6);                     // six DPI levels
    Pair(e, 0x04, profile == 2 ? 2 : 1);  // current level
    Pair(e, 0x0A, 1);                     // lift-off distance
    // DPI levels 400, 800, 1600, 3200, 6400, 12800 as codes of 50-DPI steps (dpi / 50 - 1);
    // codes past 8 bits carry bits 8 and 9 in the multiplier byte (bits 2-3 for X, 6-7 for Y).
    const uint32_t dpis[8] = {400, 800, 1600, 3200, 6400, 12800, 16000, 26000};
    for (int i = 0; i < 8; ++i) {
        uint32_t code = dpis[i] / 50 - 1;
        uint8_t hi = static_cast<uint8_t>((code >> 8) & 3);
        Record(e, 0x0C + 4 * i,
               {static_cast<uint8_t>(code), static_cast<uint8_t>(code),
                static_cast<uint8_t>((hi << 2) | (hi << 6))});
    }
    const uint8_t colours[8][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},     {255, 255, 0},
                                   {0, 255, 255}, {255, 0, 255}, {255, 255, 255}, {255, 128, 0}};
    for (int i = 0; i < 8; ++i) {
        const uint8_t* c = colours[(i + profile) % 8];
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
    // Key matrix: left, right, middle, back, forward, DPI cycle, then switched off.
    const uint32_t keys[16] = {0x000101, 0x000201, 0x000401, 0x000801, 0x001001, 0x000302};
    for (int i = 0; i < 16; ++i)
        Record(e, 0x60 + 4 * i,
               {static_cast<uint8_t>(keys[i]), static_cast<uint8_t>(keys[i] >> 8),
                static_cast<uint8_t>(keys[i] >> 16)});
    // Main lighting: mode code 1 (breathing), colour, speed code 170, brightness code 255.
    const uint8_t main[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    Record(e, 0xA0, {1, main[profile][0], main[profile][1], main[profile][2], 170, 255});
    Pair(e, 0xA9, 4);  // debounce ms
    Pair(e, 0xAB, 0);  // motion sync
    Pair(e, 0xAD, 6);  // sleep after 60 s
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
            e = FactoryProfile(m_state.profile);
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
    m_state.eeprom[m_state.profile] = FactoryProfile(m_state.profile);
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
        << "\non=" << int(m_state.on) << "\nlighting=" << int(m_state.lightingOpen) << "\n";
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
        else
            return fail("bad value for " + key.substr(0, 40));
    }
    for (bool b : seen)
        if (!b) return fail("a profile's EEPROM is missing");
    m_state = std::move(s);
    return true;
}

}  // namespace sim
