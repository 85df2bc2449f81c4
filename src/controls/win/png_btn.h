// The skinned button behind every push button, check box, radio button, label and combo of the
// program: a system button drawn by itself from one picture per state and a caption.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "controls/combo_model.h"
#include "controls/win/gdi_handle.h"
#include "controls/win/skin_picture.h"
#include "controls/win/ui_theme.h"
#include "controls/win/wnd_base.h"

// Posted to the parent after a double click when the button reports them: wParam the button
// window, lParam its tag.
constexpr UINT WM_PNGBTN_DBLCLK = 0x703;

// How a button is made: where, its pictures, its switches and what a click does.
struct PngBtnArgs {
    UINT id = 0;          // control number
    RECT rc{};            // place in the parent
    std::string caption;  // also the tooltip text
    int textOffset = 0;   // 0 centres the caption
    // State pictures (not kept: each is cut at `cut`, or taken whole when `cut` is empty).
    SkinPicture* normal = nullptr;
    SkinPicture* hover = nullptr;
    SkinPicture* pressed = nullptr;
    RECT cut{};
    // The parent's picture behind the button, cut at `backgroundAt` (else at `rc`) with the
    // button's size.
    SkinPicture* background = nullptr;
    std::optional<POINT> backgroundAt;
    bool checkable = false, toggleOnClick = false, pressShift = false;
    bool stretch = true;  // pictures stretched to the button
    bool tooltip = false;
    bool visible = true;
    // Keyboard and screen readers: whether Tab stops here (unset: unless it is a bare label:
    // a caption without pictures, callback, check box or double-click report), its role
    // (ROLE_SYSTEM_...; 0: push button, check box, radio button in a focus group, or text when
    // it does nothing) and the name read out when the caption says too little (a picture).
    std::optional<bool> tabStop;
    long role = 0;
    std::string accName;
    // The click: the system's BN_CLICKED, handed back by the parent (whose own command
    // handlers then do not see it).
    std::function<void()> onClick;
};

class CPngBtn : public CWndBase {
  public:
    CPngBtn();
    ~CPngBtn() override;

    // An owner-drawn child of `parent` as `args` says, coloured by `theme`.
    bool Create(HWND parent, const PngBtnArgs& args, const UiTheme& theme);
    void SetOnClick(std::function<void()> fn) { m_onClick = std::move(fn); }
    const UiTheme& Theme() const { return m_theme; }

    // Each state picture is cut out of the given picture at `rc`; the disabled picture is a
    // second cut of the normal one. A missing picture leaves its state without one.
    void SetImages(const RECT& rc, SkinPicture* normal, SkinPicture* hover, SkinPicture* pressed);
    void SetAltPressedImage(PicturePtr p) { m_alt = std::move(p); }
    void SetText(const std::string& text, int leftOffset = 0);
    const std::string& GetText() const { return m_text; }
    void SetCheck(bool on);
    bool GetCheck() const { return m_checked; }
    void SetTooltip(const std::string& text);

    void SetTextColors(COLORREF normal, COLORREF hover, COLORREF pressed);
    void SetFont(HFONT font);  // not owned
    void SetIcon(PicturePtr icon, int x = 5);
    void SetBackground(PicturePtr bkg) { m_bkg = std::move(bkg); }
    void SetTextRect(const RECT* rc);
    void SetTextFormat(UINT format) { m_format = format; }
    void SetCheckable(bool on) { m_checkable = on; }
    void SetToggleOnClick(bool on) { m_toggle = on; }
    void SetPressShift(bool on) { m_pressShift = on; }
    void SetDisabledLook(bool on);
    bool GetDisabledLook() const { return m_disabledLook; }
    void SetDoubleClickReport(bool on, LPARAM tag = 0);
    void SetClipRegion(HRGN rgn);  // owned from now on
    void SetStretch(bool on) { m_stretch = on; }
    void SetDebugFrame(bool on) { m_debugFrame = on; }
    bool IsHovering() const { return m_hover; }
    // Shows the button as if the pointer were over it: another part of the window stands for
    // the same thing and is pointed at.
    void SetLinkedLook(bool on);
    bool LinkedLook() const { return m_linked; }
    // Told when the button takes (true) or loses the keyboard focus.
    void SetOnFocus(std::function<void(bool)> fn) { m_onFocus = std::move(fn); }
    SkinPicture* NormalPicture() const { return m_nr.get(); }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDrawItem(DRAWITEMSTRUCT* dis) override;
    bool OnReflectCommand(UINT code) override;
    // Draws the button as it looks in this state into `dc` (also used for screenshots); the
    // focus ring when it has the focus.
    void Render(HDC dc, bool pressed, bool itemDisabled);

    // Keyboard: Space and Enter press it as a click would (a label that reports double clicks
    // reports one); in a focus group the arrows choose the next or previous member; while a
    // popup menu is open the keys drive the menu.
    bool TakesTab() const override;
    bool WantsKey(UINT vk) const override;
    bool KeyPress() override;
    void SetTabStop(bool on) { m_tabStop = on; }
    void SetAccessibleRole(long role) { m_role = role; }
    AccessibleInfo Describe() const override;

