// Every option of the global section of cfg.ini, under its key's name.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "base/geometry.h"

struct LangEntry {
    std::string name;    // display name, at most 29 characters
    std::string folder;  // language folder beside the program, at most 29 characters
};

struct LedOption {
    std::array<uint8_t, 5> opt{};           // the mode's five option numbers
    std::array<uint32_t, 7> presetColor{};  // seven preset colours
};

struct AppOptions {
    // Sensor-table switches.
    int32_t Setp200_3325 = 0;  // key "3325Setp200"
    int32_t Sensor9000Max = 12000;
    int32_t Sensor3395Max = 32000;

    // Switches and numbers.
    int32_t Suwnd = 1, ApplyNow = 0, BtnTips = 0, MenuItems = 13, TipForDebounce = 0;
    int32_t OldAdvDlg = 0, EnhancePrecision = 1, Debounce = 12, DebounceRange = 7680;
    int32_t ShowProfile = 1, ComboRec = 1, FontSize = 12, ShowPower = 0, SyncChangeDpiLevel = 0;
    int32_t ShowMacro = 1, MinDelay = 10, MacroDir = 0, MacroOptX = 756, ListTrans = 0;
    int32_t InsertBefore = 1, MinUIDelay = 1, VID = 9639, TrayIcon = 2, GoWithNoDev = 0;
    int32_t ExitType = 0, ShowSys = 1, ShowProSw = 1, ShowFireKey = 1, KeyMask = 0, UIDebug = 0;
    int32_t ShowFWUpdate = 0, ShowMotionSync = 0, Retry = 3, ProSwitchEnable = 1, InitOnReset = 0;
    int32_t BarY = 3, DpiBarY = 12, DpiSliderY = 3, ScaleY = 4, SliderY = 0;
    int32_t MenuW = 0, NaviW = 0, RateVSp = 67;

    // Texts.
    std::array<uint32_t, 10> PID{};  // receiver product ids of the first list
    int32_t nPIDNum = 0;
    std::array<uint32_t, 10> PID2{};  // and of the second
    int32_t nPID2Num = 0;
    std::string FontName;  // at most 29 characters
    std::string appdir;    // at most 29 characters
    std::string Title;     // at most 39 characters, as read (szTitle is the title in use)

    // Colours.
    uint32_t Txt_clr = 0, Btn_txt_clr_nr = 0, Btn_txt_clr_ov = 0, Btn_txt_clr_dn = 0;
    uint32_t Menu_txt_clr_nr = 0, Menu_txt_clr_ov = 0, Menu_txt_clr_dn = 0;
    uint32_t LstBox_txt_clr_nr = 0, LstBox_txt_clr_dn = 0, LstBox_bkg_clr = 0, LstBox_item_clr = 0;
    uint32_t clrEdit = Rgb(20, 20, 20), clrMask = 0, clrDpiMark = Rgb(255, 0, 0);
    uint32_t clrMaskDialog = Rgb(0, 255, 0), clrLowBkg = 0, clrTxtLedDlg = 0, clrTxtAdvDlg = 0;
    uint32_t clrMacFrame = 0;

    // Rectangles.
    ZvRect rcMacroList{100, 85, 326, 464}, rcKeyList{401, 85, 627, 464}, rcHomePageBtn{};
    ZvRect rcSys{881, 406, 991, 514}, rcSubDlg{};

    // Points.
    ZvPoint ptMin{952, 12}, ptNavi{25, 110}, ptKey{72, 77}, ptMoveSpeed{630, 325};
    ZvPoint ptScrollSpeed{630, 400}, ptDbClickSpeed{630, 475}, ptPower{949, 66};
    ZvPoint ptDpiBar{120, 60}, ptLedEft{130, 60}, ptRecord{756, 54}, ptDpiEft{153, 420};
    ZvPoint ptDpiLight{100, 465}, ptDpiSpeed{100, 490}, ptLight{558, 366}, ptSpeed{558, 423};
    ZvPoint ptGradit{143, 189}, ptResult{80, 127}, ptRGBEdit{150, 133};
    ZvPoint ptLightOffOnMoving{558, 457}, ptSleep{558, 483}, ptGrid{100, 412};

    // Byte lists and indexed keys.
    std::array<uint8_t, 4> PowerCritical{25, 50, 75, 100};
    std::array<uint8_t, 6> LEDParam{3, 10, 8, 255, 0, 255};
    std::array<int32_t, 3> ComboName{};  // ComboName1..3
    std::array<LedOption, 7> LedOpt{};   // LedOpt1..7
    std::array<LangEntry, 10> Lang{};    // Lang1..10
    int32_t nLangNum = 0;                // leading entries with a display name

    // Macro limits used by the hardware encoding and the macro editor.
    int32_t nMinDelay = 10, nMaxHdMacroBytes = 384, nMaxDelay = 65535, nMaxMacroEvents = 70;
};
