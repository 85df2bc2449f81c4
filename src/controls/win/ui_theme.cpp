#include "controls/win/ui_theme.h"

#include "app/gvar.h"

TextStyle UiTheme::Style(TextRole role) const {
    // The labels keep the controls' own size (FontHeight); the rest steps from it. Large
    // screens use their own steps: text grows less than the layout doubles.
    switch (role) {
        case TextRole::kPageTitle:
            return {large ? 34 : 24, FW_BOLD};
        case TextRole::kGroupTitle:
            return {large ? 28 : 16, FW_BOLD};
        case TextRole::kValue:
            return {FontHeight(), FW_BOLD};
        case TextRole::kNote:
            return {large ? 22 : 13, FW_NORMAL};
        case TextRole::kLabel:
        default:
            return {FontHeight(), FW_NORMAL};
    }
}

ThemeFonts::~ThemeFonts() {
    Release();
}

void ThemeFonts::Reset(const UiTheme& theme) {
    Release();
    m_theme = theme;
}

void ThemeFonts::Release() {
    for (FontHandle& f : m_fonts) f.Reset();
}

HFONT ThemeFonts::Get(TextRole role) {
    FontHandle& f = m_fonts[static_cast<size_t>(role)];
    if (f) return f.get();
    const TextStyle style = m_theme.Style(role);
    LOGFONTW lf{};
    // The application font gives its face; the scale gives the size and weight.
    if (!m_theme.font || ::GetObjectW(m_theme.font, sizeof lf, &lf) == 0) {
        lf = LOGFONTW{};
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
        ::lstrcpynW(lf.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
    }
    lf.lfHeight = style.height;
    lf.lfWidth = 0;
    lf.lfWeight = style.weight;
    f.Reset(::CreateFontIndirectW(&lf));
    return f.get();
}

// The one place the windows read the look from the options: everything below gets a UiTheme.
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
