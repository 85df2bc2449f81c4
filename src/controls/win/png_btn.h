// The skinned button behind every push button, check box, radio button, label and combo of the
// program: a system button drawn by itself from one picture per state and a caption.
#pragma once
#include <windows.h>

#include <string>

#include "controls/combo_model.h"
#include "controls/win/skin_picture.h"
#include "controls/win/wnd_base.h"

// Posted to the parent after a double click when the button reports them: wParam the button
// window, lParam its tag.
constexpr UINT WM_PNGBTN_DBLCLK = 0x703;

class CPngBtn : public CWndBase {
  public:
    CPngBtn();
    ~CPngBtn() override;

    // A visible owner-drawn child at `rc` of `parent` with the control number `id`.
    bool Create(const std::string& caption, const RECT& rc, HWND parent, UINT id);

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
    SkinPicture* NormalPicture() const { return m_nr.get(); }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDrawItem(DRAWITEMSTRUCT* dis) override;
    // Draws the button as it looks in this state into `dc` (also used for screenshots).
    void Render(HDC dc, bool pressed, bool itemDisabled);

  protected:
    UINT ControlId() const;

  private:
    void DrawFace(Gdiplus::Graphics& g, SkinPicture* p, int w, int h);

    PicturePtr m_nr, m_ov, m_dn, m_disabled, m_alt, m_icon, m_bkg;
    int m_iconX = 5;
    std::string m_text;
    int m_textOffset = 0;
    bool m_hasTextRect = false;
    RECT m_textRect{};
    UINT m_format = 0;
    COLORREF m_clrNr = RGB(200, 200, 200), m_clrOv = RGB(100, 100, 100), m_clrDn = RGB(0, 0, 0);
    HFONT m_font = nullptr;
    bool m_ownFont = false;
    bool m_hover = false, m_checkable = false, m_checked = false, m_toggle = false;
    bool m_pressShift = false, m_disabledLook = false, m_dblReport = false;
    LPARAM m_dblTag = 0;
    HRGN m_clip = nullptr;
    bool m_stretch = true, m_debugFrame = false;
    HWND m_tooltip = nullptr;
};

// Asked before a combo accepts a choice from its popup; 0 refuses it.
using ComboPermission = int (*)(void* userData);

// A button that opens the skinned popup menu with its item list and shows the chosen item.
class CComboBtn : public CPngBtn {
  public:
    void AddItem(int list, int32_t value, const std::string& text) {
        m_model.AddItem(list, value, text);
    }
    void SetActiveList(int list) { m_model.SetActiveList(list); }
    bool SelectIndex(int i);
    int SelectValue(int32_t v);
    int32_t GetValue() const { return m_model.GetValue(); }
    ComboModel& Model() { return m_model; }

    void SetPermission(ComboPermission check, void* userData);
    void SetPopupWidth(int w) { m_popupWidth = w; }
    void SetPlacementMode(int mode) { m_placement = mode; }
    void SetComboTextOffset(int offset) { m_textOffset = offset; }
    void SetPopupDisabled(bool on) { m_popupDisabled = on; }
    void SetReselectIsNoChange(bool on) { m_reselectNoChange = on; }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void OpenList();
    void OnMenuResult(int32_t value);

    ComboModel m_model;
    int m_popupWidth = 0;
    int m_placement = 0;
    int m_textOffset = 0;
    bool m_popupDisabled = false;
    bool m_reselectNoChange = false;
    ComboPermission m_permission = nullptr;
    void* m_permissionData = nullptr;
};

// Factories: a button from skin files in one call. They return 1, or 0 (and show a warning
// for a file that does not load) without creating the button.
int NewSmallPngButton3(const char* pressedFile, const char* normalFile, const char* hoverFile,
                       CPngBtn* btn, HWND owner, SkinPicture* background, const POINT* origin,
                       bool checkable, bool tooltip, const char* caption, int x, int y, UINT id);
int NewSmallPngButton(const char* pressedFile, SkinPicture* background, HWND owner,
                      const char* normalFile, const char* hoverFile, CPngBtn* btn, bool checkable,
                      bool tooltip, const char* caption, const RECT& rc, UINT id);
// A button at `rc` whose state pictures are cut out of full-window pictures at that rectangle.
int NewPngButton(CPngBtn* btn, const RECT& rc, SkinPicture* normal, SkinPicture* hover,
                 SkinPicture* pressed, bool checkable, const char* caption, HWND owner, UINT id);
