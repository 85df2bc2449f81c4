// Every option of the global section of cfg.ini, under its key's name.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "base/geometry.h"
#include "device/device_state.h"
#include "macro/macro_options.h"
#include "profile/profile_state.h"

struct LangEntry {
    std::string name;    // display name, at most 29 characters
    std::string folder;  // language folder beside the program, at most 29 characters
};

struct LedOption {
    std::array<uint8_t, 5> opt{};           // the mode's five option numbers
    std::array<uint32_t, 7> presetColor{};  // seven preset colours
};

// The options the core reads live with the layer that reads them (receiver ids, sensor and
// profile switches, macro limits); this record holds them all under their own names.
struct AppOptions : DeviceOptions, ProfileOptions, MacroOptions {
    // Switches and numbers.
    int32_t Suwnd = 1, BtnTips = 0, MenuItems = 13, TipForDebounce = 0;
    int32_t OldAdvDlg = 0;
    int32_t ShowProfile = 1, ComboRec = 1, FontSize = 12, ShowPower = 0, SyncChangeDpiLevel = 0;
    int32_t ShowMacro = 1, MacroOptX = 756, ListTrans = 0;
    int32_t InsertBefore = 1, TrayIcon = 2;
    int32_t ExitType = 0, ShowProSw = 1, ShowFireKey = 1, UIDebug = 0;
    int32_t ShowFWUpdate = 0, ShowMotionSync = 0, Retry = 3, ProSwitchEnable = 1, InitOnReset = 0;
    int32_t BarY = 3, DpiBarY = 12, DpiSliderY = 3, ScaleY = 4, SliderY = 0;
    int32_t MenuW = 0, NaviW = 0, RateVSp = 67;

    // Texts.
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
    std::array<int32_t, 3> ComboName{};  // ComboName1..3
    std::array<LedOption, 7> LedOpt{};   // LedOpt1..7
    std::array<LangEntry, 10> Lang{};    // Lang1..10
    int32_t nLangNum = 0;                // leading entries with a display name
};
