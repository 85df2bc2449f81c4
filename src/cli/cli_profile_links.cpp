#include "cli/cli_profile_links.h"

#include <cstdio>

#include "cli/cli_app.h"
#include "platform/fs.h"
#include "ui/program_links.h"

namespace cli {

namespace {

int Refuse(const std::string& why, int code) {
    std::fprintf(stderr, "zorvan: %s\n", why.c_str());
    if (code == kExitUsage) std::fputs(CommandUsage("profile").c_str(), stderr);
    return code;
}

std::string Json(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

int Save(const std::string& dataDir, const ProgramLinks& links) {
    uint32_t err = 0;
    if (SaveProgramLinks(dataDir, links, true, &err)) return kExitDone;
    return Refuse("the links cannot be saved in " + platform::JoinPath(dataDir, kLinksFileName) +
                      ": " + platform::ErrorText(err),
                  kExitFailed);
}

}  // namespace

bool IsProfileLinksCommand(const std::string& word) {
    return word == "link" || word == "unlink" || word == "links";
}

int RunProfileLinksCommand(const std::vector<std::string>& w, const std::string& dataDir,
                           bool json) {
    const std::string& what = w[1];
    ProgramLinks links = LoadProgramLinks(dataDir);
    if (what == "links") {
        if (w.size() > 2) return Refuse("too many words: " + w[2], kExitUsage);
        if (json) {
            std::string o =
                "{\"default\":" + std::to_string(links.defaultProfile + 1) + ",\"links\":[";
            for (size_t i = 0; i < links.links.size(); ++i) {
                const ProgramLink& l = links.links[i];
                o += (i ? "," : "") + std::string("{\"program\":") + Json(l.program) +
                     ",\"profile\":" +
                     (l.profile == kLinkDefault ? Json("default") : LinkProfileWord(l.profile)) +
                     "}";
            }
            std::printf("%s]}\n", o.c_str());
            return kExitDone;
        }
        std::printf("default: profile %d\n", links.defaultProfile + 1);
        for (const ProgramLink& l : links.links)
            std::printf("%s: %s\n", l.program.c_str(),
                        l.profile == kLinkDefault
                            ? "default"
                            : ("profile " + LinkProfileWord(l.profile)).c_str());
        if (links.links.empty())
            std::printf("no program is linked: the profile does not follow the program in front\n");
        return kExitDone;
    }
    if (w.size() < 3) return Refuse("missing program", kExitUsage);
    const size_t words = what == "link" ? 4 : 3;
    if (w.size() < words) return Refuse("missing profile (1-4 or default)", kExitUsage);
    if (w.size() > words) return Refuse("too many words: " + w[words], kExitUsage);
    if (what == "link" && w[2] == "default") {
        // "link default <1-4>": the profile of every program without a link of its own.
        const std::optional<int> p = LinkProfileOf(w[3]);
        if (!p || *p == kLinkDefault)
            return Refuse("the default profile must be 1 to 4: " + w[3], kExitUsage);
        links.defaultProfile = *p;
        return Save(dataDir, links);
    }
    std::string why;
    const std::optional<std::string> program = ProgramNameOf(w[2], &why);
    if (!program) return Refuse(why + ": " + w[2], kExitUsage);
    if (what == "unlink") {
        if (!links.Remove(*program)) return Refuse(*program + " is not linked", kExitFailed);
        return Save(dataDir, links);
    }
    const std::optional<int> p = LinkProfileOf(w[3]);
    if (!p) return Refuse("the profile must be 1 to 4 or default: " + w[3], kExitUsage);
    if (!links.Set(*program, *p))
        return Refuse(
            "no more than " + std::to_string(kMaxProgramLinks) + " programs can be linked",
            kExitFailed);
    return Save(dataDir, links);
}

}  // namespace cli
