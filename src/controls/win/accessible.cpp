#include "controls/win/accessible.h"

#include <oleacc.h>

#include "controls/win/wnd_base.h"
#include "platform/win/system_library.h"
#include "platform/win/wide.h"

const IID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

namespace {

// oleacc and oleaut32 are loaded when a screen reader first asks a control: most users never
// run one, and imported they are loaded (with what they pull in) at every start.
HRESULT StdAccessibleObject(HWND wnd, IAccessible** out) {
    using Fn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    static const Fn fn =
        platform::win::SystemFunction<Fn>(L"oleacc.dll", "CreateStdAccessibleObject");
    *out = nullptr;
    if (!fn) return E_NOTIMPL;
    return fn(wnd, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(out));
}

LRESULT ResultFromObject(WPARAM wp, IAccessible* acc) {
    using Fn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    static const Fn fn = platform::win::SystemFunction<Fn>(L"oleacc.dll", "LresultFromObject");
    return fn ? fn(kIidAccessible, wp, acc) : 0;
}

// The caller frees the text with SysFreeString, so it must come from oleaut32's allocator.
BSTR AllocText(const std::wstring& text) {
    using Fn = BSTR(WINAPI*)(const OLECHAR*);
    static const Fn fn = platform::win::SystemFunction<Fn>(L"oleaut32.dll", "SysAllocString");
    return fn ? fn(text.c_str()) : nullptr;
}

// VariantInit's whole work; called here it needs no library.
void EmptyVariant(VARIANT* v) {
    v->vt = VT_EMPTY;
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT GiveText(const std::string& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = AllocText(platform::win::Widen(text));
    return *out ? S_OK : E_OUTOFMEMORY;
}

class SkinAccessible final : public IAccessible {
  public:
    explicit SkinAccessible(HWND wnd) : m_wnd(wnd) { StdAccessibleObject(wnd, &m_std); }
    ~SkinAccessible() {
        if (m_std) m_std->Release();
    }
    SkinAccessible(const SkinAccessible&) = delete;
    SkinAccessible& operator=(const SkinAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --m_refs;
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: readers use the interface's own methods.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return m_std ? m_std->get_accParent(out) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* n) override {
        if (!n) return E_POINTER;
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** out) override {
        if (out) *out = nullptr;
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        AccessibleInfo info;
        if (HRESULT hr = Info(child, &info); hr != S_OK) return hr;
        return GiveText(info.name, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        AccessibleInfo info;
        if (HRESULT hr = Info(child, &info); hr != S_OK) return hr;
        if (!info.hasValue) {
            if (out) *out = nullptr;
            return S_FALSE;
        }
        return GiveText(info.value, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        AccessibleInfo info;
        if (HRESULT hr = Info(child, &info); hr != S_OK) return hr;
        if (!out) return E_POINTER;
        EmptyVariant(out);
        out->vt = VT_I4;
        out->lVal = info.role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        AccessibleInfo info;
        if (HRESULT hr = Info(child, &info); hr != S_OK) return hr;
        if (!out) return E_POINTER;
        CWndBase* obj = CWndBase::FromHandle(m_wnd);
        EmptyVariant(out);
        out->vt = VT_I4;
        out->lVal = AccessibleState(m_wnd, info.checked, info.disabled, obj && obj->TakesTab());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        if (!out) return E_POINTER;
        EmptyVariant(out);
        if (::GetFocus() != m_wnd) return S_FALSE;
        out->vt = VT_I4;
        out->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        if (out) EmptyVariant(out);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        if (!IsSelf(child)) return E_INVALIDARG;
        if (flags & SELFLAG_TAKEFOCUS) ::SetFocus(m_wnd);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h,
                                          VARIANT child) override {
        if (!x || !y || !w || !h) return E_POINTER;
        if (!IsSelf(child)) return E_INVALIDARG;
        RECT rc{};
        if (!::GetWindowRect(m_wnd, &rc)) return E_FAIL;
        *x = rc.left;
        *y = rc.top;
        *w = rc.right - rc.left;
        *h = rc.bottom - rc.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long dir, VARIANT start, VARIANT* out) override {
        if (out) EmptyVariant(out);
        return m_std ? m_std->accNavigate(dir, start, out) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
        if (!out) return E_POINTER;
        EmptyVariant(out);
        RECT rc{};
        ::GetWindowRect(m_wnd, &rc);
        if (!::PtInRect(&rc, POINT{x, y})) return S_FALSE;
        out->vt = VT_I4;
        out->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!IsSelf(child)) return E_INVALIDARG;
        CWndBase* obj = CWndBase::FromHandle(m_wnd);
        if (!obj) return E_FAIL;
        return obj->KeyPress() ? S_OK : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    // The window's description now; an error once the window is gone.
    HRESULT Info(const VARIANT& child, AccessibleInfo* info) const {
        if (!IsSelf(child)) return E_INVALIDARG;
        CWndBase* obj = CWndBase::FromHandle(m_wnd);
        if (!obj) return RPC_E_DISCONNECTED;
        *info = obj->Describe();
        return S_OK;
    }

    long m_refs = 1;
    HWND m_wnd;
    IAccessible* m_std = nullptr;
};

}  // namespace

long AccessibleState(HWND wnd, bool checked, bool disabled, bool focusable) {
    long state = 0;
    if (checked) state |= STATE_SYSTEM_CHECKED;
    if (disabled || !::IsWindowEnabled(wnd)) state |= STATE_SYSTEM_UNAVAILABLE;
    if (!::IsWindowVisible(wnd)) state |= STATE_SYSTEM_INVISIBLE;
    if (focusable) state |= STATE_SYSTEM_FOCUSABLE;
    if (::GetFocus() == wnd) state |= STATE_SYSTEM_FOCUSED;
    return state;
}

LRESULT AnswerAccessible(HWND wnd, WPARAM wp) {
    auto* acc = new SkinAccessible(wnd);
    const LRESULT r = ResultFromObject(wp, acc);
    acc->Release();  // the answer holds its own reference
    return r > 0 ? r : 0;
}
