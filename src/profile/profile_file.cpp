#include "profile/profile_file.h"

#include <algorithm>

#include "platform/codepage.h"

namespace {

class Writer {
  public:
    explicit Writer(uint8_t* p) : m_p(p) {}
    void U32(uint32_t v) {
        WriteLe32(m_p, v);
        m_p += 4;
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void U16(uint16_t v) {
        *m_p++ = static_cast<uint8_t>(v);
        *m_p++ = static_cast<uint8_t>(v >> 8);
    }
    void Zero(size_t n) {
        for (size_t i = 0; i < n; ++i) *m_p++ = 0;
    }
    void Key(const KeyInfo& k) {
        U32(k.dwFunID);
        U32(k.MatrixInx);
        U32(k.dwMacroID);
        for (uint8_t b : k.stCombo) *m_p++ = b;
        U32(k.dwParameter);
        Zero(4);
    }
    void Level(const DpiLevel& l) {
        U32(l.x);
        U32(l.y);
        U32(l.colour);
        U32(l.unused);
    }
    void Light(const LightBlock& b) {
        U32(b.mode);
        U32(b.speed);
        U32(b.brightness);
        U32(b.colour);
        Zero(b.reserved.size());
    }

  private:
    uint8_t* m_p;
};

class Reader {
  public:
    explicit Reader(const uint8_t* p) : m_p(p) {}
    uint32_t U32() {
        uint32_t v = ReadLe32(m_p);
        m_p += 4;
        return v;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    uint16_t U16() {
        uint16_t v = static_cast<uint16_t>(m_p[0] | (m_p[1] << 8));
        m_p += 2;
        return v;
    }
    void Skip(size_t n) { m_p += n; }
    KeyInfo Key() {
        KeyInfo k;
        k.dwFunID = U32();
        k.MatrixInx = U32();
        k.dwMacroID = U32();
        for (uint8_t& b : k.stCombo) b = *m_p++;
        k.dwParameter = U32();
        Skip(4);
        return k;
    }
    DpiLevel Level() {
        DpiLevel l;
        l.x = U32();
        l.y = U32();
        l.colour = U32();
        l.unused = U32();
        return l;
    }
    LightBlock Light() {
        LightBlock b;
        b.mode = U32();
        b.speed = U32();
        b.brightness = U32();
        b.colour = U32();
        Skip(b.reserved.size());
        return b;
    }

  private:
    const uint8_t* m_p;
};

}  // namespace

std::string ProfileFile::Name() const {
    std::u16string s;
    for (char16_t c : szName) {
        if (c == 0) break;
        s.push_back(c);
    }
    return platform::Utf16ToUtf8(s);
}

void ProfileFile::SetName(const std::string& utf8) {
    std::u16string s = platform::Utf8ToUtf16(utf8);
    size_t n = std::min(s.size(), szName.size() - 1);
    // Never leave half of a surrogate pair at the cut.
    if (n > 0 && n < s.size() && s[n - 1] >= 0xD800 && s[n - 1] <= 0xDBFF) --n;
    szName.fill(0);
    for (size_t i = 0; i < n; ++i) szName[i] = s[i];
}

void ProfileToBytes(const ProfileFile& p, std::span<uint8_t, kProfileFileSize> out) {
    Writer w(out.data());
    w.U32(p.dwMagic);
    w.U32(p.dwId);
    w.Zero(p.reserved1.size());
    for (char16_t c : p.szName) w.U16(c);
    w.I32(p.nKeySet);
    for (const KeySet& set : p.keys)
        for (const KeyInfo& k : set) w.Key(k);
    for (int32_t v : {p.nRate, p.nWheelLines, p.nDbClickTime, p.nPointerSpeed, p.nEnhancePrecision,
                      p.nMouseTrails, p.bSeparateXY})
        w.I32(v);
    for (const DpiLevel& l : p.dpi) w.Level(l);
    for (int32_t v : {p.nSavedDpiLevel, p.nSensor, p.nDpiLevels, p.nLod, p.nRipple, p.nFixLine,
                      p.nSleepTime, p.nDebounce, p.nLightOffOnMoving, p.nMotionSync, p.nSensorMode,
                      p.nAutoSleep, p.nDpiLightMode, p.nDpiLightSpeed, p.nDpiLightBright})
        w.I32(v);
    w.Zero(p.reserved2.size());
    w.Light(p.mainLight);
    w.Light(p.logoLight);
    w.Zero(p.reserved3.size());
}

ProfileFile ProfileFromBytes(std::span<const uint8_t, kProfileFileSize> in) {
    ProfileFile p;
    Reader r(in.data());
    p.dwMagic = r.U32();
    p.dwId = r.U32();
    r.Skip(p.reserved1.size());
    for (char16_t& c : p.szName) c = r.U16();
    p.nKeySet = r.I32();
    for (KeySet& set : p.keys)
        for (KeyInfo& k : set) k = r.Key();
    for (int32_t* v : {&p.nRate, &p.nWheelLines, &p.nDbClickTime, &p.nPointerSpeed,
                       &p.nEnhancePrecision, &p.nMouseTrails, &p.bSeparateXY})
        *v = r.I32();
    for (DpiLevel& l : p.dpi) l = r.Level();
    for (int32_t* v :
         {&p.nSavedDpiLevel, &p.nSensor, &p.nDpiLevels, &p.nLod, &p.nRipple, &p.nFixLine,
          &p.nSleepTime, &p.nDebounce, &p.nLightOffOnMoving, &p.nMotionSync, &p.nSensorMode,
          &p.nAutoSleep, &p.nDpiLightMode, &p.nDpiLightSpeed, &p.nDpiLightBright})
        *v = r.I32();
    r.Skip(p.reserved2.size());
    p.mainLight = r.Light();
    p.logoLight = r.Light();
    return p;
}
