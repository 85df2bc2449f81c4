// The device catalogue's entries: one per supported mouse, filled once from cfg.ini before any
// worker thread starts and constant afterwards, so any thread may read them and call
// FindSensorCfg without a lock. Only the pointer to the entry in use moves later, when a
// different mouse is identified.
#pragma once
#include <array>
#include <cstdint>

#include "base/geometry.h"
#include "profile/profile_file.h"

constexpr int kDeviceSections = 30;

// One device entry. Fields carry the name of their cfg.ini key.
struct SensorCfg {
    int32_t CID = 0;       // first identity byte of the mouse; names skin folder and cache files
    int32_t MID = 0;       // second identity byte
    int32_t Sensor = 0;    // sensor id of the DPI table; 0: an empty entry
    int32_t DEFLEVEL = 0;  // level made current by a reset to defaults, 0..DM-1
    int32_t DM = 6;        // DPI levels, 1..8
    std::array<int32_t, kDpiLevels> DPI{};  // default DPI of each level
    std::array<uint32_t, kDpiLevels> DC{};  // default colour of each level
    int32_t DPIH = 10;
    int32_t MDNUM = 3;     // 1, 2 or 3 (the section's 3, 6 or 9)
    int32_t KM = 32;       // as read; nKeyNum is its half
    int32_t nKeyNum = 16;  // buttons of the mouse, 1..16
    KeySets DefKeys{};     // default assignments of the three key sets ("K%d_%d")
    int32_t KEYH = 10;
    int32_t DR = 1280;                       // default rate code
    std::array<ZvRect, kKeysPerSet> Mark{};  // button marks on the mouse picture
    int32_t nMarkNum = 0;                    // "Mark%d" keys present
    int32_t ShowLOD = 0;  // non-zero: lift-off distance offered; also its default value
    int32_t ShowDpi = 1, ShowDpiColor = 1, DpiColorReadOnly = 0, ShowUsbRate = 1;
    int32_t ShowRipple = 1, ShowFixLine = 1, ShowDpiLED = 1, ShowMainEffect = 1;
    int32_t ShowLogoEffect = 0, ShowSleep = 1, ShowAutoSleep = 0, ShowMotionSync = 0;
    int32_t Debounce = 0;  // 0: the global Debounce
    int32_t ShowDebounce = 1, ShowXY = 0, ShowRGBSw = 1, DpiMenuMask = 7;
    int32_t DpiLEDMode = 0x030502;  // mode | brightness << 8 | speed << 16
    int32_t LedMask = 0;
    int32_t LightParam = 2561;
    int32_t SleepTime = 60;
    std::array<int32_t, 12> SleepVal{};  // offered sleep times, up to the first 0
    int32_t SleepTimeCheck = 1;
    int32_t DpiUILevels = 0;  // levels of a new profile, 0..8; 0: DM
    int32_t SetDPIByClick = 0;
    std::array<std::array<int32_t, 2>, kDpiLevels> DpiLimit{};  // minimum and maximum per level
    std::array<uint32_t, 3> ExKey{};  // raw key-matrix codes, up to the first 0
    ZvPoint ptMark{337, 65}, ptLedMark{525, 30}, ptSensorMode{}, ptRipple{}, ptFixLine{};
};

// The catalogue entry of a mouse identified by its CID and MID: the first non-empty entry with
// both equal, or nullptr when the catalogue does not list the mouse. Does not move pSensorCfg.
const SensorCfg* FindSensorCfg(uint32_t cid, uint32_t mid);

// The level count of a new profile of this device: DpiUILevels, or DM when that is 0.
int32_t DefaultLevelCount(const SensorCfg& cfg);

// Copies the default keys of the entry in use into the working default-key table
// (gVar.WorkDefKeys). Without an entry the table is cleared.
void LoadDefaultKeys();
