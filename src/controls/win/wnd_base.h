// The window base every skinned window and control is built on: one object per window,
// messages dispatched to virtual handlers, the modal run with its pre-translation hook, the
// off-screen paint buffer and the large-screen doubling.
#pragma once
#include <windows.h>

#include <gdiplus.h>

#include <string>

#include "app/options.h"

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

    // Every message of the window; the default passes it on.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // The window's original handling.
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);
    // Seen by a modal run before the message is dispatched; true swallows it.
    virtual bool PreTranslateMessage(MSG* msg);
    // Owner-drawn children receive their WM_DRAWITEM back from the parent.
    virtual void OnDrawItem(DRAWITEMSTRUCT* dis);

    bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    void Invalidate() const;

  protected:
    // Called after the window is gone.
    virtual void OnFinalDestroy() {}

  private:
    static LRESULT CALLBACK StaticProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    void Detach();
    WNDPROC m_oldProc = nullptr;
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
RECT ToRect(const ZvRect& r);

// Draws text the way the skinned windows do: transparent, in `colour`, with `format`.
void DrawSkinText(HDC dc, const std::string& utf8, RECT rc, COLORREF colour, HFONT font,
                  UINT format);
// The font windows use for their texts: the application font, else "MS Shell Dlg" of
// `height` pixels (owned by the caller when `owned` is set).
HFONT MakeUiFont(int height, int weight, bool* owned);
