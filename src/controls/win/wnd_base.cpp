#include "controls/win/wnd_base.h"

#include <oleacc.h>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "controls/win/accessible.h"
#include "platform/win/wide.h"

namespace {
constexpr wchar_t kClassName[] = L"ZorvanSkinWindow";
constexpr wchar_t kPropName[] = L"ZorvanWndObject";

// The object a window being created belongs to, until its first message binds it.
thread_local CWndBase* t_creating = nullptr;

void RegisterOwnClass() {
    static bool done = false;
    if (done) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = CWndBase::ClassProc();
    wc.hInstance = AppInstance();
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);
    done = true;
}
}  // namespace

HINSTANCE AppInstance() {
    return ::GetModuleHandleW(nullptr);
}

CWndBase::~CWndBase() {
    DestroyWindow();
}

CWndBase* CWndBase::FromHandle(HWND wnd) {
    if (!wnd) return nullptr;
    return static_cast<CWndBase*>(::GetPropW(wnd, kPropName));
}

bool CWndBase::CreateEx(DWORD exStyle, const std::wstring& title, DWORD style, const RECT& rc,
                        HWND parent, UINT id) {
    RegisterOwnClass();
    t_creating = this;
    HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    HWND wnd = ::CreateWindowExW(exStyle, kClassName, title.c_str(), style, rc.left, rc.top,
                                 rc.right - rc.left, rc.bottom - rc.top, parent, menu,
                                 AppInstance(), nullptr);
    t_creating = nullptr;
    if (!wnd) return false;
    (void)wnd;
    return m_hWnd != nullptr;
}

bool CWndBase::CreateControl(const wchar_t* systemClass, const std::wstring& text, DWORD style,
                             const RECT& rc, HWND parent, UINT id, DWORD exStyle) {
    HWND wnd = ::CreateWindowExW(exStyle, systemClass, text.c_str(), style, rc.left, rc.top,
                                 rc.right - rc.left, rc.bottom - rc.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AppInstance(),
                                 nullptr);
    if (!wnd) return false;
    m_hWnd = wnd;
    ::SetPropW(wnd, kPropName, this);
    m_oldProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    return true;
}

void CWndBase::DestroyWindow() {
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    Detach();
}

void CWndBase::Detach() {
    if (!m_hWnd) return;
    if (::IsWindow(m_hWnd)) {
        ::RemovePropW(m_hWnd, kPropName);
        if (m_oldProc) {
            ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
        }
    }
    m_hWnd = nullptr;
    m_oldProc = nullptr;
    m_timers.clear();  // the system's timers went with the window
}

LRESULT CALLBACK CWndBase::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWndBase* self = FromHandle(wnd);
    if (!self) return ::DefWindowProcW(wnd, msg, wp, lp);
    return self->Dispatch(msg, wp, lp);
}

LRESULT CALLBACK CWndBase::StaticProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWndBase* self = FromHandle(wnd);
    if (!self && t_creating) {
        // The first message of a window of our own class binds it to its object.
        self = t_creating;
        t_creating = nullptr;
        self->m_hWnd = wnd;
        ::SetPropW(wnd, kPropName, self);
    }
    if (!self) return ::DefWindowProcW(wnd, msg, wp, lp);
    return self->Dispatch(msg, wp, lp);
}

WNDPROC CWndBase::ClassProc() {
    return &StaticProc;
}

LRESULT CWndBase::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCDESTROY) {
        LRESULT r = Default(msg, wp, lp);
        Detach();
        OnFinalDestroy();
        return r;
    }
    return WindowProc(msg, wp, lp);
}

LRESULT CWndBase::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (Route(msg, wp, lp, &result)) return result;
    return Default(msg, wp, lp);
}

