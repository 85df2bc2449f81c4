#include <windows.h>
#include <shellapi.h>

#include "app/win/zorvan_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int nArgs = 0;
    if (LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &nArgs)) ::LocalFree(argv);
    CZorvanApp app;
    return app.Run(instance, nArgs);
}
