// The control gallery: every skinned control over the skins, in each of its states, saved as
// one screenshot per state so people can look at the interface without a mouse attached.
// Usage: zorvan_gallery.exe [OUTPUT_FOLDER]   (default: "screenshots" beside the program)
#include <windows.h>

#include <gdiplus.h>

#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/gvar.h"
#include "base/ini_file.h"
#include "base/language_texts.h"
#include "base/number_text.h"
#include "controls/button_model.h"
#include "controls/skin_paths.h"
#include "controls/win/menu_dlg.h"
#include "controls/win/page_base.h"
#include "controls/win/png_btn.h"
#include "controls/win/skin_picture.h"
#include "platform/fs.h"
#include "profile/apply_thread.h"
#include "platform/sys.h"
#include "platform/win/wide.h"
#include "macro/macro_file.h"
#include "ui/win/firekey_dlg.h"
#include "ui/win/move_dlg.h"
#include "ui/win/msg_dlg.h"
#include "ui/win/pick_macro_dlg.h"
#include "ui/win/progress_dlg.h"
#include "ui/win/theme_options.h"

namespace {

std::string g_out;
int g_failures = 0;

void Pump(DWORD ms) {
    const DWORD end = ::GetTickCount() + ms;
    MSG m;
    do {
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
        ::Sleep(5);
    } while (static_cast<LONG>(::GetTickCount() - end) < 0);
}

bool PngEncoder(CLSID* clsid) {
    UINT n = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&n, &size);
    if (size == 0) return false;
    std::vector<char> buf(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buf.data());
    Gdiplus::GetImageEncoders(n, size, codecs);
    for (UINT i = 0; i < n; ++i) {
        if (std::wstring(codecs[i].MimeType) == L"image/png") {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// Saves a bitmap as OUT/name.png.
void SaveBitmap(HBITMAP bmp, const char* name) {
    CLSID png;
    const std::string path = g_out + name + ".png";
    bool ok = false;
    if (PngEncoder(&png)) {
        Gdiplus::Bitmap pic(bmp, nullptr);
        ok = pic.Save(platform::win::Widen(path).c_str(), &png, nullptr) == Gdiplus::Ok;
    }
    if (!ok) ++g_failures;
    std::printf("%s %s\n", ok ? "saved" : "FAILED", path.c_str());
}

// Saves what the screen shows in `rc` as OUT/name.png.
void SaveScreen(const RECT& rc, const char* name) {
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
    ::SelectObject(mem, old);
    SaveBitmap(bmp, name);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
}

RECT Union(HWND a, HWND b) {
    RECT ra{}, rb{}, u{};
    ::GetWindowRect(a, &ra);
    if (b) {
        ::GetWindowRect(b, &rb);
        ::UnionRect(&u, &ra, &rb);
        return u;
    }
    return ra;
}

// The first mouse folder of the skins (a folder holding mouse_nr.png).
std::string FirstMouseFolder() {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(platform::win::Widen(SkinPath("*")).c_str(), &fd);
    std::string found;
    if (h == INVALID_HANDLE_VALUE) return found;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        const std::string name = platform::win::Narrow(fd.cFileName);
        if (name.size() == 4 &&
            ::GetFileAttributesW(platform::win::Widen(SkinPath(name + "/mouse_nr.png")).c_str()) !=
                INVALID_FILE_ATTRIBUTES) {
            found = name;
            break;
        }
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    return found;
}

constexpr int kPageTop = 160;
// Where the performance pieces' page lies in the window.
constexpr RECT kSettingsRect{690, kPageTop + 30, 950, kPageTop + 270};

// A performance page's pieces: check boxes, radio buttons, a combo and DPI value buttons, with
// their labels, on a page of their own.
class CSettingsPage : public CPageBase {
  public:
    CPngBtn check[2], radio[2], dpi, disabled;
    CComboBtn rate;

  protected:
    // A button from three skin files at `at` (window coordinates), its background cut from the
    // page's.
    bool Small3(CPngBtn& b, const char* nr, const char* dn, POINT at, UINT id, const char* caption,
                bool checkable) {
        PngBtnArgs a;
        a.id = id;
        at = POINT{at.x - kSettingsRect.left, at.y - kSettingsRect.top};
        a.rc = RECT{at.x, at.y, at.x, at.y};
        a.caption = caption ? caption : "";
        a.background = Background();
        a.backgroundAt = at;
        a.checkable = a.toggleOnClick = checkable;
        return NewSmallPngButton3(&b, m_hWnd, {nr, nr, dn}, a, Theme()) == 1;
    }

    bool OnCreatePage() override {
        const int cx = 700, cy = kPageTop + 40;
        const char* checkCaps[2] = {"Angle snapping", "Motion sync"};
        for (int i = 0; i < 2; ++i) {
            Small3(check[i], "check_nr.png", "check_dn.png", POINT{cx, cy + i * 30},
                   150 + static_cast<UINT>(i), nullptr, true);
            Label(RECT{cx + 24, cy + i * 30 - 2, cx + 240, cy + i * 30 + 18}, checkCaps[i]);
        }
        check[0].SetCheck(true);
        const char* radioCaps[2] = {"1000 Hz", "500 Hz"};
        for (int i = 0; i < 2; ++i) {
            Small3(radio[i], "radio_nr.png", "radio_dn.png", POINT{cx, cy + 70 + i * 30},
                   160 + static_cast<UINT>(i), nullptr, true);
            Label(RECT{cx + 24, cy + 68 + i * 30, cx + 240, cy + 88 + i * 30}, radioCaps[i]);
        }
        radio[0].SetCheck(true);
        PicturePtr pic = LoadSkinPicture(SkinPath("combo2_nr.png"));
        ComboBtnArgs c;
        c.button.id = 170;
        c.button.rc = RECT{cx - kSettingsRect.left, cy + 140 - kSettingsRect.top,
                           cx + 180 - kSettingsRect.left, cy + 166 - kSettingsRect.top};
        c.button.normal = c.button.hover = c.button.pressed = pic.get();
        c.textOffset = 10;
        c.reselectIsNoChange = true;
        AddCombo(rate, c);
        const char* rates[4] = {"125 Hz", "250 Hz", "500 Hz", "1000 Hz"};
        const int rateValues[4] = {0x125, 0x250, 0x500, 0x1000};
        for (int i = 0; i < 4; ++i) rate.AddItem(0, rateValues[i], rates[i]);
        rate.SelectValue(0x1000);
        Small3(dpi, "button2_nr.png", "button2_nr.png", POINT{cx, cy + 190}, 180, "1600", false);
        Small3(disabled, "button2_nr.png", "button2_nr.png", POINT{cx + 90, cy + 190}, 181, "3200",
               false);
        disabled.SetDisabledLook(true);
        return true;
    }

    void OnPaintPage(CMemPaint& buf) override {
        buf.g().Flush();
        HFONT small = reinterpret_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        for (const auto& [rc, text] : m_labels) {
            DrawSkinText(buf.dc(), text, rc, Theme().text, small,
                         DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        }
    }

  private:
    // A text beside a control, at window coordinates.
    void Label(RECT rc, const char* text) {
        ::OffsetRect(&rc, -kSettingsRect.left, -kSettingsRect.top);
        m_labels.emplace_back(rc, text);
    }
    std::vector<std::pair<RECT, std::string>> m_labels;
};

class CGalleryWnd : public CWndBase {
  public:
    PicturePtr bkg, mouseNr, mouseDn, naviNr[4], naviDn[4];
    PicturePtr numbers[7];
    CPngBtn navi[4], minBtn, exitBtn, helpBtn, rows[6], reset;
    CPngBtn marks[16];
    CComboBtn lang, profile;
    CSettingsPage settings;
    HFONT titleFont = nullptr;
    std::string mouseFolder;
    UiTheme theme = ThemeFromOptions();

    // A button from three skin files at `at`, its background cut from the window's picture.
    void Small3(CPngBtn& b, const char* nr, const char* ov, const char* dn, POINT at, UINT id,
                const char* caption = nullptr, bool checkable = false, bool tooltip = false) {
        PngBtnArgs a;
        a.id = id;
        a.rc = RECT{at.x, at.y, at.x, at.y};
        a.caption = caption ? caption : "";
        a.background = bkg.get();
        a.backgroundAt = at;
        a.checkable = checkable;
        a.tooltip = tooltip;
        NewSmallPngButton3(&b, m_hWnd, {nr, ov, dn}, a, theme);
    }

    bool Build() {
        bkg = LoadSkinPicture(SkinPath("key_nr.png"));
        if (!PicturePresent(bkg.get())) return false;
        const int w = PictureWidth(bkg.get()), h = PictureHeight(bkg.get());
        const int x = (::GetSystemMetrics(SM_CXSCREEN) - w) / 2;
        SetBufferedPaint(true);
        if (!CreateEx(WS_EX_TOOLWINDOW, L"Zorvan control gallery", WS_POPUP | WS_CLIPCHILDREN,
                      RECT{x, 10, x + w, 10 + h}, nullptr, 0)) {
            return false;
        }
        ShapeWindowFromPicture(m_hWnd, bkg.get(), gVar.clrMask, 0x0A);
        titleFont = ::CreateFontW(24, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg");

        // Navigation: one full-window picture per state, cut at each button.
        for (int i = 0; i < 4; ++i) {
            const std::string n = std::to_string(i + 1);
            naviNr[i] = LoadSkinPicture(SkinPath("navi" + n + "_nr.png"));
            naviDn[i] = LoadSkinPicture(SkinPath("navi" + n + "_dn.png"));
            const int left = gVar.ptNavi.x + i * 64;
            PngBtnArgs a;
            a.id = 100 + static_cast<UINT>(i);
            a.rc = RECT{left, gVar.ptNavi.y, left + 60, gVar.ptNavi.y + 49};
            a.normal = naviNr[i].get();
            a.hover = a.pressed = naviDn[i].get();
            a.checkable = true;
            NewPngButton(&navi[i], m_hWnd, a, theme);
        }
        navi[0].SetCheck(true);
        const POINT pMin{gVar.ptMin.x, gVar.ptMin.y};
        Small3(minBtn, "min_nr.png", "min_nr.png", "min_nr.png", pMin, 110);
        const POINT pExit{pMin.x + 28, pMin.y}, pHelp{pMin.x - 28, pMin.y};
        Small3(exitBtn, "exit_nr.png", "exit_nr.png", "exit_nr.png", pExit, 111);
        Small3(helpBtn, "help_nr.png", "help_nr.png", "help_nr.png", pHelp, 112);
        const RECT langRc{pMin.x - 161, pMin.y - 2, pMin.x - 50, pMin.y + 28};
        MakeCombo(lang, "combo3_nr.png", langRc, 113);
        lang.AddItem(0, 0, "English");
        lang.AddItem(0, 1, "Deutsch");
        lang.SelectValue(0);

        // A buttons page: numbered rows, the profile selector and the mouse picture.
        const char* captions[6] = {"Left click", "Right click", "Middle click",
                                   "Forward",    "Back",        "DPI loop"};
        for (int i = 0; i < 6; ++i) {
            const int top = kPageTop + gVar.ptKey.y + i * 29;
            const POINT at{gVar.ptKey.x, top};
            Small3(rows[i], "button_nr.png", "button_nr.png", "button_nr.png", at,
                   120 + static_cast<UINT>(i), captions[i]);
            rows[i].SetPressShift(true);
            numbers[i] =
                LoadSkinPicture(SkinPath("number/number" + std::to_string(i + 1) + ".png"));
        }
        rows[5].SetDisabledLook(true);
        const RECT profRc{gVar.ptKey.x + 222 - 111, kPageTop + 20, gVar.ptKey.x + 222,
                          kPageTop + 50};
        MakeCombo(profile, "combo3_nr.png", profRc, 130);
        for (int i = 1; i <= 4; ++i) profile.AddItem(0, i, "Profile " + std::to_string(i));
        profile.SelectValue(1);

        mouseFolder = FirstMouseFolder();
        if (!mouseFolder.empty()) {
            mouseNr = LoadSkinPicture(SkinPath(mouseFolder + "/mouse_nr.png"));
            mouseDn = LoadSkinPicture(SkinPath(mouseFolder + "/mouse_dn.png"));
            // The picture over the page background, and one lit hotspot (the left button).
            const int mx = gVar.ptKey.x + 265, my = kPageTop + 20;
            PicturePtr composedNr = ComposePicture(bkg.get(), mx, my, mouseNr.get());
            PicturePtr composedDn = ComposePicture(bkg.get(), mx, my, mouseDn.get());
            mouseNr = std::move(composedNr);
            mouseDn = std::move(composedDn);
            // The hotspots of the catalogue's button marks; two of them lit.
            const IniFile cfg = IniFile::Load(gVar.szAppDir + "cfg.ini");
            std::string section;
            for (int d = 1; d <= 30 && section.empty(); ++d) {
                const std::string sec = "DEV_" + std::to_string(d);
                const int cid = cfg.GetInt(sec, "CID", 0), mid = cfg.GetInt(sec, "MID", 0);
                if (DeviceSkinFolder(static_cast<uint8_t>(cid), static_cast<uint8_t>(mid)) ==
                    mouseFolder) {
                    section = sec;
                }
            }
            for (int i = 0; i < 16 && !section.empty(); ++i) {
                const auto v = ParseNumberList(
                    cfg.GetString(section, "Mark" + std::to_string(i + 1), "", 50), 10, 4);
                if (v.size() != 4) break;
                const int l = static_cast<int>(v[0]), t = static_cast<int>(v[1]);
                const RECT r{l, t, l + static_cast<int>(v[2]), t + static_cast<int>(v[3])};
                PngBtnArgs a;
                a.id = 140 + static_cast<UINT>(i);
                a.rc = r;
                a.normal = mouseNr.get();
                a.hover = a.pressed = mouseDn.get();
                a.checkable = true;
                NewPngButton(&marks[i], m_hWnd, a, theme);
                ::MoveWindow(marks[i].m_hWnd, mx + r.left, my + r.top, r.right - r.left,
                             r.bottom - r.top, FALSE);
                marks[i].SetCheck(i == 0 || i == 3);
            }
        }

        // Performance-page pieces on a page of their own, over the window's background.
        settings.SetBackground(CopyPictureRect(bkg.get(), kSettingsRect));
        if (!settings.CreatePage(m_hWnd, kSettingsRect, theme, 200)) return false;
        settings.Show(true);
        const POINT pReset{707, kPageTop + 473};
        Small3(reset, "reset_nr.png", "reset_nr.png", "reset_nr.png", pReset, 190,
               GetText("tc_restore").empty() ? "Restore" : GetText("tc_restore").c_str(), false,
               true);
        ::ShowWindow(m_hWnd, SW_SHOW);
        ::UpdateWindow(m_hWnd);
        return true;
    }

    void MakeCombo(CComboBtn& c, const char* file, const RECT& rc, UINT id) {
        PicturePtr pic = LoadSkinPicture(SkinPath(file));
        ComboBtnArgs a;
        a.button.id = id;
        a.button.rc = rc;
        a.button.normal = a.button.hover = a.button.pressed = pic.get();
        a.button.background = bkg.get();
        a.reselectIsNoChange = true;
        c.Create(m_hWnd, a, theme);
    }

    void OnPaint(CMemPaint& buf) override {
        RECT rc{0, 0, buf.width(), buf.height()};
        DrawPictureStretched(buf.g(), bkg.get(), rc);
        for (int i = 0; i < 6; ++i) {
            const int top = kPageTop + gVar.ptKey.y + i * 29;
            DrawPicture(buf.g(), numbers[i].get(), gVar.ptKey.x - 8 - 18, top);
        }
        if (mouseNr) DrawPicture(buf.g(), mouseNr.get(), gVar.ptKey.x + 265, kPageTop + 20);
        buf.g().Flush();
        const std::string title = GetText("tc_page1").empty() ? "Buttons" : GetText("tc_page1");
        DrawSkinText(buf.dc(), title, RECT{43, kPageTop + 20, 343, kPageTop + 40}, theme.text,
                     titleFont, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_MENU_RESULT) {
            ClosePopup();
            return 0;
        }
        return CWndBase::WindowProc(msg, wp, lp);
    }
};

// A strip of one button in each state (normal, hover, pressed, checked, disabled look,
// pressed with the press shift), drawn off screen side by side.
void SaveButtonStates(CGalleryWnd& wnd) {
    CPngBtn& b = wnd.rows[0];
    RECT rc;
    ::GetClientRect(b.m_hWnd, &rc);
    const int w = rc.right, h = rc.bottom, gap = 8, n = 7;
    const int sw = n * (w + gap) + gap, sh = h + 2 * gap;
    HDC screen = ::GetDC(nullptr);
    HDC strip = ::CreateCompatibleDC(screen);
    HBITMAP stripBmp = ::CreateCompatibleBitmap(screen, sw, sh);
    HGDIOBJ oldStrip = ::SelectObject(strip, stripBmp);
    RECT all{0, 0, sw, sh};
    HBRUSH back = ::CreateSolidBrush(RGB(21, 25, 34));
    ::FillRect(strip, &all, back);
    ::DeleteObject(back);
    // Normal, hover, pressed, checked, disabled look, hover while pressed, locked (disabled with
    // the locked caption colour).
    struct State {
        bool hover, pressed, checked, disabledLook, locked;
    };
    const State states[n] = {
        {false, false, false, false, false}, {true, false, false, false, false},
        {false, true, false, false, false},  {false, false, true, false, false},
        {false, false, false, true, false},  {true, true, false, false, false},
        {false, false, false, false, true}};
    const UiTheme theme = ThemeFromOptions();
    for (int i = 0; i < n; ++i) {
        b.SetDisabledLook(states[i].disabledLook);
        if (states[i].locked) {
            b.SetTextColors(kLockedCaption, kLockedCaption, kLockedCaption);
        } else {
            b.SetTextColors(theme.buttonNormal, theme.buttonHover, theme.buttonPressed);
        }
        b.SetCheck(states[i].checked);
        if (states[i].hover) ::SendMessageW(b.m_hWnd, WM_MOUSEMOVE, 0, 0);
        HDC mem = ::CreateCompatibleDC(screen);
        HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
        HGDIOBJ old = ::SelectObject(mem, bmp);
        b.Render(mem, states[i].pressed, states[i].locked);
        ::BitBlt(strip, gap + i * (w + gap), gap, w, h, mem, 0, 0, SRCCOPY);
        ::SelectObject(mem, old);
        ::DeleteObject(bmp);
        ::DeleteDC(mem);
        if (states[i].hover) ::SendMessageW(b.m_hWnd, WM_MOUSELEAVE, 0, 0);
    }
    b.SetDisabledLook(false);
    b.SetCheck(false);
    ::SelectObject(strip, oldStrip);
    SaveBitmap(stripBmp, "button_states");
    ::DeleteObject(stripBmp);
    ::DeleteDC(strip);
    ::ReleaseDC(nullptr, screen);
}

std::deque<std::function<void(HWND)>> g_steps;
void CALLBACK StepTimer(HWND, UINT, UINT_PTR, DWORD) {
    HWND dlg = ::FindWindowW(nullptr, L"ZorvanMsgTopWindow");
    if (!dlg) dlg = ::FindWindowW(nullptr, platform::win::Widen(kProgressWindowTitle).c_str());
    if (!dlg) return;
    if (g_steps.empty()) {
        ::PostMessageW(dlg, WM_CLOSE, 0, 0);
        return;
    }
    auto step = std::move(g_steps.front());
    g_steps.pop_front();
    step(dlg);
}
std::function<void(HWND)> Shot(const char* name) {
    return [name](HWND dlg) {
        ::UpdateWindow(dlg);
        RECT rc;
        ::GetWindowRect(dlg, &rc);
        SaveScreen(rc, name);
    };
}
HWND EditOf(HWND dlg) {
    return ::GetDlgItem(dlg, CMsgDlg::kIdEdit);
}

// The macro picker over a small folder of sample macros, and the move dialog.
void SaveMacroDialogs(HWND owner) {
    const std::string root = gVar.szAppDir + "gallery_macros";
    MacroId id = 0x101;
    std::vector<std::string> files;
    std::vector<std::string> names = {"Rapid reload.qzm", "Games\\Burst fire.qzm",
                                      "Games\\Grenade.qzm", "Sniper breath hold.qzm"};
    // More than the picker's list shows at once, so its scroll bar is seen.
    for (int i = 1; i <= 12; ++i) names.push_back("Build order " + std::to_string(i) + ".qzm");
    for (const std::string& rel : names) {
        StMacro m = NewMacroRecord(platform::FileNameOf(rel), id++);
        uint8_t bytes[kStMacroSize];
        MacroFileBytes(m, bytes);
        const std::string path = platform::JoinPath(root, rel);
        if (!MakeSureFolderExist(path) || !MyCreateFile(path, bytes, sizeof bytes)) ++g_failures;
        files.push_back(path);
    }
    // The picker in each language: its buttons in the skin's face, their captions inside it.
    for (const auto& [folder, shot] :
         {std::pair{"German", "macro_picker_de"}, std::pair{"French", "macro_picker_fr"},
          std::pair{"English", "macro_picker"}}) {
        LoadTexts(gVar.szAppDir + folder + "\\text.xml");
        CPickMacroDlg d;
        d.root = root;
        d.showFolders = true;
        d.colours = {Rgb(22, 25, 33), Rgb(30, 34, 45), Rgb(214, 220, 232), Rgb(0, 212, 255),
                     Rgb(54, 61, 79)};
        g_steps = {[](HWND w) {
                       auto* tree = static_cast<CTreeCtrlEx*>(
                           CWndBase::FromHandle(::GetDlgItem(w, CPickMacroDlg::kIdTree)));
                       if (!tree) return;
                       tree->WalkItems(
                           TVI_ROOT,
                           [tree](HTREEITEM i) {
                               const TreeItemRecord* r = tree->FindRecord(i);
                               if (r && r->kind == CTreeCtrlEx::kFolder) tree->ToggleExpand(i);
                               if (tree->ItemText(i) == "Burst fire") tree->Select(i);
                               return false;
                           },
                           true);
                   },
                   Shot(shot)};
        d.DoModal(owner);
    }
    {
        CMoveDlg d;
        d.x = 12;
        d.y = -3;
        g_steps = {Shot("macro_move")};
        d.DoModal(owner);
    }
    // The sample folder is not left beside the program.
    for (const std::string& f : files) platform::RemoveFile(f);
    platform::RemoveEmptyDirectory(platform::JoinPath(root, "Games"));
    platform::RemoveEmptyDirectory(root);
}

void SaveDialogs(HWND owner) {
    UINT_PTR timer = ::SetTimer(nullptr, 0, 300, &StepTimer);
    {
        CMsgDlg d;
        d.mode = MsgMode::kMessage;
        d.text = "The profile was written to the mouse.";
        g_steps = {Shot("msg_message")};
        d.DoModal(owner);
    }
    {
        CMsgDlg d;
        d.mode = MsgMode::kQuestion;
        d.text = GetText("tc_msg5").empty() ? "Restore the factory settings?" : GetText("tc_msg5");
        const QuestionButtons b = QuestionButtonTexts("tc_reset", "tc_cancel");
        d.okText = b.yes;
        d.cancelText = b.no;
        g_steps = {Shot("msg_question")};
        d.DoModal(owner);
    }
    {
        // The factory reset's progress window, part way.
        CProgressDlg d;
        d.text = GetText("tc_msg12");
        d.textRect = RECT{15, 12, 455, 32};
        d.barRect = RECT{45, 101, 486, 123};
        d.SetRange(0, 100);
        d.SetPos(60);
        g_steps = {Shot("progress")};
        d.DoModal(owner);
    }
    {
        CMsgDlg d;
        d.mode = MsgMode::kTextInput;
        d.text = "Name of the new macro";
        g_steps = {[](HWND w) { ::SetWindowTextW(EditOf(w), L"Rapid reload"); }, Shot("msg_text")};
        d.DoModal(owner);
    }
    {
        CMsgDlg d;
        d.mode = MsgMode::kNumberInput;
        d.text = "DPI value";
        d.range = {100, 26000};
        g_steps = {[](HWND w) { ::SetWindowTextW(EditOf(w), L"50"); }, Shot("msg_number_hint")};
        d.DoModal(owner);
    }
    {
        CMsgDlg d;
        d.mode = MsgMode::kKeyCapture;
        d.modifierCheckBoxes = true;
        d.text = "Press the key combination";
        g_steps = {[](HWND w) {
                       ::PostMessageW(EditOf(w), WM_KEYDOWN, 'R', 0x00130001);
                       ::SendMessageW(::GetDlgItem(w, CMsgDlg::kIdCheckFirst + 1), WM_LBUTTONDOWN,
                                      MK_LBUTTON, MAKELPARAM(2, 2));
                       ::SendMessageW(::GetDlgItem(w, CMsgDlg::kIdCheckFirst + 1), WM_LBUTTONUP, 0,
                                      MAKELPARAM(2, 2));
                   },
                   Shot("msg_capture")};
        d.DoModal(owner);
    }
    {
        // The fire dialog in each language: its labels and boxes below the title band's rule.
        KeyInfo fire;
        fire.dwFunID = 0x080000A4;
        fire.dwParameter = 0x1402;
        const struct {
            const char* folder;
            const char* shot;
        } langs[] = {
            {"German", "fire_dialog_de"}, {"French", "fire_dialog_fr"}, {"English", "fire_dialog"}};
        for (const auto& l : langs) {
            LoadTexts(gVar.szAppDir + l.folder + "\\text.xml");
            CFirekeyDlg d(fire);
            g_steps = {Shot(l.shot)};
            d.DoModal(owner);
        }
    }
    SaveMacroDialogs(owner);
    ::KillTimer(nullptr, timer);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::string exe = platform::GetExecutablePath();
    gVar.szAppDir = exe.substr(0, exe.find_last_of("\\/") + 1);
    g_out = argc > 1 ? platform::win::Narrow(argv[1]) : gVar.szAppDir + "screenshots";
    if (!g_out.empty() && g_out.back() != '\\' && g_out.back() != '/') g_out += '\\';
    ::CreateDirectoryW(platform::win::Widen(g_out).c_str(), nullptr);

    // The colours of the shipped configuration.
    gVar.Txt_clr = gVar.Btn_txt_clr_nr = gVar.Menu_txt_clr_nr = RGB(214, 220, 232);
    gVar.Btn_txt_clr_ov = gVar.Menu_txt_clr_ov = RGB(0, 212, 255);
    gVar.Btn_txt_clr_dn = RGB(255, 122, 144);
    gVar.clrMask = RGB(255, 0, 255);
    gVar.clrDpiMark = RGB(255, 59, 92);
    LoadTexts(gVar.szAppDir + "English\\text.xml");

    Gdiplus::GdiplusStartupInput in;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &in, nullptr);
    LoadMenuImages();
    int rc = 0;
    {
        CGalleryWnd wnd;
        if (!wnd.Build()) {
            std::printf("FAILED: the skins are missing beside the program\n");
            rc = 1;
        } else {
            Pump(500);
            SaveScreen(Union(wnd.m_hWnd, nullptr), "main_window");
            SaveButtonStates(wnd);

            // The profile selector's list open, an item hovered.
            ::SendMessageW(wnd.profile.m_hWnd, WM_LBUTTONUP, 0, 0);
            if (CMenuDlg* m = GetOpenPopup()) {
                const ZvRect r = m->Model().ItemRect(1);
                ::SendMessageW(m->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, r.top + 2));
                Pump(300);
                SaveScreen(Union(wnd.profile.m_hWnd, m->m_hWnd), "combo_open");
            }
            ClosePopup();

            // A function menu with a sub-menu open.
            std::vector<MenuEntry> entries = {
                MakeMenuEntry(kMenuTopLevel, 1, "Left click"),
                MakeMenuEntry(kMenuTopLevel, 2, "Right click"),
                MakeMenuEntry(kMenuTopLevel, 3, "Media keys"),
                MakeMenuEntry(kMenuTopLevel, 4, "DPI"),
                MakeMenuEntry(kMenuTopLevel, 5, "Disable button"),
                MakeMenuEntry(2, 30, "Play / Pause"),
                MakeMenuEntry(2, 31, "Next track"),
                MakeMenuEntry(2, 32, "Volume up"),
                MakeMenuEntry(3, 40, "DPI +"),
                MakeMenuEntry(3, 41, "DPI -"),
            };
            RECT row;
            ::GetWindowRect(wnd.rows[2].m_hWnd, &row);
            OpenPopup(wnd.m_hWnd, static_cast<int>(entries.size()), row.right - row.left - 4,
                      row.left, row.bottom, wnd.theme.menuNormal, wnd.theme.menuHover, 2,
                      entries.data(), &wnd.theme);
            if (CMenuDlg* m = GetOpenPopup()) {
                const ZvRect r = m->Model().ItemRect(2);
                ::SendMessageW(m->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, r.top + 2));
                if (CMenuDlg* sub = m->SubMenu()) {
                    ::SendMessageW(sub->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 3));
                }
                Pump(300);
                SaveScreen(Union(m->m_hWnd, m->SubMenu() ? m->SubMenu()->m_hWnd : nullptr),
                           "menu_submenu");
            }
            ClosePopup();
            SaveDialogs(wnd.m_hWnd);
        }
    }
    FreeMenuImages();
    Gdiplus::GdiplusShutdown(token);
    if (g_failures) rc = 1;
    return rc;
}
