// The look every skinned window and control draws with: colours, the application font and the
// large-screen switch. Windows receive it as a value when they are created, so a control never
// reaches into the program's options, and a test or the gallery can hand it any look it likes.
#pragma once
#include <windows.h>

#include "controls/win/gdi_handle.h"

// The type scale: each kind of text has a size and weight that shows its rank, so a page reads
// title, then group, then the labels and the values the user came for.
enum class TextRole { kPageTitle, kGroupTitle, kLabel, kValue, kNote };
struct TextStyle {
    int height;  // pixels, for the layout in use
    int weight;  // FW_...
};

struct UiTheme {
    COLORREF text = RGB(220, 220, 220);  // texts drawn on the windows' backgrounds
    // Button captions in their normal, hover and pressed states.
    COLORREF buttonNormal = RGB(200, 200, 200), buttonHover = RGB(100, 100, 100),
             buttonPressed = RGB(0, 0, 0);
    COLORREF menuNormal = RGB(200, 200, 200), menuHover = RGB(100, 100, 100);
    COLORREF edit = RGB(20, 20, 20);       // background of text boxes
    COLORREF lowBackground = 0;            // dims what lies under a dialog; 0 for none
    COLORREF mark = RGB(255, 0, 0);        // hints and marks that must stand out
    COLORREF focus = RGB(255, 196, 0);     // the ring round the control with the focus
    COLORREF mask = 0;                     // key colour of the main window's shape
    COLORREF maskDialog = RGB(0, 255, 0);  // key colour of the dialogs' shapes
    HFONT font = nullptr;      // the application font, not owned; none: controls make their own
    bool large = false;        // large-screen layout: coordinates and sizes doubled
    bool debugFrames = false;  // frames round the buttons, for checking a layout

    // Pixel height of the controls' own font when there is no application font.
    int FontHeight() const { return large ? 24 : 14; }
    // The size and weight of a kind of text in this layout.
    TextStyle Style(TextRole role) const;
    // A rectangle of the normal layout as it lies in this one (doubled on large screens).
    RECT Scale(const RECT& rc) const {
        return large ? RECT{rc.left * 2, rc.top * 2, rc.right * 2, rc.bottom * 2} : rc;
    }
    // A rectangle or point of this layout as it lies in the normal one (halved on large
    // screens): pages place texts beside their controls and hit-test clicks in normal terms.
    RECT Unscale(const RECT& rc) const {
        return large ? RECT{rc.left / 2, rc.top / 2, rc.right / 2, rc.bottom / 2} : rc;
    }
    POINT Unscale(POINT pt) const { return large ? POINT{pt.x / 2, pt.y / 2} : pt; }
};

// The fonts of the type scale for one theme, made when first asked for and owned: the
// application font's face when the theme has one, else "MS Shell Dlg".
class ThemeFonts {
  public:
    explicit ThemeFonts(const UiTheme& theme) : m_theme(theme) {}
    ThemeFonts() = default;
    ~ThemeFonts();
    ThemeFonts(const ThemeFonts&) = delete;
    ThemeFonts& operator=(const ThemeFonts&) = delete;
    // Forgets the fonts made so far; the next Get makes them for `theme`.
    void Reset(const UiTheme& theme);
    HFONT Get(TextRole role);

  private:
    void Release();
    UiTheme m_theme;
    FontHandle m_fonts[5];
};
