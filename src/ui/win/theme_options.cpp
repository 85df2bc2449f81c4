#include "ui/win/theme_options.h"

#include "app/gvar.h"

UiTheme ThemeFromOptions() {
    UiTheme t;
    t.text = gVar.Txt_clr ? gVar.Txt_clr : t.text;
    t.buttonNormal = gVar.Btn_txt_clr_nr;
    t.buttonHover = gVar.Btn_txt_clr_ov;
    t.buttonPressed = gVar.Btn_txt_clr_dn;
    t.menuNormal = gVar.Menu_txt_clr_nr;
    t.menuHover = gVar.Menu_txt_clr_ov;
    t.edit = gVar.clrEdit;
    t.lowBackground = gVar.clrLowBkg;
    t.mark = gVar.clrDpiMark;
    t.mask = gVar.clrMask;
    t.maskDialog = gVar.clrMaskDialog;
    t.font = reinterpret_cast<HFONT>(gVar.hAppFont);
    t.large = gVar.b4K != 0;
    t.debugFrames = gVar.UIDebug != 0;
    return t;
}

TreeColours TreeColoursFromOptions() {
    TreeColours c;
    c.background = gVar.LstBox_bkg_clr;
    c.selectedFill = gVar.LstBox_item_clr;
    c.textNormal = gVar.LstBox_txt_clr_nr;
    c.textSelected = gVar.LstBox_txt_clr_dn;
    c.frame = gVar.clrMacFrame;
    return c;
}
