// The window base every skinned window, page and control is built on: one object per window,
// typed handlers instead of one message switch, notifications handed back to the control that
// sent them, the modal run with its pre-translation hook, the off-screen paint buffer and the
// large-screen doubling.
//
// Writing a window (a page, a dialog): derive from CPageBase (page_base.h) or CDialogBase,
// create the controls in the creation hook with their argument structs (PngBtnArgs,
// ComboBtnArgs) and the window's UiTheme, and give each control its callbacks:
//
//     class CMyPage : public CPageBase {
//         CPngBtn m_reset;
//         CComboBtn m_rate;
//         bool OnCreatePage() override {
//             PngBtnArgs b;
//             b.id = kIdReset;  b.rc = {10, 10, 90, 40};  b.caption = "Reset";
//             b.normal = b.hover = b.pressed = m_buttonPicture.get();
//             b.onClick = [this] { m_model.Reset(); };
//             ComboBtnArgs c;
//             c.button.id = kIdRate;  c.button.rc = {10, 50, 150, 80};  ...
//             c.permission = [this] { return m_model.MayChangeRate(); };
//             c.onChange = [this](int32_t hz) { m_model.SetRate(hz); };
//             return AddButton(m_reset, b) && AddCombo(m_rate, c);
//         }
//         void OnPaintPage(CMemPaint& buf) override { ... texts over the background ... }
//     };
//
// A click reaches the button's own callback: the parent receives the system's WM_COMMAND as
// ever and hands it back to the child (as it does WM_NOTIFY, WM_DRAWITEM, scroll and ctlcolor
// messages). What no child takes goes to the parent's typed handlers: OnCommand, OnNotify,
// OnTimer, OnSize, OnMouse, or the per-id functions of SetCommandHandler and StartTimer.
// Controls get colours and fonts from the UiTheme they are created with, never from options.
//
// The main window makes each page with CreatePage(mainWnd, pageRect, ThemeFromOptions()),
// gives it SetBackground(CopyPictureRect(background, pageRect)), shows one at a time with
// Show, and calls TextsChanged after a language change and Refresh when the settings change.
// A window that still overrides WindowProc passes what it does not handle to the base's
// WindowProc, which does the handing back and the typed handlers.
//
// Keyboard and screen readers: a control that a person can reach with Tab says so (TakesTab),
// names the keys it acts on itself (WantsKey, so the window's key filter lets them through)
// and answers a screen reader with Describe: its name, role, state and value, given through an
// accessible object of ours (accessible.h) when the system asks with WM_GETOBJECT. Radio
// buttons of one group share a focus group: Tab stops once at the group and the arrows move
// within it (focus_nav.h). Taking the focus is announced to screen readers here.
#pragma once
#include <windows.h>

#include <gdiplus.h>

#include <functional>
#include <map>
#include <string>

class CMemPaint;

// What a screen reader is told about a window.
struct AccessibleInfo {
    std::string name;
    long role = 0;  // ROLE_SYSTEM_...; 0: the window is not described (the system answers)
    bool checked = false, disabled = false;
    bool hasValue = false;
    std::string value;
};

class CWndBase {
  public:
    CWndBase() = default;
    virtual ~CWndBase();
    CWndBase(const CWndBase&) = delete;
    CWndBase& operator=(const CWndBase&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    static CWndBase* FromHandle(HWND wnd);

    // A window of the program's own class.
    bool CreateEx(DWORD exStyle, const std::wstring& title, DWORD style, const RECT& rc,
                  HWND parent, UINT id);
    // A window of a system class (a button, an edit box) whose messages pass through this
    // object first.
    bool CreateControl(const wchar_t* systemClass, const std::wstring& text, DWORD style,
                       const RECT& rc, HWND parent, UINT id, DWORD exStyle = 0);
    void DestroyWindow();
    // The window procedure of the program's own window class.
    static WNDPROC ClassProc();

    // Every message of the window. The default hands notifications back to the child that sent
    // them, then calls the typed handlers below, then passes the message on. New windows
    // override the typed handlers rather than this.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // The window's original handling.
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);
    // Seen by a modal run before the message is dispatched; true swallows it.
    virtual bool PreTranslateMessage(MSG* msg);
    // Owner-drawn children receive their WM_DRAWITEM back from the parent.
    virtual void OnDrawItem(DRAWITEMSTRUCT* dis);

