#include "ui/win/theme_options.h"

#include "app/gvar.h"

UiTheme ThemeFrom(const AppOptions& o, const AppPaths& paths) {
    UiTheme t;
    t.text = o.Txt_clr ? o.Txt_clr : t.text;
    t.buttonNormal = o.Btn_txt_clr_nr;
    t.buttonHover = o.Btn_txt_clr_ov;
    t.buttonPressed = o.Btn_txt_clr_dn;
    t.menuNormal = o.Menu_txt_clr_nr;
    t.menuHover = o.Menu_txt_clr_ov;
    t.edit = o.clrEdit;
    t.lowBackground = o.clrLowBkg;
    t.mark = o.clrDpiMark;
    t.mask = o.clrMask;
    t.maskDialog = o.clrMaskDialog;
    t.font = reinterpret_cast<HFONT>(paths.hAppFont);
    t.large = paths.b4K != 0;
    t.debugFrames = o.UIDebug != 0;
    return t;
}

UiTheme ThemeFromOptions() {
    return ThemeFrom(gVar, gVar);
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
