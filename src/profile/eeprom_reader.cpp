#include "profile/eeprom_reader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "macro/macro_library_load.h"
#include "profile/catalogue_state.h"
#include "base/log.h"
#include "device/report_rate.h"
#include "device/usb_driver.h"
#include "macro/macro_device.h"
#include "macro/macro_list.h"
#include "platform/sys.h"
#include "profile/combo_record.h"
#include "profile/profile_state.h"
#include "profile/hd_macro.h"
#include "profile/key_function.h"
#include "profile/sensor_table.h"

namespace {

std::atomic<bool> g_pauses{true};

void Pause(uint32_t ms) {
    if (g_pauses.load(std::memory_order_relaxed)) platform::Sleep(ms);
}

int PositionIn(const std::array<uint8_t, 10>& table, uint8_t v) {
    auto it = std::find(table.begin(), table.end(), v);
    return it == table.end() ? -1 : static_cast<int>(it - table.begin());
}

bool Aborted(const std::atomic<int>* abort) {
    return abort && abort->load() != 0;
}

// The macro a slot holds, with its slot name and repeat settings from the matrix code.
StMacro SlotMacro(const uint8_t* area, size_t len, std::u16string_view name, uint32_t code) {
    // No id yet: one is taken from the clock only for a macro that enters the library as a
    // new one, so decoding touches nothing and waits on nothing.
    StMacro m;
    HdMacro_To_StMacro(m, area, len, 0);
    SetMacroName(m, name);
    const uint8_t repeat = static_cast<uint8_t>(code >> 16);
    m.repeatCount = 1;
    if (repeat == 0xFE) {
        m.LoopMode = 2;
    } else if (repeat == 0xFF) {
        m.LoopMode = 1;
    } else {
        m.LoopMode = 0;
        m.repeatCount = repeat;
    }
    return m;
}

// A macro found in the mouse enters the library: a named one replaces a different library
// macro of the same name, or is added. A nameless one cannot be found by name later, so it
// is kept under the id its button will refer to, replacing what an earlier read stored there.
void MacroIntoLibrary(StMacro m, MacroId slotId, MacroPageLink* page, MacroList& library) {
    const std::u16string name = MacroName(m);
    if (name.empty()) {
        m.id = slotId;
        bool updated = library.Update(slotId, [&](StMacro& stored) {
            stored = m;
            stored.flags |= kMacroChanged;
        });
        if (!updated && !Add_Macro(m, page, library)) LogPrintf("add macro to list faile..");
        return;
    }
    if (auto lib = library.FindMacroByName(name)) {
        if (MacrosEqual(*lib, m)) return;
        if (!UpdateMacroFromDevice(m, page, library)) {
            // No file of that name to follow: the library record itself takes the events.
            library.Update(lib->id, [&](StMacro& stored) {
                const MacroId keep = stored.id;
                stored = m;
                stored.id = keep;
                stored.flags |= kMacroChanged;
            });
        }
        return;
    }
    m.id = NewMacroId();
    if (!Add_Macro(m, page, library)) LogPrintf("add macro to list faile..");
}

}  // namespace

void SetProfileReadPauses(bool on) {
    g_pauses = on;
}

int DecodeKeyCode(uint32_t code, const uint8_t* combo, size_t comboLen, KeyInfo& key,
                  uint32_t sensorId) {
    KeyInfo k;
    k.MatrixInx = key.MatrixInx;
    code &= 0xFFFFFF;
    if (code == kRecordCode) {
        if (!combo || DecodeComboRecord(combo, comboLen, k) != 1) return 0;
        key = k;
        return 1;
    }
    const KeyFunction* f = FindKeyFunctionByCode(code);
    if (!f) f = FindKeyFunctionByLowByte(static_cast<uint8_t>(code));
    if (!f) return 0;
    k.dwFunID = f->dwFunID;
    switch (f->rule) {
        case MatrixRule::kMacro:
            k.dwMacroID = 0xFFEE00 + (key.MatrixInx > 0 ? key.MatrixInx - 1 : 0);
            break;
        case MatrixRule::kFire:
            k.dwParameter = ((code >> 8) & 0xFF) * 256 + ((code >> 16) & 0xFF);
            break;
        case MatrixRule::kSnipe:
            k.dwParameter = static_cast<uint32_t>(
                IndexOfDpi(sensorId, SensorCodeToDpi(sensorId, (code >> 8) & 0xFF, 0)));
            break;
        default:
            break;
    }
    key = k;
    return 1;
}

