#include "profile/eeprom_writer.h"

#include <algorithm>
#include <cstring>

#include "macro/macro_library_load.h"
#include "profile/profile_state.h"
#include "base/log.h"
#include "device/eeprom_map.h"
#include "device/reports.h"
#include "device/usb_driver.h"
#include "macro/macro_list.h"
#include "platform/pointer.h"
#include "platform/sys.h"
#include "profile/combo_record.h"
#include "profile/hd_macro.h"
#include "profile/key_function.h"
#include "profile/sensor_cfg.h"
#include "profile/sensor_dpi_encoder.h"
#include "profile/sensor_table.h"

namespace {

// A lighting step (1 based) as an index into a code table; a step from outside the range
// never indexes past the table.
size_t StepIndex(uint32_t step) {
    return std::clamp<uint32_t>(step, 1, 10) - 1;
}

class Writer {
  public:
    Writer(const ProfileCodecContext& ctx, const MacroList& library, const WriteProgress& progress,
           CUSBDriver* usb, const ProfileFile& rec, int32_t curLevel)
        : m_ctx(ctx),
          m_library(library),
          m_progress(progress),
          m_usb(usb),
          m_rec(rec),
          m_curLevel(curLevel),
          m_goWithNoDev(ctx.goWithNoDev),
          m_cfg(ctx.cfg) {}

    int Run(uint32_t mask, uint32_t index);

  private:
    // false when the write failed and that counts.
    bool Ok(int r) const { return r != 0 || m_goWithNoDev; }
    void Post(uint32_t pos) {
        if (m_progress) m_progress(pos);
    }
    bool Pair(uint32_t addr, int32_t v) {
        platform::Sleep(10);
        const uint8_t byte = static_cast<uint8_t>(v);
        uint8_t b[2] = {byte, CheckByte(&byte, 1)};
        return Ok(m_usb->WriteEEPROM(0, 2, addr, b));
    }
    bool Keys(uint32_t index);
    bool Lighting(uint32_t index);
    bool Dpi(uint32_t index);
    bool DpiColours(uint32_t index);

