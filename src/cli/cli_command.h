// What the zorvan commands share: the words they read, the lines they print, and the App that
// runs one command against the mouse. Each command's functions live in a file of their own.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/options.h"
#include "base/app_paths.h"
#include "base/json_text.h"
#include "base/notice.h"
#include "cli/cli_app.h"
#include "cli/cli_command_table.h"
#include "macro/macro_list.h"
#include "macro/st_macro.h"
#include "platform/folder_lock.h"
#include "profile/catalogue_state.h"
#include "profile/key_function.h"
#include "profile/profile_file.h"
#include "profile/profile_state.h"
#include "profile/sensor_table.h"
#include "sim/virtual_receiver.h"
#include "ui/device_session.h"
#include "ui/page_change.h"

namespace cli {

constexpr uint32_t kFindMs = 4000;      // discovery until a mouse is accepted
constexpr uint32_t kReadMs = 60000;     // one profile read, with room for a slow link
constexpr uint32_t kApplyMs = 120000;   // everything placed with the apply thread
constexpr uint32_t kBusyWaitMs = 3000;  // for another command on the same data folder

using Words = std::vector<std::string>;

struct UsageError {
    UsageError(std::string w, std::string n = {}) : why(std::move(w)), near(std::move(n)) {}
    std::string why;
    std::string near;  // a word the user may have meant
};

// An unknown word among `choices`: the reason, with the nearest choice when one is close.
UsageError Unknown(const std::string& what, const std::string& word,
                   const std::vector<std::string>& choices);
// No macro of the library has this name: the reason, with the nearest name when one is close.
UsageError NoMacroNamed(const std::string& name, const MacroList& macros);
// A line on standard error, its control characters shown.
void Err(const std::string& line);
// What the core tells, as a line on standard error: without the padding that centres it in a
// box, and with its caption in front unless the caption only says "Error" or the title.
void ErrNotice(const Notice& n);
// A file the command is to read: the reason it cannot be, in the user's words; "" when it can.
std::string UnreadableFile(const std::string& path);
bool IsTerminal(FILE* f);
bool StdinIsTerminal();
std::string JsonString(const std::string& s);
// The command's words: the i-th as a number, a word or a switch; a UsageError when it is
// missing or not what is asked for.
int64_t Number(const Words& w, size_t i, int64_t lo, int64_t hi, const char* what);
const std::string& Word(const Words& w, size_t i, const char* what);
void NoMoreWords(const Words& w, size_t n);
int32_t OnOff(const Words& w, size_t i, const char* what);
// The folder of the shipped cfg.ini and texts.
std::string ShippedDataDir();
// The system's own catalogue, "" when there is none.
std::string SystemCfgPath();

// The session's messages are lines on standard error. A question is asked only of a person at a
// terminal; in a script the command itself is the user's yes.
class CliUi : public SessionUi {
  public:
    explicit CliUi(bool yes) : m_yes(yes) {}
    void ShowText(const std::string& text) override { Err(text); }
    void Tell(const Notice& n, platform::WindowHandle) override { ErrNotice(n); }
    bool Confirm(const std::string& text) override {
        if (m_yes || !StdinIsTerminal()) return true;
        std::fprintf(stderr, "%s [y/N] ", text.c_str());
        std::fflush(stderr);
        char line[16] = {};
        const bool yes = std::fgets(line, sizeof line, stdin) && (line[0] == 'y' || line[0] == 'Y');
        if (!yes) m_declined = true;
        return yes;
    }
    bool ShowsProgress() const override { return false; }
    // The person at the terminal answered no.
    bool Declined() const { return m_declined; }

  private:
    bool m_yes;
    bool m_declined = false;
};

constexpr uint32_t kCustomFunction = 0x080000AD;  // its parameter is the key-matrix code

// One lighting zone as show prints it.
std::string LightingText(const ProfileFile& p, uint32_t zone);

// The parts of the program's state the commands work on, handed in by Run: the profiles in
// memory, the catalogue, the options and the folders, all filled in by the start-up, and the
// macro library.
struct AppState {
    ProfileMonitor& profile;
    const CatalogueState& catalogue;
    const AppOptions& options;
    const AppPaths& paths;
    MacroList& macros;
};

class App {
  public:
    App(Options o, const AppState& state)
        : m_opt(std::move(o)),
          m_profile(state.profile),
          m_catalogue(state.catalogue),
          m_options(state.options),
          m_paths(state.paths),
          m_macros(state.macros),
          m_ui(m_opt.yes),
          m_session(m_ui, {state.profile, state.catalogue, state.options, state.macros}) {}
    ~App() { m_session.Shutdown(); }

