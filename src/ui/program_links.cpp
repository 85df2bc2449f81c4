#include "ui/program_links.h"

#include <algorithm>
#include <mutex>
#include <string_view>

#include "base/ini_file.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "platform/fs.h"
#include "profile/apply_thread.h"
#include "ui/device_session.h"
#include "ui/profiles_model.h"

namespace {

constexpr const char* kSectionOpt = "OPT";
constexpr const char* kSectionPrograms = "Programs";
constexpr uint64_t kMaxLinksFileBytes = 256 * 1024;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

}  // namespace

const ProgramLink* ProgramLinks::Find(const std::string& program) const {
    for (const ProgramLink& l : links)
        if (SameName(l.program, program)) return &l;
    return nullptr;
}

bool ProgramLinks::Set(const std::string& program, int profile) {
    for (ProgramLink& l : links)
        if (SameName(l.program, program)) {
            l.profile = profile;
            return true;
        }
    if (links.size() >= static_cast<size_t>(kMaxProgramLinks)) return false;
    links.push_back({program, profile});
    return true;
}

bool ProgramLinks::Remove(const std::string& program) {
    for (auto it = links.begin(); it != links.end(); ++it)
        if (SameName(it->program, program)) {
            links.erase(it);
            return true;
        }
    return false;
}

int ProgramLinks::ProfileFor(const std::string& program) const {
    const ProgramLink* l = Find(program);
    return l && l->profile != kLinkDefault ? l->profile : defaultProfile;
}

std::optional<std::string> ProgramNameOf(const std::string& given, std::string* why) {
    auto refuse = [why](const char* w) -> std::optional<std::string> {
        if (why) *why = w;
        return std::nullopt;
    };
    // A full path (from the system, or pasted by the user) names the same program.
    const size_t slash = given.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? given : given.substr(slash + 1);
    if (name.size() > kMaxProgramName) return refuse("the program's name is too long");
    if (name.size() < 5 || !SameName(name.substr(name.size() - 4), ".exe"))
        return refuse("give the program's file name, ending in .exe");
    for (char c : name) {
        // What a file name cannot hold, and what the links file would read differently.
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view(":*?\"<>|=").find(c) != std::string_view::npos)
            return refuse("the program's name holds a character no file name has");
    }
    if (name[0] == ' ' || name[0] == ';' || name[0] == '[')
        return refuse("the program's name cannot start with a space, ';' or '['");
    return name;
}

std::optional<int> LinkProfileOf(const std::string& word) {
    if (word.size() == 1 && word[0] >= '1' && word[0] <= '4') return word[0] - '1';
    if (SameName(word, "default")) return kLinkDefault;
    return std::nullopt;
}

std::string LinkProfileWord(int profile) {
    return profile == kLinkDefault ? "default" : std::to_string(profile + 1);
}