    ProfileCodecContext m_ctx;
    const MacroList& m_library;
    const WriteProgress& m_progress;
    CUSBDriver* m_usb;
    const ProfileFile& m_rec;
    int32_t m_curLevel;
    bool m_goWithNoDev = false;
    const SensorCfg* m_cfg = nullptr;
};

bool Writer::Keys(uint32_t index) {
    LogPrintf("Set Key --------");
    // A macro button is written with its macro's events: every macro must be known.
    WaitMacroLibraryLoaded();
    uint32_t table[kKeysPerSet] = {};
    const int set = std::clamp(m_rec.nKeySet, 0, kKeySets - 1);
    const KeySet& keys = m_rec.keys[static_cast<size_t>(set)];
    uint32_t oneSlot = 0;
    for (uint32_t b = 0; b < kKeysPerSet; ++b) {
        if (index != kAllItems && index != b) continue;
        const KeyInfo& k = keys[b];
        const uint32_t s = k.MatrixInx;
        if (s == 0 || s > kKeysPerSet) continue;
        oneSlot = s;
        uint32_t code = EncodeKey(k, m_ctx, m_library);
        table[s - 1] = code;
        if (code != kNoKeyCode && (code & 0xFF) == kMacroCode) {
            std::optional<StMacro> m = m_library.FindMacroById(k.dwMacroID);
            if (!m) continue;
            uint8_t buf[kHdMacroWorkBytes] = {};
            size_t len = StMacro_To_HdMacro(&*m, buf, sizeof buf);
            if (len == 0) {
                table[s - 1] = kNoKeyCode;
                continue;
            }
            buf[len] = CheckByte(buf, len);
            ++len;
            if (len <= 381) len += 3;  // end mark, already zero
            LogPrintf("macro data(key=%u, MatrixInx=%u):", b, s - 1);
            LogHexDump(buf, len, 32);
            table[s - 1] = code + 256 * (s - 1);
            std::u16string name = MacroName(*m).substr(0, 15);
            buf[0] = static_cast<uint8_t>(2 * name.size());
            for (size_t c = 0; c < name.size(); ++c) {
                buf[1 + 2 * c] = static_cast<uint8_t>(name[c]);
                buf[2 + 2 * c] = static_cast<uint8_t>(name[c] >> 8);
            }
            if (!Ok(m_usb->WriteEEPROM(10, static_cast<int>(len),
                                       eeprom::kMacroArea + eeprom::kMacroSlot * (s - 1), buf)))
                return false;
            platform::Sleep(10);
        } else if (code == kRecordCode) {
            uint8_t rec[kComboSlotBytes + 8] = {};
            size_t n = BuildComboRecord(k, rec, sizeof rec);
            if (n == 0 || n + 1 > kComboSlotBytes) {
                // Nothing that fits the slot: the button must not point at a stale record.
                table[s - 1] = kNoKeyCode;
                continue;
            }
            LogPrintf("key data(key=%u, MatrixInx=%u):", b, s - 1);
            LogHexDump(rec, n + 1);
            if (!Ok(m_usb->WriteEEPROM(10, static_cast<int>(n + 1),
                                       eeprom::kComboArea + eeprom::kComboSlot * (s - 1), rec)))
                return false;
            platform::Sleep(10);
        }
    }
    LogPrintf("Matrix--------------------");
    for (int i = 0; i < kKeysPerSet; ++i) LogPrintf("Matrix[%d] = 0x%08x", i, table[i]);
    if (index == kAllItems) return Ok(m_usb->WriteKeyMatrix(0xFF, table, kKeysPerSet));
    if (oneSlot == 0) return true;
    return Ok(m_usb->WriteKeyMatrix(1u << (oneSlot - 1), &table[oneSlot - 1], 1));
}

bool Writer::Lighting(uint32_t index) {
    LogPrintf("Set LED, inx=0x%x --------", index);
    if ((index & 0x02) && m_cfg && m_cfg->ShowMainEffect) {
        const LightBlock& l = m_rec.mainLight;
        platform::Sleep(10);
        if (l.mode == 0 || l.mode > 6) {
            // Off keeps colour, speed and brightness as the mouse has them.
            uint8_t b[7] = {};
            if (!Ok(m_usb->ReadEEPROM(eeprom::kMainLight, b, 7))) return false;
            b[0] = eeprom::kMainOffCode;
            b[6] = CheckByte(b, 6);
            if (!Ok(m_usb->WriteEEPROM(0, 7, eeprom::kMainLight, b))) return false;
        } else {
            const auto& speeds = l.mode == 3 ? eeprom::kS2 : eeprom::kS1;
            const auto& brights = l.mode == 3 ? eeprom::kT2 : eeprom::kT1;
            uint8_t b[7] = {eeprom::kMainModeCodes[l.mode],
                            static_cast<uint8_t>(l.colour),
                            static_cast<uint8_t>(l.colour >> 8),
                            static_cast<uint8_t>(l.colour >> 16),
                            speeds[StepIndex(l.speed)],
                            brights[StepIndex(l.brightness)],
                            0};
            b[6] = CheckByte(b, 6);
            if (!Ok(m_usb->WriteEEPROM(0, 7, eeprom::kMainLight, b))) return false;
        }
    }
    if ((index & 0x04) && m_cfg && m_cfg->ShowDpiLED) {
        platform::Sleep(10);
        const uint8_t m = static_cast<uint8_t>(m_rec.nDpiLightMode);
        if (m != 0) {
            const uint8_t br = eeprom::kTD[StepIndex(static_cast<uint32_t>(m_rec.nDpiLightBright))];
            const uint8_t sp = static_cast<uint8_t>(m_rec.nDpiLightSpeed);
            uint8_t b[6] = {m, CheckByte(&m, 1), br, CheckByte(&br, 1), sp, CheckByte(&sp, 1)};
            if (!Ok(m_usb->WriteEEPROM(0, 6, eeprom::kDpiLight, b))) return false;
        } else {
            uint8_t b[2] = {0, 0x55};
            if (!Ok(m_usb->WriteEEPROM(0, 2, eeprom::kDpiLight, b))) return false;
        }
    }
    if ((index & 0x01) && m_cfg && m_cfg->ShowLogoEffect) {
        platform::Sleep(10);
        const LightBlock& l = m_rec.logoLight;
        const uint8_t m = static_cast<uint8_t>(l.mode);
        if (m != 0) {
            const uint8_t br = eeprom::kT1[StepIndex(l.brightness)];
            const uint8_t sp = static_cast<uint8_t>(l.speed);
            uint8_t b[10] = {static_cast<uint8_t>(l.colour),
                             static_cast<uint8_t>(l.colour >> 8),
                             static_cast<uint8_t>(l.colour >> 16),
                             0,
                             m,
                             CheckByte(&m, 1),
                             br,
                             CheckByte(&br, 1),
                             sp,
                             CheckByte(&sp, 1)};
            b[3] = CheckByte(b, 3);
            if (!Ok(m_usb->WriteEEPROM(0, 10, eeprom::kLogo, b))) return false;
        } else {
            uint8_t b[2] = {0, 0x55};
            if (!Ok(m_usb->WriteEEPROM(0, 2, eeprom::kLogo + 4, b))) return false;
        }
    }
    return true;
}

bool Writer::Dpi(uint32_t index) {
    LogPrintf("Set DPI --------");
    // Without the sensor's table every value would go out as code 0, a DPI nobody chose.
    if (!m_cfg || !FindSensorTable(static_cast<uint32_t>(m_cfg->Sensor))) {
        LogPrintf("Set DPI: the sensor has no DPI table, nothing written");
        return false;
    }
    platform::Sleep(10);
    DpiLevelXY levels[kDpiLevels];
    for (int i = 0; i < kDpiLevels; ++i) levels[i] = {m_rec.dpi[i].x, m_rec.dpi[i].y};
    const DpiEncoder encoder = SensorDpiEncoder(m_cfg);
    if (index == kAllItems) return Ok(m_usb->WriteDpiLevels(0xFF, levels, m_cfg->DM, &encoder));
    if (index >= kDpiLevels) return true;
    return Ok(m_usb->WriteDpiLevels(1u << index, &levels[index], 1, &encoder));
}

bool Writer::DpiColours(uint32_t index) {
    LogPrintf("Set DPI Color --------");
    platform::Sleep(10);
    uint32_t colours[kDpiLevels];
    for (int i = 0; i < kDpiLevels; ++i) colours[i] = m_rec.dpi[i].colour;
    if (index == kAllItems) return Ok(m_usb->WriteDpiColors(0xFF, colours, m_cfg->DM));
    if (index >= kDpiLevels) return true;
    return Ok(m_usb->WriteDpiColors(1u << index, &colours[index], 1));
}

int Writer::Run(uint32_t mask, uint32_t index) {
    // Nobody following the progress is what the log has always called a missing window.
    if (!m_progress) LogPrintf("hWnd is invalidate");
    Post(20);
    if ((mask & kApplyKeys) && !Keys(index)) return 0;
    Post(60);
    if ((mask & kApplyLighting) && !Lighting(index)) return 0;
    const bool showDpi = m_cfg && m_cfg->ShowDpi;
    if ((mask & kApplyDpi) && showDpi && !Dpi(index)) return 0;
    if ((mask & kApplyDpiColours) && showDpi && !DpiColours(index)) return 0;
    Post(70);
    const ProfileFile& r = m_rec;
    struct Single {
        uint32_t bit, addr;
        int32_t value;
    };
    const Single before[] = {
        {kApplyLevelCount, eeprom::kLevelCount, r.nDpiLevels},
        {kApplyCurLevel, eeprom::kCurLevel, m_curLevel},
        {kApplyLod, eeprom::kLod, r.nLod},
        {kApplyAngleSnap, eeprom::kAngleSnap, r.nFixLine},
        {kApplyRipple, eeprom::kRipple, r.nRipple},
        {kApplyDebounce, eeprom::kDebounce, r.nDebounce},
        {kApplySleep, eeprom::kSleep, r.nSleepTime / 10},
    };
    for (const Single& s : before)
        if ((mask & s.bit) && !Pair(s.addr, s.value)) return 0;
    if (mask & kApplyRate) {
        platform::Sleep(10);
        if (!Ok(m_usb->WriteReportRate(static_cast<uint32_t>(r.nRate)))) return 0;
    }
    const Single after[] = {
        {kApplyLightOffMoving, eeprom::kLightOffMoving, r.nLightOffOnMoving},
        {kApplyMotionSync, eeprom::kMotionSync, r.nMotionSync},
        {kApplySensorMode, eeprom::kSensorMode, r.nSensorMode},
        {kApplyAutoSleep, eeprom::kAutoSleep, r.nAutoSleep},
    };
    for (const Single& s : after)
        if ((mask & s.bit) && !Pair(s.addr, s.value)) return 0;
    Post(80);
    if ((mask & kApplyWindows) && TheProfileOptions().ShowSys) {
        platform::PointerSettings p;
        p.wheelLines = r.nWheelLines;
        p.dbClickTime = r.nDbClickTime;
        p.speed = r.nPointerSpeed;
        p.precision = r.nEnhancePrecision;
        p.trails = r.nMouseTrails;
        platform::ApplyPointerSettings(p);
    }
    Post(90);
    if ((mask & kApplyReset) && !Ok(m_usb->ResetDevice())) return 0;
    if (m_progress) {
        Post(100);
        platform::Sleep(500);
    }
    return 1;
}

}  // namespace