int DecodeKey(uint32_t code, const uint8_t* combo, size_t comboLen, KeyInfo& key,
              const MacroList& library, std::u16string_view macroName) {
    const SensorCfg* cfg = TheCatalogue().pSensorCfg;
    const uint32_t sensor = cfg ? static_cast<uint32_t>(cfg->Sensor) : 0;
    if (!DecodeKeyCode(code, combo, comboLen, key, sensor)) return 0;
    if (key.Type() == kFunMacro && !macroName.empty())
        if (std::optional<StMacro> m = library.FindMacroByName(macroName)) key.dwMacroID = m->id;
    return 1;
}

void EEPROM_To_MainRGB(const uint8_t* b, LightBlock& block) {
    LogHexDump(b, 7, 0, "EEPROM_To_MainRGB: ");
    LogPrintf("EEPROM_To_MainRGB: mode=%x, speed=%x, light=%x, color=%x,%x,%x", b[0], b[4], b[5],
              b[1], b[2], b[3]);
    const uint32_t mode = eeprom::MainModeOfCode(b[0]);
    block.mode = mode;
    if (mode == 0) return;
    const auto& speeds = mode == 3 ? eeprom::kS2 : eeprom::kS1;
    const auto& brights = mode == 3 ? eeprom::kT2 : eeprom::kT1;
    uint32_t speed = 1;
    if (mode != 1) {
        int p = PositionIn(speeds, b[4]);
        if (p < 0)
            LogPrintf("EEPROM_To_MainRGB: Unkown Speed");
        else
            speed = static_cast<uint32_t>(p) + 1;
    }
    uint32_t bright = 1;
    int p = PositionIn(brights, b[5]);
    if (p < 0)
        LogPrintf("EEPROM_To_MainRGB: Unkown Bri");
    else
        bright = static_cast<uint32_t>(p) + 1;
    block.speed = speed;
    block.brightness = bright;
    block.colour = b[1] + 256u * b[2] + 65536u * b[3];
}

void EEPROM_To_LogoRGB(const uint8_t* b, LightBlock& block) {
    const uint32_t mode = b[4];
    uint32_t bright = b[6];
    uint32_t speed = b[8];
    LogHexDump(b, 10, 0, "EEPROM_To_LogoRGB: ");
    LogPrintf("EEPROM_To_LogoRGB: mode=%x, speed=%x, light=%x, color=%x,%x,%x", b[4], b[8], b[6],
              b[0], b[1], b[2]);
    if (mode >= 1 && mode <= 3) {
        int p = PositionIn(eeprom::kT1, b[6]);
        bright = p < 0 ? 0xFF : static_cast<uint32_t>(p);
    }
    if (speed == 0 || speed > 5) {
        LogPrintf("EEPROM_To_LogoRGB: Unkown Speed");
        speed = 0;
    }
    if (bright == 0xFF) {
        LogPrintf("EEPROM_To_LogoRGB: Unkown Bri");
        bright = 0;
    }
    block.mode = mode;
    if (mode == 0) return;
    block.speed = speed;
    block.brightness = bright + 1;
    block.colour = b[0] + 256u * b[1] + 65536u * b[2];
}

void EEPROM_To_DpiLight(const uint8_t* b, ProfileFile& record) {
    record.nDpiLightMode = b[0];
    record.nDpiLightSpeed = b[4];
    int p = PositionIn(eeprom::kTD, b[2]);
    record.nDpiLightBright = p < 0 ? 1 : p + 1;
}

ProfileCodecContext CurrentProfileContext() {
    ProfileCodecContext ctx;
    ctx.cfg = TheCatalogue().pSensorCfg;
    ctx.defaultKeys = &TheCatalogue().WorkDefKeys;
    ctx.keyMask = static_cast<uint32_t>(TheProfileOptions().KeyMask);
    ctx.goWithNoDev = TheProfileOptions().GoWithNoDev != 0;
    return ctx;
}