  protected:
    UINT ControlId() const;
    // The system's brush for the button's background: none, since the face covers all of it.
    HBRUSH OnReflectCtlColor(UINT msg, HDC dc) override;
    // A key the button acts on while it has the focus; true when taken.
    virtual bool OnKeyDown(UINT vk);

  private:
    bool CreateWindowOnly(HWND parent, const PngBtnArgs& args);
    void DrawFace(Gdiplus::Graphics& g, SkinPicture* p, int w, int h);

    PicturePtr m_nr, m_ov, m_dn, m_disabled, m_alt, m_icon, m_bkg;
    int m_iconX = 5;
    std::string m_text;
    int m_textOffset = 0;
    bool m_hasTextRect = false;
    RECT m_textRect{};
    UINT m_format = 0;
    COLORREF m_clrNr = RGB(200, 200, 200), m_clrOv = RGB(100, 100, 100), m_clrDn = RGB(0, 0, 0);
    UiFont m_font;
    bool m_hover = false, m_linked = false, m_checkable = false, m_checked = false,
         m_toggle = false;
    bool m_pressShift = false, m_disabledLook = false, m_dblReport = false;
    LPARAM m_dblTag = 0;
    HRGN m_clip = nullptr;
    bool m_stretch = true, m_debugFrame = false;
    HWND m_tooltip = nullptr;
    UiTheme m_theme;
    std::function<void()> m_onClick;
    std::function<void(bool)> m_onFocus;
    std::optional<bool> m_tabStop;
    long m_role = 0;
};

// How a combo is made: its button, its popup and its callbacks.
struct ComboBtnArgs {
    PngBtnArgs button;   // place, pictures, switches (its onClick is not used)
    int popupWidth = 0;  // 0: the combo's width
    int placement = 0;   // 0 below (above near the screen's bottom), 1 centred above
    int textOffset = 0;  // of the shown item; 0 centres it
    bool popupDisabled = false;
    bool reselectIsNoChange = false;
    // Asked before a choice from the list is taken; false refuses it (nothing changes and
    // nothing is reported).
    std::function<bool()> permission;
    // After a choice was taken, with its value.
    std::function<void(int32_t value)> onChange;
};

// A button that opens the skinned popup menu with its item list and shows the chosen item.
class CComboBtn : public CPngBtn {
  public:
    bool Create(HWND parent, const ComboBtnArgs& args, const UiTheme& theme);

    void AddItem(int list, int32_t value, const std::string& text) {
        m_model.AddItem(list, value, text);
    }
    void SetActiveList(int list) { m_model.SetActiveList(list); }
    bool SelectIndex(int i);
    int SelectValue(int32_t v);
    int32_t GetValue() const { return m_model.GetValue(); }
    ComboModel& Model() { return m_model; }

    void SetPermission(std::function<bool()> check) { m_permission = std::move(check); }
    void SetOnChange(std::function<void(int32_t)> fn) { m_onChange = std::move(fn); }
    void SetPopupWidth(int w) { m_popupWidth = w; }
    void SetPlacementMode(int mode) { m_placement = mode; }
    void SetComboTextOffset(int offset) { m_textOffset = offset; }
    void SetPopupDisabled(bool on) { m_popupDisabled = on; }
    void SetReselectIsNoChange(bool on) { m_reselectNoChange = on; }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnReflectCommand(UINT code) override;
    // Space, Enter or Down open the list with the chosen item lit (or close it when open).
    bool TakesTab() const override { return true; }
    bool WantsKey(UINT vk) const override;
    bool KeyPress() override;
    AccessibleInfo Describe() const override;

  protected:
    bool OnKeyDown(UINT vk) override;

  private:
    void OpenList();
    void OnMenuResult(int32_t value);

    ComboModel m_model;
    int m_popupWidth = 0;
    int m_placement = 0;
    int m_textOffset = 0;
    bool m_popupDisabled = false;
    bool m_reselectNoChange = false;
    bool m_choiceTaken = false;  // the WM_COMMAND now on its way is for an accepted choice
    std::function<bool()> m_permission;
    std::function<void(int32_t)> m_onChange;
};

// The skin files of a button's normal, hover and pressed states; an empty name is missing.
struct SkinButtonFiles {
    std::string normal, hover, pressed;
};

// Factories: a button from skin files in one call, with the theme's button colours, font,
// debug frame and (large screens) stretching. They return 1, or 0 (and show a warning for a
// file that does not load) without creating the button.
// As large as the normal picture at args.rc's top-left; the background is cut at
// args.backgroundAt, else at (0, 0).
int NewSmallPngButton3(CPngBtn* btn, HWND owner, const SkinButtonFiles& files, PngBtnArgs args,
                       const UiTheme& theme);
// The same with its own warning; on large screens the button takes args.rc whole, and its
// background is cut at the button's own rectangle.
int NewSmallPngButton(CPngBtn* btn, HWND owner, const SkinButtonFiles& files, PngBtnArgs args,
                      const UiTheme& theme);
// A button at args.rc whose state pictures are cut out of full-window pictures at that
// rectangle.
int NewPngButton(CPngBtn* btn, HWND owner, PngBtnArgs args, const UiTheme& theme);