    int Run();

    // The commands, as the command table names them; each gets every word of the command
    // line, the command's own name first.
    int List(const Words& w);
    int Info(const Words& w);
    int Show(const Words& w);
    int RateSetting(const Words& w);
    int DpiSetting(const Words& w);
    int DpiLevelSetting(const Words& w);  // dpi-count, dpi-level and dpi-color
    int LodSetting(const Words& w);
    int SwitchSetting(const Words& w);  // ripple, angle-snap, motion-sync
    int SensorModeSetting(const Words& w);
    int DebounceSetting(const Words& w);
    int SleepSetting(const Words& w);
    int AutoSleepSetting(const Words& w);
    int LightOffMovingSetting(const Words& w);
    int LightSetting(const Words& w);
    int Button(const Words& w);
    int ProfileSwitch(const Words& w);
    int ProfileTransfer(const Words& w);  // export and import
    int ProfileLinks(const Words& w);
    int ProfileApply(const Words& w);  // <file.json|->
    int Reset(const Words& w);
    int MacroList(const Words& w);
    int MacroShow(const Words& w);
    int NewMacro(const Words& w);
    int MacroImport(const Words& w);
    int MacroExport(const Words& w);
    int MacroDelete(const Words& w);
    int Eeprom(const Words& w);  // read and write

  private:
    int Prepare();
    bool StartVirtualMouse(const std::string& cfg, std::string* why);
    int Discover();
    int ReadProfile();
    int Connect(bool readProfile);
    // For a change whose record stands alone: the device without reading the whole profile.
    int ConnectForRecord();
    int Finish(int code);
    using Edit = std::function<PageChange(ProfileFile&, int32_t&)>;
    using Describe = std::function<std::string(const ProfileFile&, int32_t)>;
    // Changes the current profile through a page model and has the apply thread write it. The
    // command is the user's own "apply now", so the request is placed whatever ApplyNow says.
    // `said` tells what was stored (printed once the mouse took it); `unchanged` is shown when
    // the model changed nothing.
    int Change(const Edit& edit, const Describe& said,
               const std::string& unchanged = "the mouse does not take this value");
    int WaitWrites();
    // After a write that failed: reads the mouse's profile again so that the cache and the
    // message follow what it really holds. kExitDone when it holds the change after all.
    int ReadBackAfterFailure();
    void DropCache();
    void KeepBefore();
    // Why a profile read failed when the mouse's memory says so, with the way back; "" else.
    std::string DamageHint();
    // The onboard profile in use, 1 to 4; 0 when none is read.
    int CurrentProfileNumber();
    bool RefreshLighting(uint32_t zone);
    // A command that reads standard input reads it before the data folder is locked.
    void ReadInputFirst();
    // What the change stored, as JSON (--json): where the profile now differs from before.
    std::string StoredJson();

    void ShowMacro(const StMacro& m) const;
    // The sensor of the mouse in use; 0 before one is.
    uint32_t SensorId() const;

    // Declared first so that it is let go last, after everything has been saved.
    std::unique_ptr<platform::FolderLock> m_folderLock;
    Options m_opt;
    ProfileMonitor& m_profile;
    const CatalogueState& m_catalogue;
    const AppOptions& m_options;
    const AppPaths& m_paths;
    ::MacroList& m_macros;
    std::string m_cfgPath;
    CliUi m_ui;
    DeviceSession m_session;
    std::shared_ptr<sim::VirtualReceiver> m_sim;
    int m_slot = -1;
    bool m_profileRead = false;
    bool m_oneRecord = false;     // taken over without reading the profile
    bool m_recordCached = false;  // and the record written came from the cache
    std::string m_stored;         // what the change stored, for standard output
    uint64_t m_failedBefore = 0;
    bool m_readBack = false;              // the mouse was read again after a failed write
    std::optional<ProfileFile> m_before;  // the current profile before the command changed it
    int32_t m_beforeLevel = 0;            // and its current DPI level and number
    int m_beforeNumber = 0;
    std::optional<JsonValue> m_storedJson;  // what --json prints after a change of no profile
    std::string m_input, m_inputError;      // standard input, for a command that reads it
    uint64_t m_macroGeneration = 0;
};

}  // namespace cli