namespace {

// The key-matrix slot (1..16) of button k, or 0 when the program leaves the button alone.
uint32_t SlotOfButton(const ProfileCodecContext& ctx, int k) {
    if (ctx.keyMask & (1u << k)) return 0;
    if (!ctx.defaultKeys) return 0;
    const uint32_t s = (*ctx.defaultKeys)[0][static_cast<size_t>(k)].MatrixInx;
    return s == 0 || s > kKeysPerSet ? 0 : s;
}

uint32_t MatrixCode(const ProfileBytes& b, uint32_t slot) {
    const uint8_t* m = b.settings.data() + eeprom::kMatrix + 4 * (slot - 1);
    return m[0] | (m[1] << 8) | (m[2] << 16);
}

}  // namespace

int ReadProfileBytes(CUSBDriver* usb, const ProfileCodecContext& ctx, ProfileBytes& bytes,
                     const std::atomic<int>* abort) {
    if (!usb) return 0;
    // A read that fails counts only without GoWithNoDev; the bytes then stay zero.
    auto read = [&](uint32_t addr, uint8_t* buf, int n) {
        return usb->ReadEEPROM(addr, buf, n) != 0 || ctx.goWithNoDev;
    };

    uint8_t* d = bytes.settings.data();
    for (uint32_t a = 0; a < eeprom::kSettingsBytes; a += 10) {
        if (!read(a, d + a, 10) || Aborted(abort)) return 0;
        Pause(10);
    }
    LogHexDump(d, 0x0C, 0, "GetProfile (0x00~0x0B):");
    if (static_cast<uint8_t>(d[eeprom::kLevelCount] - 1) > 7 || d[eeprom::kCurLevel] > 8)
        LogPrintf("!!!!Error: wrong dpi data");
    LogHexDump(d + eeprom::kDpiLevels, 0x20, 0, "GetProfile (0x0C~0x2B) (DPI)(x y mul crc):");
    LogHexDump(d + eeprom::kDpiColours, 0x20, 0, "GetProfile (0x2C~0x4B) (DPI Color):");
    LogHexDump(d + eeprom::kDpiLight, 0x08, 0, "GetProfile (0x4C~0x53) (DPI Effect):");
    LogHexDump(d + eeprom::kMatrix, 0x40, 0, "GetProfile (0x60~0x9F) (KeyMatrix):");
    LogHexDump(d + eeprom::kMainLight, 0x08, 0, "GetProfile (0xA0~0xA7):");
    LogHexDump(d + eeprom::kDebounce, 0x0C, 0, "GetProfile (0xA9~0xB4):");
    Pause(20);

    for (int s = 0; s < kKeysPerSet; ++s) {
        uint32_t a = eeprom::kComboArea + eeprom::kComboSlot * static_cast<uint32_t>(s);
        uint8_t* c = bytes.combos[static_cast<size_t>(s)].data();
        if (!read(a, c, 10) || Aborted(abort)) return 0;
        if (!read(a + 10, c + 10, 10) || Aborted(abort)) return 0;
    }
    char label[64];
    std::snprintf(label, sizeof label, "GetComboKeyData (0x100~0x%x):", 0x300);
    LogHexDump(bytes.combos.data(), sizeof bytes.combos, 0, label);

    auto endOfName = [](const uint8_t* p, int n) {
        return n >= 2 && ((p[0] == 0 && p[1] == 0) || (p[0] == 0xFF && p[1] == 0xFF));
    };
    for (int s = 0; s < kKeysPerSet; ++s) {
        Pause(10);
        uint32_t a = eeprom::kMacroArea + 1 + eeprom::kMacroSlot * static_cast<uint32_t>(s);
        uint8_t* name = bytes.names[static_cast<size_t>(s)].data();
        if ((usb->ReadROM(a, name, kMacroNameBytes, endOfName) == 0 && !ctx.goWithNoDev) ||
            Aborted(abort))
            return 0;
    }
    LogHexDump(bytes.names.data(), sizeof bytes.names, 0, "GetMacroName:");

    // The events of the macros the buttons use; a rate the record cannot hold ends the read
    // before them, as the decode will refuse it.
    if (!RateOfInterval(d[eeprom::kRate])) return 0;
    for (int k = 0; k < kKeysPerSet; ++k) {
        const uint32_t s = SlotOfButton(ctx, k);
        if (s == 0 || (MatrixCode(bytes, s) & 0xFF) != kMacroCode) continue;
        Pause(15);
        auto endOfMacro = [](const uint8_t* p, int n) {
            return n >= 3 && p[0] == 0 && p[1] == 0 && p[2] == 0;
        };
        uint32_t a = eeprom::kMacroArea + 0x1F + eeprom::kMacroSlot * (s - 1);
        uint8_t* area = bytes.macros[s - 1].data();
        if ((usb->ReadROM(a, area, kMacroReadBytes, endOfMacro) == 0 && !ctx.goWithNoDev) ||
            Aborted(abort))
            return 0;
    }
    return 1;
}