    // ---- notifications this window (a control) sent its parent, handed back to it ----------
    // Each returns true when it took the notification; the parent's own handlers see the rest.
    virtual bool OnReflectCommand(UINT code);  // WM_COMMAND with this control's notice code
    virtual bool OnReflectNotify(NMHDR* hdr, LRESULT* result);
    // WM_HSCROLL / WM_VSCROLL: `msg` tells which; `code` and `pos` as the system gives them.
    virtual bool OnReflectScroll(UINT msg, UINT code, int pos);
    // WM_CTLCOLOR...: the brush to paint the control with, or null for the parent's default.
    virtual HBRUSH OnReflectCtlColor(UINT msg, HDC dc);

    // ---- what this window hears about itself and from children that did not take it -------
    // Runs `fn` with the notice code when the child `id` sends a WM_COMMAND it does not take
    // itself (replacing an earlier function for that id; an empty one removes it).
    void SetCommandHandler(UINT id, std::function<void(UINT code)> fn);
    // A repeating timer of this window calling `fn`; the same id replaces it.
    bool StartTimer(UINT_PTR id, UINT ms, std::function<void()> fn);
    void StopTimer(UINT_PTR id);
    bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    void Invalidate() const;

    // ---- keyboard and screen readers ----------------------------------------------------
    // A Tab stop while it is visible and enabled.
    virtual bool TakesTab() const { return false; }
    // Keys (virtual-key codes) this window acts on when it has the focus.
    virtual bool WantsKey(UINT /*vk*/) const { return false; }
    // What a press of Space or Enter does, as a click would; false when it does nothing.
    virtual bool KeyPress() { return false; }
    // The name a screen reader says when the window has no caption of its own to give.
    void SetAccessibleName(std::string name) { m_accName = std::move(name); }
    const std::string& AccessibleName() const { return m_accName; }
    // Name, role, state and value; a role of 0 leaves the window to the system.
    virtual AccessibleInfo Describe() const;
    // Radio buttons sharing a non-zero group are one Tab stop walked with the arrows.
    void SetFocusGroup(int group) { m_focusGroup = group; }
    int FocusGroup() const { return m_focusGroup; }

  protected:
    // Called after the window is gone.
    virtual void OnFinalDestroy() {}

    // Typed handlers; each returns true when it took the message.
    // A WM_COMMAND that neither the sending child nor a SetCommandHandler function took.
    virtual bool OnCommand(UINT id, UINT code, HWND from);
    virtual bool OnNotify(NMHDR* hdr, LRESULT* result);
    // A WM_CTLCOLOR... the child `from` did not take (a system control such as an edit box):
    // the brush to paint it with, or null for the system's default.
    virtual HBRUSH OnCtlColor(UINT msg, HDC dc, HWND from);
    // A WM_TIMER without a StartTimer function.
    virtual bool OnTimer(UINT_PTR id);
    virtual void OnSize(int width, int height);
    // Mouse messages (WM_MOUSEMOVE ... WM_MOUSEWHEEL, WM_MOUSELEAVE) at client coordinates
    // (screen coordinates for the wheel, as the system gives them); `keys` is wParam.
    virtual bool OnMouse(UINT msg, POINT pt, WPARAM keys);
    // With buffered paint on: WM_ERASEBKGND is swallowed and WM_PAINT draws the whole client
    // area off screen through OnPaint, so nothing flickers.
    void SetBufferedPaint(bool on) { m_bufferedPaint = on; }
    virtual void OnPaint(CMemPaint& buf);

