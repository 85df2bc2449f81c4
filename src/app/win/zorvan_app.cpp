#include "app/win/zorvan_app.h"

#include <commctrl.h>
#include <gdiplus.h>

#include "app/config.h"
#include "app/gvar.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "app/startup.h"
#include "platform/fs.h"
#include "platform/win/wide.h"
#include "platform/window.h"
#include "sim/virtual_receiver.h"
#include "ui/win/main_dlg.h"
#include "ui/win/notice_box.h"

using platform::win::Widen;

namespace {
constexpr uint32_t kFolderLockWaitMs = 10000;
}  // namespace

int CZorvanApp::GetOsVersionCode() {
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(&vi)) return 0;
#pragma GCC diagnostic pop
    return OsVersionCode(vi.dwPlatformId == VER_PLATFORM_WIN32_NT, vi.dwMajorVersion,
                         vi.dwMinorVersion);
}

HFONT CZorvanApp::CreateDialogFont() {
    bool big = gVar.b4K == 1;
    return ::CreateFontW(big ? 26 : 16, 0, 0, 0, big ? 500 : 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                         FF_SWISS, L"MS Shell Dlg");
}

BOOL CZorvanApp::InitInstance() {
    INITCOMMONCONTROLSEX icc{8, 0xFF};
    ::InitCommonControlsEx(&icc);

    Gdiplus::GdiplusStartupInput gsi;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &gsi, nullptr);

    const std::string appDir = platform::DirectoryOf(platform::GetExecutablePath());
    // Without its data (started from inside a zip, say) one clear message instead of the
    // generic errors that each missing file would give further on.
    const std::string missing = MissingDataFile(appDir);
    if (!missing.empty()) {
        platform::ShowMessageBox(MissingDataMessage(missing), "Zorvan", platform::kMbIconError);
        return FALSE;
    }

    bFontLoaded = 0;
    StartupPlan plan;
    plan.appDir = appDir;
    // A command of the command-line tool holds the lock for a few seconds at most.
    plan.lockWaitMs = kFolderLockWaitMs;
    plan.tell = NoticeBoxes();
    plan.afterTitle = [this] {
        LogLaunchLines();
        bStartedWithArgs = LogArguments(m_nArgs) ? 1 : 0;
    };
    // A second start hands over to the window that runs, before it waits for the lock.
    plan.beforeLock = [this](std::string*) {
        m_instance = platform::CreateSingleInstance(kSingleInstanceName);
        if (!m_instance->AlreadyExisted()) return true;
        platform::WindowHandle wnd = platform::FindWindowByTitle(gVar.szTitle);
        if (wnd) platform::PostWindowMessage(wnd, kWmTrayNotify, 0, kWmLButtonUp);
        LogPrintf("ALREADY_EXISTS, hWnd=%x", static_cast<unsigned>(wnd));
        return false;
    };
    // ZORVAN_SIM puts the virtual receiver in place of the real HID devices; it needs the
    // receiver ids of the catalogue.
    plan.virtualMouse = [this](std::string*) {
        m_virtualReceiver = sim::UseVirtualReceiverIfRequested(
            gVar.szAppDir + "cfg.ini", static_cast<uint32_t>(gVar.VID), gVar.PID[0]);
        return true;
    };
    StartupOutcome started = StartUp(plan);
    m_folderLock = std::move(started.folderLock);
    if (started.stop == StartupStop::kCatalogue) {
        platform::ShowMessageBox("     Data Init failed.     ", "Error", platform::kMbOk);
        return FALSE;
    }
    if (started.stop != StartupStop::kNone) return FALSE;
    const platform::FolderLockResult lock = started.lock;
    if (lock != platform::FolderLockResult::kTaken)
        LogPrintf("data folder %s not locked (%s, error %u)", gVar.szAppDataDir.c_str(),
                  lock == platform::FolderLockResult::kBusy       ? "busy"
                  : lock == platform::FolderLockResult::kNotAFile ? "lock file is no plain file"
                                                                  : "no lock file",
                  started.lockErr);

    if (GetOsVersionCode() >= 5) {
        if (HMODULE user = ::LoadLibraryW(L"User32.dll")) {
            using Fn = BOOL(WINAPI*)();
            auto fn = reinterpret_cast<Fn>(
                reinterpret_cast<void*>(::GetProcAddress(user, "SetProcessDPIAware")));
            if (fn) fn();
            ::FreeLibrary(user);
        }
    }

    std::string fontFile = gVar.szAppDir + "appfont.ttf";
    if (!gVar.FontName.empty() && platform::FileExists(fontFile)) {
        // The face becomes usable once the resource is added below.
        m_appFont.Reset(::CreateFontW(gVar.FontSize, 0, 0, 0, 90, 0, 0, 0, DEFAULT_CHARSET, 0,
                                      CLIP_STROKE_PRECIS, 0, 0, Widen(gVar.FontName).c_str()));
        gVar.hAppFont = reinterpret_cast<uintptr_t>(m_appFont.get());
        if (m_appFont) ::AddFontResourceW(Widen(fontFile).c_str());
    }

    bFontLoaded = 1;
    std::string simState = platform::GetEnv("ZORVAN_SIM");
    if (!m_virtualReceiver || simState == "1") simState.clear();
    RunMainWindow(bStartedWithArgs != 0, m_virtualReceiver, simState);
    return FALSE;
}

int CZorvanApp::ExitInstance() {
    if (m_gdiplusToken) Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_gdiplusToken = 0;
    m_folderLock.reset();
    m_instance.reset();
    LogPrintf("Driver exit");
    if (bFontLoaded == 1 && !gVar.FontName.empty())
        ::RemoveFontResourceW(Widen(gVar.szAppDir + "appfont.ttf").c_str());
    // The windows are gone: nobody borrows the font any more (m_appFont deletes it).
    gVar.hAppFont = 0;
    return 0;
}

void RunMainWindow(bool startHidden, std::shared_ptr<sim::VirtualReceiver> rx,
                   const std::string& simState) {
    CZorvanDlg dlg(startHidden, std::move(rx), simState);
    dlg.DoModal(nullptr);
}

int CZorvanApp::Run(HINSTANCE instance, int nArgs) {
    m_hInstance = instance;
    m_nArgs = nArgs;
    InitInstance();
    return ExitInstance();
}