int DecodeProfile(const ProfileBytes& bytes, const ProfileCodecContext& ctx, ProfileFile& record,
                  DecodedProfile& out) {
    const uint8_t* d = bytes.settings.data();
    const ReportRate* rate = RateOfInterval(d[eeprom::kRate]);
    if (!rate) return 0;
    record.nRate = rate->code;
    out.curDpiLevel = d[eeprom::kCurLevel];

    const SensorCfg* cfg = ctx.cfg;
    if (cfg && cfg->ShowLOD) {
        record.nLod = d[eeprom::kLod];
        LogPrintf("LOD=%d", record.nLod);
    }
    if (cfg && cfg->ShowRipple) {
        record.nRipple = d[eeprom::kRipple];
        LogPrintf("Ripple=%d", record.nRipple);
    }
    if (cfg && cfg->ShowFixLine) {
        record.nFixLine = d[eeprom::kAngleSnap];
        LogPrintf("FixLine=%d", record.nFixLine);
    }
    if (cfg && cfg->ShowDebounce) {
        record.nDebounce = d[eeprom::kDebounce];
        LogPrintf("Debounce=%d", record.nDebounce);
    }
    record.nSleepTime = d[eeprom::kSleep] * 10;
    LogPrintf("Sleep Time=%d", record.nSleepTime);
    record.nLightOffOnMoving = d[eeprom::kLightOffMoving];
    LogPrintf("Turn OFF Light On Moving=%d", record.nLightOffOnMoving);
    record.nAutoSleep = d[eeprom::kAutoSleep];
    record.nSensorMode = d[eeprom::kSensorMode];
    record.nMotionSync = d[eeprom::kMotionSync] != 0 ? 1 : 0;

    for (DpiLevel& l : record.dpi) l.unused = 1;
    // A count above eight would index past the record's levels when the pages or the writer
    // use it, so only eight are taken.
    const int levels = std::min<int>(d[eeprom::kLevelCount], kDpiLevels);
    const uint32_t sensorId = cfg ? static_cast<uint32_t>(cfg->Sensor) : 0;
    // The levels beyond the count are read too: they are shown, exported and written back,
    // so they must be the mouse's, not what an older reading left in the record. One the
    // sensor cannot decode keeps what the record has, and says nothing against the reading.
    for (int i = 0; i < kDpiLevels; ++i) {
        const uint32_t at = eeprom::kDpiLevels + 4 * static_cast<uint32_t>(i);
        const uint8_t mul = d[at + 2];
        const uint32_t xCode = d[at] + 256u * ((mul >> 2) & 3);
        const uint32_t yCode = d[at + 1] + 256u * ((mul >> 6) & 3);
        DpiLevel& l = record.dpi[static_cast<size_t>(i)];
        const uint32_t x = SensorCodeToDpi(sensorId, xCode, mul & 3);
        const uint32_t c = eeprom::kDpiColours + 4 * static_cast<uint32_t>(i);
        if (i >= levels) {
            if (x == 0) continue;
            l.x = x;
            l.y = SensorCodeToDpi(sensorId, yCode, (mul >> 4) & 3);
            l.colour = d[c] + 256u * d[c + 1] + 65536u * d[c + 2];
            continue;
        }
        LogPrintf("nHwDpi=0x%x, nHwDpiY=0x%x, bMul=%x", xCode, yCode, mul & 3);
        l.x = x;
        LogPrintf("dwDpi[%d]=%d", i, l.x);
        if (l.x == 0) {
            LogPrintf("wrong dpi(%x): Data[%d]=0x%x, Data[%d]=0x%x", sensorId, at, d[at], at + 2,
                      mul);
            out.wrongDpi = true;
        }
        l.y = SensorCodeToDpi(sensorId, yCode, (mul >> 4) & 3);
        l.colour = d[c] + 256u * d[c + 1] + 65536u * d[c + 2];
        l.unused = 0;
    }
    record.nDpiLevels = levels;

    for (int k = 0; k < kKeysPerSet; ++k) {
        const uint32_t s = SlotOfButton(ctx, k);
        if (s == 0) continue;
        const uint32_t code = MatrixCode(bytes, s);
        const uint8_t* m = d + eeprom::kMatrix + 4 * (s - 1);
        LogPrintf("nCode = 0x%x, MatrixInx=%d", code | (static_cast<uint32_t>(m[3]) << 24), s - 1);
        KeyInfo& key = record.keys[0][static_cast<size_t>(k)];
        KeyInfo decoded = key;
        decoded.MatrixInx = s;
        if (DecodeKeyCode(code, bytes.combos[s - 1].data(), kComboReadBytes, decoded, sensorId))
            key = decoded;
        if ((code & 0xFF) == kMacroCode) {
            std::u16string name;
            const auto& raw = bytes.names[s - 1];
            for (size_t c = 0; c < 15; ++c) {
                char16_t ch = static_cast<char16_t>(raw[2 * c] | (raw[2 * c + 1] << 8));
                if (ch == 0) break;
                name.push_back(ch);
            }
            // A slot never read (all FF) has no name.
            if (!name.empty() && name[0] == 0xFFFF) name.clear();
            out.macros.push_back(
                {SlotMacro(bytes.macros[s - 1].data(), kMacroReadBytes, name, code),
                 0xFFEE00 + (s - 1), static_cast<size_t>(k), name});
        }
        LogPrintf("keyinfo: major=0x%x, minor=%d", key.dwFunID >> 24, key.dwFunID & 0xFFFFFF);
    }

    EEPROM_To_DpiLight(d + eeprom::kDpiLight, record);
    if (cfg && cfg->ShowMainEffect) EEPROM_To_MainRGB(d + eeprom::kMainLight, record.mainLight);
    if (cfg && cfg->ShowLogoEffect) EEPROM_To_LogoRGB(d + eeprom::kLogo, record.logoLight);
    return 1;
}