  private:
    static LRESULT CALLBACK StaticProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    bool Route(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    void Detach();
    WNDPROC m_oldProc = nullptr;
    bool m_bufferedPaint = false;
    std::string m_accName;
    int m_focusGroup = 0;
    std::map<UINT, std::function<void(UINT)>> m_commands;
    std::map<UINT_PTR, std::function<void()>> m_timers;
};

// A window with a modal run of its own.
class CDialogBase : public CWndBase {
  public:
    // Creates the window (CreateDialogWindow), disables the owner, runs messages until
    // EndDialog and returns its result; the window is destroyed afterwards.
    INT_PTR DoModal(HWND owner);
    void EndDialog(INT_PTR result);
    bool IsInModalRun() const { return m_running; }

  protected:
    // Creates the dialog's window, owned by `owner`; false ends the run at once with -1.
    virtual bool CreateDialogWindow(HWND owner) = 0;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    bool m_running = false;
    bool m_ended = false;
    INT_PTR m_result = IDCANCEL;
};

// What a modal run does with a message before dispatching it: the window under it and its
// parents up to `top` may take it (PreTranslateMessage); true when one did.
bool PreTranslateUpTo(MSG* msg, HWND top);

// The program's module handle.
HINSTANCE AppInstance();

// Off-screen drawing for a whole window: everything is painted into a bitmap of the client
// size and copied to the screen in one step, so nothing flickers.
class CMemPaint {
  public:
    explicit CMemPaint(HWND wnd);                  // for WM_PAINT
    CMemPaint(HDC target, int width, int height);  // into another DC
    ~CMemPaint();
    HDC dc() const { return m_mem; }
    Gdiplus::Graphics& g() { return *m_graphics; }
    int width() const { return m_w; }
    int height() const { return m_h; }
    // Copies the buffer to the target now (the destructor does it otherwise).
    void Flush(HRGN clip = nullptr);

  private:
    void Init(int w, int h);
    HWND m_wnd = nullptr;
    PAINTSTRUCT m_ps{};
    HDC m_target = nullptr;
    HDC m_mem = nullptr;
    HBITMAP m_bmp = nullptr;
    HGDIOBJ m_old = nullptr;
    Gdiplus::Graphics* m_graphics = nullptr;
    int m_w = 0, m_h = 0;
    bool m_flushed = false;
};

// Large-screen layout: twice the coordinates and sizes.
RECT Double4K(const RECT& rc);
// Moves a child window to twice its position and size within its parent.
void LayoutChildFor4K(HWND child);
// Any rectangle with left, top, right and bottom as a RECT.
template <class R>
RECT ToRect(const R& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The focus ring: a frame `width` pixels wide just inside `rc`, in the theme's focus colour.
void DrawFocusRing(HDC dc, const RECT& rc, COLORREF colour, int width);

// Draws text the way the skinned windows do: transparent, in `colour`, with `format`.
void DrawSkinText(HDC dc, const std::string& utf8, RECT rc, COLORREF colour, HFONT font,
                  UINT format);

// A text that did not fit the place it was drawn in: `needed` is its size measured with the
// font and format it was drawn with (one line, or wrapped at the place's width).
struct TextMisfit {
    std::string text;
    RECT place;
    SIZE needed;
};
// While a hook is set, every text drawn through DrawSkinText is measured and each one that
// does not fit is handed to the hook; without one nothing is measured.
using TextFitHook = std::function<void(const TextMisfit&)>;
void SetTextFitHook(TextFitHook hook);
// A text as it was drawn: its colour and the mean colour of what lay under its letters.
struct TextOnBackground {
    std::string text;
    RECT letters;  // the part of the place the text's letters cover
    COLORREF colour;
    COLORREF background;
};
// While a hook is set, every text drawn through DrawSkinText is handed to it with the colour
// it is drawn on, read from the target before drawing; without one nothing is read.
using TextContrastHook = std::function<void(const TextOnBackground&)>;
void SetTextContrastHook(TextContrastHook hook);
// The font windows use for their texts: the theme's application font, else "MS Shell Dlg" of
// `height` pixels (owned by the caller when `owned` is set).
HFONT MakeUiFont(HFONT appFont, int height, int weight, bool* owned);
