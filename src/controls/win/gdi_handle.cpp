#include "controls/win/gdi_handle.h"

#include "controls/win/wnd_base.h"

UiFont::UiFont(HFONT appFont, int height, int weight) {
    bool owned = false;
    HFONT font = MakeUiFont(appFont, height, weight, &owned);
    if (owned)
        m_own.Reset(font);
    else
        m_shared = font;
}