Notice WrongDpiNotice() {
    return {"Get wrong dpi from device", "Warning"};
}

int GetProfile(CUSBDriver* usb, ProfileFile& record, MacroList& library,
               const std::atomic<int>* abort, MacroPageLink* macroPage, const NoticeSink& tell) {
    if (!usb) return 0;
    const ProfileCodecContext ctx = CurrentProfileContext();
    // Large: the macro areas of sixteen slots.
    auto bytes = std::make_unique<ProfileBytes>();
    if (!ReadProfileBytes(usb, ctx, *bytes, abort)) return 0;
    DecodedProfile decoded;
    // The mouse's macros are matched with the library by name, and its buttons name library
    // macros: the library must be whole. Its load ran while the EEPROM was read.
    WaitMacroLibraryLoaded();
    if (!DecodeProfile(*bytes, ctx, record, decoded) || Aborted(abort)) return 0;
    // The pages and the apply thread read the level while this worker runs.
    TheProfile().Edit([&](ProfileState& ps) {
        LogPrintf("set g_nCurDpiLevel=%d", ps.g_nCurDpiLevel);
        ps.g_nCurDpiLevel = decoded.curDpiLevel;
    });
    if (decoded.wrongDpi) Notify(tell, WrongDpiNotice());
    // The macros found enter the library; a named one is then found there by its name.
    for (SlotMacroFound& found : decoded.macros) {
        MacroIntoLibrary(found.macro, found.slotId, macroPage, library);
        KeyInfo& key = record.keys[0][found.key];
        if (key.Type() != kFunMacro || found.name.empty()) continue;
        if (std::optional<StMacro> m = library.FindMacroByName(found.name)) key.dwMacroID = m->id;
    }
    return 1;
}
