#include "controls/win/ui_theme.h"

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
