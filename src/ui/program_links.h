// Programs linked to onboard profiles: while the window runs, the mouse takes the profile of
// the program in front, and the default profile for every other program. The links are the
// user's own file in the data folder (links.ini); the decision when to switch is
// ProfileFollower's. Both work without Win32: the window feeds the follower with the program
// that came to the front, and the command-line tool edits the same file.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CUSBDriver;

// A link's profile: 0 to 3, or the default profile.
constexpr int kLinkDefault = -1;
constexpr int kMaxProgramLinks = 200;
// The longest program name kept (a file name on Windows).
constexpr size_t kMaxProgramName = 255;
constexpr const char* kLinksFileName = "links.ini";

struct ProgramLink {
    std::string program;  // the .exe name, as the user wrote it
    int profile = 0;      // 0 to 3, or kLinkDefault
};

struct ProgramLinks {
    std::vector<ProgramLink> links;  // in the order they were made
    int defaultProfile = 0;          // 0 to 3: for every program without a link

    // The link of `program` (compared without case, as the system compares file names).
    const ProgramLink* Find(const std::string& program) const;
    // Links `program` to `profile`, replacing its link; false when the list is full.
    bool Set(const std::string& program, int profile);
    // false when the program had no link.
    bool Remove(const std::string& program);
    // The profile (0 to 3) the mouse should be on with `program` in front.
    int ProfileFor(const std::string& program) const;
};

// The file name of a program as given by the user or the system: the folder is dropped.
// Nothing when it is no usable .exe name; `why` then says what is wrong with it.
std::optional<std::string> ProgramNameOf(const std::string& given, std::string* why = nullptr);
// "1" to "4" gives 0 to 3, "default" kLinkDefault; nothing for anything else.
std::optional<int> LinkProfileOf(const std::string& word);
// The word of a link's profile: "1" to "4" or "default".
std::string LinkProfileWord(int profile);

// Reads links.ini from `dataDir`. A missing file is no links. Entries that cannot be used
// (a bad name, a profile out of range, more than kMaxProgramLinks) are skipped with a log line;
// `skipped` counts them. A file that cannot be read at all gives no links.
ProgramLinks LoadProgramLinks(const std::string& dataDir, int* skipped = nullptr);
// Writes links.ini atomically. When `keepOld` is set and the file holds entries that were
// skipped when it was read, it is first copied to links.ini.bak, so they are not lost.
bool SaveProgramLinks(const std::string& dataDir, const ProgramLinks& links, bool keepOld,
                      uint32_t* err = nullptr);

// When the program in front decides the profile. It switches only when the profile wanted
// changes and differs from the one the mouse is on, so a focus change that keeps the profile
// (another window of the same program, or between programs that both use the default) sends
// nothing, and a profile the user chose by hand stays until a program with another profile
// comes to the front.
class ProfileFollower {
  public:
    void SetLinks(ProgramLinks links);
    const ProgramLinks& Links() const { return m_links; }
    // Whether the window should listen to the foreground at all: only with a link.
    bool Active() const { return !m_links.links.empty(); }
    // The profile (0 to 3) the mouse is on as far as the window knows: after a read, or a
    // switch of the user's; -1 when not known.
    void SetMouseProfile(int index) { m_mouse = index; }
    // `program` came to the front (its .exe name; empty when it is not known, which changes
    // nothing). The profile to switch to, or -1 for none.
    int OnForeground(const std::string& program);

  private:
    ProgramLinks m_links;
    int m_mouse = -1;
    int m_wanted = -1;  // the profile the last program in front asked for
};

// Has the apply thread switch the mouse to `index` (0 to 3) after the requests placed before
// it, and not while a profile read runs. `done` runs on the apply thread with the outcome
// (true when the mouse took it); nothing is sent without a device.
void QueueProfileSwitch(CUSBDriver& usb, int index, std::function<void(bool)> done = nullptr);

// The linked-programs window without the window: row 0 is the default profile ("other
// programs"), the links follow in their order. Nothing is saved until the window's OK.
class LinksEditor {
  public:
    explicit LinksEditor(ProgramLinks links) : m_links(std::move(links)) {}
    const ProgramLinks& Links() const { return m_links; }

    int Rows() const { return 1 + static_cast<int>(m_links.links.size()); }
    // The row's program (row 0: tc_links_default) and its profile as shown.
    std::string RowProgram(int row) const;
    std::string RowProfile(int row) const;
    int Selected() const { return m_selected; }
    void Select(int row);
    // The profiles a row can be given: 0 to 3, and for a link also kLinkDefault.
    std::vector<int> Choices(int row) const;
    std::string ChoiceText(int profile) const;
    void SetProfile(int row, int profile);
    // Adds a program (a name as the user typed it, or a running program's) and selects it; a
    // new link gets a profile other than the default (profile 1, or profile 2 when the default
    // is 1), so that it changes something. "" when added, else the text key saying why not.
    std::string Add(const std::string& given);
    // Removes the selected link; false when no link is selected.
    bool RemoveSelected();

  private:
    ProgramLinks m_links;
    int m_selected = -1;
};

// The running programs offered for a new link: sorted, each once, without those already linked;
// at most kMaxRunningChoices.
constexpr size_t kMaxRunningChoices = 40;
std::vector<std::string> RunningProgramChoices(std::vector<std::string> names,
                                               const ProgramLinks& links);