bool CWndBase::Route(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    // The child a notification came from, when it is one of ours.
    auto sender = [this](HWND from) -> CWndBase* {
        CWndBase* child = from && from != m_hWnd ? FromHandle(from) : nullptr;
        return child;
    };
    switch (msg) {
        case WM_COMMAND: {
            const UINT id = LOWORD(wp), code = HIWORD(wp);
            HWND from = reinterpret_cast<HWND>(lp);
            if (CWndBase* child = sender(from); child && child->OnReflectCommand(code)) return true;
            if (auto it = m_commands.find(id); it != m_commands.end()) {
                // A copy: the handler may replace or remove itself.
                const std::function<void(UINT)> fn = it->second;
                fn(code);
                return true;
            }
            return OnCommand(id, code, from);
        }
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lp);
            if (!hdr) return false;
            if (CWndBase* child = sender(hdr->hwndFrom);
                child && child->OnReflectNotify(hdr, result)) {
                return true;
            }
            return OnNotify(hdr, result);
        }
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            if (!dis || dis->CtlType == ODT_MENU) return false;
            if (CWndBase* child = sender(dis->hwndItem)) {
                child->OnDrawItem(dis);
                *result = TRUE;
                return true;
            }
            return false;
        }
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (CWndBase* child = sender(reinterpret_cast<HWND>(lp));
                child && child->OnReflectScroll(msg, LOWORD(wp), static_cast<short>(HIWORD(wp)))) {
                return true;
            }
            return false;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: {
            HWND from = reinterpret_cast<HWND>(lp);
            HDC dc = reinterpret_cast<HDC>(wp);
            HBRUSH brush = nullptr;
            if (CWndBase* child = sender(from)) brush = child->OnReflectCtlColor(msg, dc);
            if (!brush) brush = OnCtlColor(msg, dc, from);
            if (!brush) return false;
            *result = reinterpret_cast<LRESULT>(brush);
            return true;
        }
        case WM_TIMER:
            if (auto it = m_timers.find(static_cast<UINT_PTR>(wp)); it != m_timers.end()) {
                const std::function<void()> fn = it->second;
                fn();
                return true;
            }
            return OnTimer(static_cast<UINT_PTR>(wp));
        case WM_SIZE:
            OnSize(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
            return false;
        case WM_ERASEBKGND:
            if (!m_bufferedPaint) return false;
            *result = TRUE;
            return true;
        case WM_PAINT:
            if (!m_bufferedPaint) return false;
            {
                CMemPaint buf(m_hWnd);
                OnPaint(buf);
            }
            return true;
        case WM_MOUSELEAVE:
            return OnMouse(msg, POINT{0, 0}, wp);
        case WM_GETOBJECT:
            // Only our own client object: the system keeps answering for the frame and the
            // rest.
            if (static_cast<LONG>(lp) != OBJID_CLIENT || Describe().role == 0) return false;
            *result = AnswerAccessible(m_hWnd, wp);
            return *result != 0;
        case WM_SETFOCUS:
            ::NotifyWinEvent(EVENT_OBJECT_FOCUS, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
            if (TakesTab()) Invalidate();  // the focus ring
            return false;
        case WM_KILLFOCUS:
            if (TakesTab()) Invalidate();
            return false;
        default:
            if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
                const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
                return OnMouse(msg, pt, wp);
            }
            return false;
    }
}

void CWndBase::SetCommandHandler(UINT id, std::function<void(UINT code)> fn) {
    if (fn) {
        m_commands[id] = std::move(fn);
    } else {
        m_commands.erase(id);
    }
}

bool CWndBase::StartTimer(UINT_PTR id, UINT ms, std::function<void()> fn) {
    if (!m_hWnd || !fn) return false;
    if (::SetTimer(m_hWnd, id, ms, nullptr) == 0) return false;
    m_timers[id] = std::move(fn);
    return true;
}

void CWndBase::StopTimer(UINT_PTR id) {
    if (m_hWnd) ::KillTimer(m_hWnd, id);
    m_timers.erase(id);
}

AccessibleInfo CWndBase::Describe() const {
    return {};
}

bool CWndBase::OnReflectCommand(UINT) {
    return false;
}
bool CWndBase::OnReflectNotify(NMHDR*, LRESULT*) {
    return false;
}
bool CWndBase::OnReflectScroll(UINT, UINT, int) {
    return false;
}
HBRUSH CWndBase::OnReflectCtlColor(UINT, HDC) {
    return nullptr;
}
bool CWndBase::OnCommand(UINT, UINT, HWND) {
    return false;
}
bool CWndBase::OnNotify(NMHDR*, LRESULT*) {
    return false;
}
HBRUSH CWndBase::OnCtlColor(UINT, HDC, HWND) {
    return nullptr;
}
bool CWndBase::OnTimer(UINT_PTR) {
    return false;
}
void CWndBase::OnSize(int, int) {}
bool CWndBase::OnMouse(UINT, POINT, WPARAM) {
    return false;
}
void CWndBase::OnPaint(CMemPaint&) {}