ProgramLinks LoadProgramLinks(const std::string& dataDir, int* skipped) {
    ProgramLinks out;
    int bad = 0;
    const std::string path = platform::JoinPath(dataDir, kLinksFileName);
    std::vector<uint8_t> bytes;
    uint32_t err = 0;
    if (!platform::ReadFile(path, bytes, &err, kMaxLinksFileBytes)) {
        if (err != platform::kErrFileNotFound && err != platform::kErrPathNotFound) {
            LogPrintf("%s cannot be read (error %u): no program links", path.c_str(), err);
            bad = 1;
        }
        if (skipped) *skipped = bad;
        return out;
    }
    const IniFile ini = IniFile::FromBytes(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    const std::string def = ini.GetString(kSectionOpt, "Default", "1", 16);
    const std::optional<int> d = LinkProfileOf(def);
    if (d && *d != kLinkDefault) {
        out.defaultProfile = *d;
    } else {
        LogPrintf("%s: default profile \"%s\" is not 1 to 4; 1 is used", path.c_str(), def.c_str());
        ++bad;
    }
    for (const std::string& key : ini.KeyNames(kSectionPrograms)) {
        std::string why;
        const std::optional<std::string> name = ProgramNameOf(key, &why);
        const std::string value = ini.GetString(kSectionPrograms, key, "", 16);
        const std::optional<int> p = LinkProfileOf(value);
        if (!name || *name != key) {
            LogPrintf("%s: link of \"%.80s\" skipped: %s", path.c_str(), key.c_str(),
                      why.empty() ? "not a file name" : why.c_str());
        } else if (!p) {
            LogPrintf("%s: link of %s skipped: profile \"%s\" is not 1 to 4 or default",
                      path.c_str(), key.c_str(), value.c_str());
        } else if (out.Find(*name)) {
            LogPrintf("%s: second link of %s skipped", path.c_str(), key.c_str());
        } else if (!out.Set(*name, *p)) {
            LogPrintf("%s: more than %d links; %s and the rest skipped", path.c_str(),
                      kMaxProgramLinks, key.c_str());
        } else {
            continue;
        }
        ++bad;
    }
    if (skipped) *skipped = bad;
    return out;
}

bool SaveProgramLinks(const std::string& dataDir, const ProgramLinks& links, bool keepOld,
                      uint32_t* err) {
    const std::string path = platform::JoinPath(dataDir, kLinksFileName);
    if (keepOld && platform::FileExists(path)) {
        int skipped = 0;
        LoadProgramLinks(dataDir, &skipped);
        if (skipped > 0) {
            uint32_t copyErr = 0;
            if (!platform::CopyFileTo(path, path + ".bak", false, &copyErr)) {
                LogPrintf("%s cannot be kept as %s.bak (error %u); not overwritten", path.c_str(),
                          kLinksFileName, copyErr);
                if (err) *err = copyErr;
                return false;
            }
            LogPrintf("%s kept as %s.bak: it held links that could not be read", path.c_str(),
                      kLinksFileName);
        }
    }
    IniFile ini;
    ini.SetString(kSectionOpt, "Default", LinkProfileWord(links.defaultProfile));
    for (const ProgramLink& l : links.links)
        ini.SetString(kSectionPrograms, l.program, LinkProfileWord(l.profile));
    const std::string text = ini.Serialize();
    return platform::WriteFileAtomic(path, text.data(), text.size(), err);
}

void ProfileFollower::SetLinks(ProgramLinks links) {
    m_links = std::move(links);
    // The next program in front decides anew.
    m_wanted = -1;
}

int ProfileFollower::OnForeground(const std::string& program) {
    if (!Active() || program.empty()) return -1;
    const int wanted = m_links.ProfileFor(program);
    if (wanted == m_wanted) return -1;
    m_wanted = wanted;
    if (wanted == m_mouse) return -1;
    m_mouse = wanted;
    return wanted;
}

void QueueProfileSwitch(CUSBDriver& usb, int index, std::function<void(bool)> done) {
    RequestApplyTask([&usb, index, done = std::move(done)] {
        bool ok = false;
        {
            // A switch in the middle of a read would mix two profiles in one record.
            std::lock_guard<std::mutex> lock(ConfigReadLock());
            if (usb.CmdHandle()) ok = SwitchProfile(usb, index) == 1;
        }
        LogPrintf("Profile follows the program in front: %d %s", index + 1,
                  ok ? "taken" : "not taken");
        if (done) done(ok);
    });
}

std::string LinksEditor::RowProgram(int row) const {
    if (row == 0) return GetText("tc_links_default");
    if (row < 1 || row >= Rows()) return "";
    return m_links.links[static_cast<size_t>(row - 1)].program;
}

std::string LinksEditor::RowProfile(int row) const {
    if (row == 0) return ChoiceText(m_links.defaultProfile);
    if (row < 1 || row >= Rows()) return "";
    return ChoiceText(m_links.links[static_cast<size_t>(row - 1)].profile);
}

std::string LinksEditor::ChoiceText(int profile) const {
    return profile == kLinkDefault ? GetText("tc_links_as_default")
                                   : GetText("tc_msg35") + " " + std::to_string(profile + 1);
}

void LinksEditor::Select(int row) {
    m_selected = row >= 0 && row < Rows() ? row : -1;
}

std::vector<int> LinksEditor::Choices(int row) const {
    if (row < 0 || row >= Rows()) return {};
    std::vector<int> out = {0, 1, 2, 3};
    if (row > 0) out.push_back(kLinkDefault);
    return out;
}

void LinksEditor::SetProfile(int row, int profile) {
    const std::vector<int> c = Choices(row);
    if (std::find(c.begin(), c.end(), profile) == c.end()) return;
    if (row == 0)
        m_links.defaultProfile = profile;
    else
        m_links.links[static_cast<size_t>(row - 1)].profile = profile;
}

std::string LinksEditor::Add(const std::string& given) {
    const std::optional<std::string> name = ProgramNameOf(given);
    if (!name) return "tc_links_bad";
    if (!m_links.Find(*name)) {
        // A link to the profile everything else gets would change nothing.
        if (!m_links.Set(*name, m_links.defaultProfile == 0 ? 1 : 0)) return "tc_links_full";
    }
    for (int row = 1; row < Rows(); ++row)
        if (SameName(RowProgram(row), *name)) m_selected = row;
    return "";
}

bool LinksEditor::RemoveSelected() {
    if (m_selected < 1 || m_selected >= Rows()) return false;
    m_links.links.erase(m_links.links.begin() + (m_selected - 1));
    m_selected = std::min(m_selected, Rows() - 1);
    if (m_selected < 1) m_selected = -1;
    return true;
}

std::vector<std::string> RunningProgramChoices(std::vector<std::string> names,
                                               const ProgramLinks& links) {
    std::vector<std::string> out;
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        for (size_t i = 0; i < a.size() && i < b.size(); ++i)
            if (Lower(a[i]) != Lower(b[i])) return Lower(a[i]) < Lower(b[i]);
        return a.size() < b.size();
    });
    for (const std::string& n : names) {
        if (n.empty() || links.Find(n)) continue;
        if (!out.empty() && SameName(out.back(), n)) continue;
        if (out.size() == kMaxRunningChoices) break;
        out.push_back(n);
    }
    return out;
}
