#include "controls/win/focus_nav.h"

#include <algorithm>

#include "controls/keyboard_model.h"
#include "controls/win/menu_dlg.h"
#include "controls/win/wnd_base.h"

namespace {

struct Candidate {
    HWND wnd;
    CWndBase* obj;
};

// The system's edit boxes of our dialogs take Tab as well: they are where numbers are typed.
bool IsEditBox(HWND wnd) {
    wchar_t cls[16] = {};
    ::GetClassNameW(wnd, cls, 16);
    return ::lstrcmpiW(cls, L"Edit") == 0;
}

BOOL CALLBACK Collect(HWND wnd, LPARAM lp) {
    auto* out = reinterpret_cast<std::vector<Candidate>*>(lp);
    if (!::IsWindowVisible(wnd) || !::IsWindowEnabled(wnd)) return TRUE;
    CWndBase* obj = CWndBase::FromHandle(wnd);
    if (obj ? obj->TakesTab() : IsEditBox(wnd)) out->push_back({wnd, obj});
    return TRUE;
}

std::vector<Candidate> Candidates(HWND root) {
    std::vector<Candidate> c;
    ::EnumChildWindows(root, Collect, reinterpret_cast<LPARAM>(&c));
    return c;
}

// The candidates as focus items: ids are their places in `c` plus one. A group is known by its
// parent and its number together, so two pages' groups never mix.
std::vector<FocusItem> Items(HWND root, const std::vector<Candidate>& c) {
    std::vector<std::pair<HWND, int>> groups;
    std::vector<FocusItem> items;
    for (size_t i = 0; i < c.size(); ++i) {
        RECT rc{};
        ::GetWindowRect(c[i].wnd, &rc);
        ::MapWindowPoints(nullptr, root, reinterpret_cast<POINT*>(&rc), 2);
        FocusItem f;
        f.id = static_cast<int32_t>(i + 1);
        f.rc = ZvRect{rc.left, rc.top, rc.right, rc.bottom};
        if (const int g = c[i].obj ? c[i].obj->FocusGroup() : 0; g != 0) {
            const std::pair<HWND, int> key{::GetParent(c[i].wnd), g};
            auto it = std::find(groups.begin(), groups.end(), key);
            if (it == groups.end()) it = groups.insert(groups.end(), key);
            f.group = static_cast<int32_t>(it - groups.begin() + 1);
            f.checked = c[i].obj->Describe().checked;
        }
        items.push_back(f);
    }
    return items;
}

// The place in `c` (plus one) of the focused window or the candidate that holds it; 0 for none.
int32_t Current(const std::vector<Candidate>& c) {
    for (HWND f = ::GetFocus(); f; f = ::GetParent(f))
        for (size_t i = 0; i < c.size(); ++i)
            if (c[i].wnd == f) return static_cast<int32_t>(i + 1);
    return 0;
}

}  // namespace

bool IsWithin(HWND wnd, HWND root) {
    for (HWND w = wnd; w; w = ::GetParent(w))
        if (w == root) return true;
    return false;
}

std::vector<HWND> TabOrder(HWND root) {
    const std::vector<Candidate> c = Candidates(root);
    std::vector<HWND> out;
    for (int32_t id : TabStops(Items(root, c))) out.push_back(c[static_cast<size_t>(id - 1)].wnd);
    return out;
}

bool MoveTabFocus(HWND root, bool back) {
    const std::vector<Candidate> c = Candidates(root);
    const int32_t to = NextTabStop(Items(root, c), Current(c), back);
    if (to == 0) return false;
    ::SetFocus(c[static_cast<size_t>(to - 1)].wnd);
    return true;
}

bool StepFocusGroup(HWND control, int delta) {
    CWndBase* obj = CWndBase::FromHandle(control);
    if (!obj || obj->FocusGroup() == 0) return false;
    HWND parent = ::GetParent(control);
    std::vector<Candidate> siblings;
    for (const Candidate& k : Candidates(parent))
        if (::GetParent(k.wnd) == parent && k.obj && k.obj->FocusGroup() == obj->FocusGroup())
            siblings.push_back(k);
    const std::vector<FocusItem> items = Items(parent, siblings);
    int32_t at = 0;
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].wnd == control) at = static_cast<int32_t>(i + 1);
    if (at == 0) return false;
    const int32_t to = GroupStep(items, at, delta);
    const Candidate& target = siblings[static_cast<size_t>(to - 1)];
    ::SetFocus(target.wnd);
    target.obj->KeyPress();
    return true;
}

DialogKey RouteDialogKey(HWND root, const MSG& msg) {
    const UINT m = msg.message;
    if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP && m != WM_CHAR)
        return DialogKey::kOther;
    const auto vk = static_cast<UINT>(msg.wParam);
    if (vk == VK_TAB && m != WM_CHAR && ::GetKeyState(VK_CONTROL) >= 0 &&
        ::GetKeyState(VK_MENU) >= 0) {
        if (m == WM_KEYDOWN) {
            // A menu left open would go on taking the keys of the control it belonged to.
            ClosePopup();
            MoveTabFocus(root, ::GetKeyState(VK_SHIFT) < 0);
        }
        return DialogKey::kMoved;
    }
    if (m == WM_CHAR) return DialogKey::kOther;
    return ControlTakesKey(root, msg) ? DialogKey::kForControl : DialogKey::kOther;
}

bool ControlTakesKey(HWND root, const MSG& msg) {
    CWndBase* target = CWndBase::FromHandle(msg.hwnd);
    return target && target->WantsKey(static_cast<UINT>(msg.wParam)) && IsWithin(msg.hwnd, root);
}