LRESULT CWndBase::Default(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_oldProc) return ::CallWindowProcW(m_oldProc, m_hWnd, msg, wp, lp);
    return ::DefWindowProcW(m_hWnd, msg, wp, lp);
}

bool CWndBase::PreTranslateMessage(MSG*) {
    return false;
}

void CWndBase::OnDrawItem(DRAWITEMSTRUCT*) {}

bool CWndBase::PostMessage(UINT msg, WPARAM wp, LPARAM lp) const {
    return m_hWnd && ::PostMessageW(m_hWnd, msg, wp, lp);
}

LRESULT CWndBase::SendMessage(UINT msg, WPARAM wp, LPARAM lp) const {
    return m_hWnd ? ::SendMessageW(m_hWnd, msg, wp, lp) : 0;
}

void CWndBase::Invalidate() const {
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

INT_PTR CDialogBase::DoModal(HWND owner) {
    m_ended = false;
    m_result = IDCANCEL;
    if (!CreateDialogWindow(owner) || !m_hWnd) {
        DestroyWindow();
        return -1;
    }
    HWND top = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    const bool ownerWasEnabled = top && ::IsWindowEnabled(top);
    if (ownerWasEnabled) ::EnableWindow(top, FALSE);
    m_running = true;
    MSG msg;
    while (!m_ended && m_hWnd) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave the quit for the outer loop
            break;
        }
        if (got < 0) break;
        if (PreTranslateUpTo(&msg, m_hWnd)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    m_running = false;
    if (ownerWasEnabled) ::EnableWindow(top, TRUE);
    if (m_hWnd) ::ShowWindow(m_hWnd, SW_HIDE);
    if (top) ::SetActiveWindow(top);
    DestroyWindow();
    return m_result;
}

bool PreTranslateUpTo(MSG* msg, HWND top) {
    for (HWND w = msg->hwnd; w; w = ::GetParent(w)) {
        if (CWndBase* obj = CWndBase::FromHandle(w); obj && obj->PreTranslateMessage(msg))
            return true;
        if (w == top) break;
    }
    return false;
}

void CDialogBase::EndDialog(INT_PTR result) {
    m_result = result;
    m_ended = true;
    // Wakes the modal loop when no other message is due.
    if (m_hWnd) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

LRESULT CDialogBase::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        EndDialog(IDCANCEL);
        return 0;
    }
    return CWndBase::WindowProc(msg, wp, lp);
}

// ---- off-screen painting ----------------------------------------------------

CMemPaint::CMemPaint(HWND wnd) : m_wnd(wnd) {
    m_target = ::BeginPaint(wnd, &m_ps);
    RECT rc;
    ::GetClientRect(wnd, &rc);
    Init(rc.right - rc.left, rc.bottom - rc.top);
}

CMemPaint::CMemPaint(HDC target, int width, int height) : m_target(target) {
    Init(width, height);
}

void CMemPaint::Init(int w, int h) {
    m_w = w > 0 ? w : 1;
    m_h = h > 0 ? h : 1;
    m_mem = ::CreateCompatibleDC(m_target);
    m_bmp = ::CreateCompatibleBitmap(m_target, m_w, m_h);
    m_old = ::SelectObject(m_mem, m_bmp);
    m_graphics = new Gdiplus::Graphics(m_mem);
}

void CMemPaint::Flush(HRGN clip) {
    if (m_flushed) return;
    m_flushed = true;
    delete m_graphics;
    m_graphics = nullptr;
    if (clip) ::SelectClipRgn(m_target, clip);
    ::BitBlt(m_target, 0, 0, m_w, m_h, m_mem, 0, 0, SRCCOPY);
    if (clip) ::SelectClipRgn(m_target, nullptr);
}

CMemPaint::~CMemPaint() {
    Flush();
    ::SelectObject(m_mem, m_old);
    ::DeleteObject(m_bmp);
    ::DeleteDC(m_mem);
    if (m_wnd) ::EndPaint(m_wnd, &m_ps);
}

// ---- layout helpers -----------------------------------------------------------

RECT Double4K(const RECT& rc) {
    return {rc.left * 2, rc.top * 2, rc.right * 2, rc.bottom * 2};
}

