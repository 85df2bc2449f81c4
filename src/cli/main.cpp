// The zorvan command-line tool.
#include <string>
#include <vector>

#include "cli/cli_app.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

#include "platform/codepage.h"

// The arguments as UTF-8 whatever the console's code page, so that file names keep every
// character.
int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 1; argv && i < argc; ++i)
        args.push_back(platform::Utf16ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
    if (argv) LocalFree(argv);
    SetConsoleOutputCP(CP_UTF8);
    return cli::Run(args);
}
#else
int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return cli::Run(args);
}
#endif
