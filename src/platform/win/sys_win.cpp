#include <windows.h>
#include <shlobj.h>

#include "platform/sys.h"
#include "platform/win/wide.h"

namespace platform {

using win::Narrow;
using win::Widen;

uint32_t GetTickCount() {
    return ::GetTickCount();
}

LocalTime GetLocalTime() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    return LocalTime{st.wYear,   st.wMonth,  st.wDay,         st.wHour,
                     st.wMinute, st.wSecond, st.wMilliseconds};
}

void Sleep(uint32_t ms) {
    ::Sleep(ms);
}

std::string GetEnv(const char* name) {
    std::wstring w = Widen(name);
    DWORD n = ::GetEnvironmentVariableW(w.c_str(), nullptr, 0);
    if (n == 0) return {};
    std::wstring buf(n, L'\0');
    n = ::GetEnvironmentVariableW(w.c_str(), buf.data(), n);
    buf.resize(n);
    return Narrow(buf);
}

std::string GetSpecialFolder(SpecialFolder which) {
    wchar_t buf[MAX_PATH] = {};
    int csidl = which == SpecialFolder::Desktop ? CSIDL_DESKTOP : CSIDL_LOCAL_APPDATA;
    if (!::SHGetSpecialFolderPathW(nullptr, buf, csidl, FALSE)) return {};
    return Narrow(buf);
}

std::string GetExecutablePath() {
    wchar_t buf[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameW(nullptr, buf, MAX_PATH);
    return Narrow(std::wstring(buf, n));
}

void DebugOutput(const std::string& text) {
    ::OutputDebugStringW(Widen(text).c_str());
}

uint32_t GetCurrentThreadId() {
    return ::GetCurrentThreadId();
}

namespace {
class MutexInstance : public SingleInstance {
  public:
    explicit MutexInstance(const std::string& name) {
        m_h = ::CreateMutexW(nullptr, FALSE, Widen(name).c_str());
        m_existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    }
    ~MutexInstance() override {
        if (m_h) ::CloseHandle(m_h);
    }
    bool AlreadyExisted() const override { return m_existed; }

  private:
    HANDLE m_h = nullptr;
    bool m_existed = false;
};
}  // namespace

std::unique_ptr<SingleInstance> CreateSingleInstance(const std::string& name) {
    return std::make_unique<MutexInstance>(name);
}

}  // namespace platform