void LayoutChildFor4K(HWND child) {
    HWND parent = ::GetParent(child);
    RECT rc;
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    const RECT d = Double4K(rc);
    ::MoveWindow(child, d.left, d.top, d.right - d.left, d.bottom - d.top, TRUE);
}

void DrawFocusRing(HDC dc, const RECT& rc, COLORREF colour, int width) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    RECT r = rc;
    for (int i = 0; i < width && r.right - r.left > 2 && r.bottom - r.top > 2; ++i) {
        ::FrameRect(dc, &r, brush);
        ::InflateRect(&r, -1, -1);
    }
    ::DeleteObject(brush);
}

namespace {
TextFitHook& FitHook() {
    static TextFitHook hook;
    return hook;
}

// Measures `w` as `format` would lay it out in `rc` and reports it when it needs more room.
void CheckTextFits(HDC dc, const std::string& utf8, const std::wstring& w, RECT rc, UINT format) {
    const UINT keep = DT_SINGLELINE | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
    RECT need{0, 0, rc.right - rc.left, 0};
    ::DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &need, DT_CALCRECT | (format & keep));
    const SIZE needed{need.right - need.left, need.bottom - need.top};
    if (needed.cx > rc.right - rc.left || needed.cy > rc.bottom - rc.top)
        FitHook()(TextMisfit{utf8, rc, needed});
}

TextContrastHook& ContrastHook() {
    static TextContrastHook hook;
    return hook;
}

// The mean colour of what lies under the letters of `w` in `rc`, read before they are drawn,
// handed to the hook with the text's colour.
void CheckTextContrast(HDC dc, const std::string& utf8, const std::wstring& w, RECT rc, UINT format,
                       COLORREF colour) {
    const UINT keep = DT_SINGLELINE | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
    RECT need{0, 0, rc.right - rc.left, 0};
    ::DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &need, DT_CALCRECT | (format & keep));
    const int tw = std::min<int>(need.right - need.left, rc.right - rc.left);
    const int th = std::min<int>(need.bottom - need.top, rc.bottom - rc.top);
    RECT box{rc.left, rc.top, rc.left + tw, rc.top + th};
    if (format & DT_CENTER) ::OffsetRect(&box, (rc.right - rc.left - tw) / 2, 0);
    if (format & DT_RIGHT) ::OffsetRect(&box, rc.right - rc.left - tw, 0);
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
        ::OffsetRect(&box, 0, (rc.bottom - rc.top - th) / 2);
    if ((format & DT_SINGLELINE) && (format & DT_BOTTOM))
        ::OffsetRect(&box, 0, rc.bottom - rc.top - th);
    // A few hundred points are plenty for a mean and keep the measuring quick.
    const int step = std::max(1, static_cast<int>(std::sqrt(tw * th / 400.0)));
    uint64_t sum[3]{};
    uint64_t n = 0;
    for (int y = box.top; y < box.bottom; y += step)
        for (int x = box.left; x < box.right; x += step) {
            const COLORREF p = ::GetPixel(dc, x, y);
            if (p == CLR_INVALID) continue;
            sum[0] += GetRValue(p), sum[1] += GetGValue(p), sum[2] += GetBValue(p);
            ++n;
        }
    if (n == 0) return;
    const COLORREF mean = RGB(sum[0] / n, sum[1] / n, sum[2] / n);
    ContrastHook()(TextOnBackground{utf8, box, colour, mean});
}
}  // namespace

void SetTextContrastHook(TextContrastHook hook) {
    ContrastHook() = std::move(hook);
}

void SetTextFitHook(TextFitHook hook) {
    FitHook() = std::move(hook);
}

void DrawSkinText(HDC dc, const std::string& utf8, RECT rc, COLORREF colour, HFONT font,
                  UINT format) {
    if (utf8.empty()) return;
    std::wstring w = platform::win::Widen(utf8);
    HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
    if (FitHook()) CheckTextFits(dc, utf8, w, rc, format);
    if (ContrastHook()) CheckTextContrast(dc, utf8, w, rc, format, colour);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colour);
    ::DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &rc, format);
    if (old) ::SelectObject(dc, old);
}

HFONT MakeUiFont(HFONT appFont, int height, int weight, bool* owned) {
    if (appFont) {
        *owned = false;
        return appFont;
    }
    *owned = true;
    return ::CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg");
}
