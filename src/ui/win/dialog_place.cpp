#include "ui/win/dialog_place.h"

RECT CentredDialogRect(HWND owner, int width, int height, HWND* top) {
    RECT over{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    HWND root = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    if (root) ::GetWindowRect(root, &over);
    if (top) *top = root;
    const int x = over.left + ((over.right - over.left) - width) / 2;
    const int y = over.top + ((over.bottom - over.top) - height) / 2;
    return RECT{x, y, x + width, y + height};
}
