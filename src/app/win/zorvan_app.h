// The application object: start-up, the modal run of the main window, and shutdown.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "controls/win/gdi_handle.h"
#include "platform/folder_lock.h"
#include "platform/sys.h"

namespace sim {
class VirtualReceiver;
}

class CZorvanApp {
  public:
    // Runs the whole program; returns the process exit code.
    int Run(HINSTANCE instance, int nArgs);

    BOOL InitInstance();
    int ExitInstance();
    static int GetOsVersionCode();
    // The default dialog font for windows without the application font.
    static HFONT CreateDialogFont();

  private:
    HINSTANCE m_hInstance = nullptr;
    int m_nArgs = 0;
    ULONG_PTR m_gdiplusToken = 0;
    std::unique_ptr<platform::SingleInstance> m_instance;
    // The data folder's writer lock, held for the window's life, so a command-line change on
    // the same folder waits or says it is busy instead of losing the window's saves or its own.
    std::unique_ptr<platform::FolderLock> m_folderLock;
    std::shared_ptr<sim::VirtualReceiver> m_virtualReceiver;  // kept alive while the program runs
    // The application font, when cfg.ini names one and its file is there. The windows borrow it
    // through the theme (gVar.hAppFont) while they run; it is deleted with the application
    // object, after every window has gone.
    FontHandle m_appFont;
    int32_t bFontLoaded = 0;
    int32_t bStartedWithArgs = 0;
};

// The main window's modal run. `rx` and `simState`: the virtual receiver in use (or null) and
// the file its mouse is kept in (empty when none).
void RunMainWindow(bool startHidden, std::shared_ptr<sim::VirtualReceiver> rx,
                   const std::string& simState);