uint32_t EncodeKey(const KeyInfo& k, const MacroList& library) {
    return EncodeKey(k, CurrentProfileContext(), library);
}

uint32_t EncodeKey(const KeyInfo& k, const ProfileCodecContext& ctx, const MacroList& library) {
    const KeyFunction* f = FindKeyFunction(k.dwFunID);
    if (!f) {
        // A code the table does not list keeps the code of its kind: a consumer key points at
        // its record, an extra key is its parameter, a macro is a macro.
        switch (k.Type()) {
            case kFunKbMedia:
            case kFunMedia:
                return kRecordCode;
            case kFunExKey:
                return k.dwParameter;
            case kFunMacro:
                f = FindKeyFunction(kFunMacro << 24);
                break;
            default:
                return kNoKeyCode;
        }
    }
    switch (f->rule) {
        case MatrixRule::kFixed:
        case MatrixRule::kCombo:
        case MatrixRule::kConsumer:
            return f->matrixCode == kNoMatrixCode ? kNoKeyCode : f->matrixCode;
        case MatrixRule::kMacro: {
            std::optional<StMacro> m = library.FindMacroById(k.dwMacroID);
            if (!m) {
                LogPrintf("keyinfo_to_hardware_code can't find macro id 0x%x", k.dwMacroID);
                return kNoKeyCode;
            }
            if (m->LoopMode == 2) return 0xFE0000 | f->matrixCode;
            if (m->LoopMode == 1) return 0xFF0000 | f->matrixCode;
            return f->matrixCode + (m->repeatCount & 0xFFu) * 65536;
        }
        case MatrixRule::kFire:
            return f->matrixCode + 256 * ((k.dwParameter >> 8) & 0xFF) +
                   65536 * (k.dwParameter & 0xFF);
        case MatrixRule::kSnipe: {
            const uint32_t sensor = ctx.cfg ? static_cast<uint32_t>(ctx.cfg->Sensor) : 0;
            int dpi = DpiAtIndex(sensor, static_cast<int>(k.dwParameter));
            if (dpi < 0) return kNoKeyCode;
            return f->matrixCode + 256 * (DpiToCode(sensor, static_cast<uint32_t>(dpi)) & 0xFF);
        }
        case MatrixRule::kParameter:
            return k.dwParameter;
    }
    return kNoKeyCode;
}

int WriteProfile(const ProfileCodecContext& ctx, CUSBDriver* usb, const ProfileFile* record,
                 const MacroList& library, uint32_t mask, uint32_t index, int32_t curDpiLevel,
                 const WriteProgress& progress) {
    if (!usb || !record || record->dwId == 0) return 0;
    if (!usb->CmdHandle() && !ctx.goWithNoDev) return 0;
    Writer w(ctx, library, progress, usb, *record, curDpiLevel);
    return w.Run(mask, index);
}
