// The macro folder walk over hostile names and paths: any tree of files and folders (names with
// control characters, invalid UTF-8, dots, names that differ only in case, leftovers of saves,
// files that are not macros) must load without crashing, reading out of bounds or leaving the
// folder, and the library it gives must tell its macros apart.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "app/gvar.h"
#include "fuzz/fuzz_setup.h"
#include "base/log.h"
#include "macro/macro_file.h"
#include "macro/macro_library.h"
#include "macro/macro_list.h"
#include "platform/codepage.h"
#include "platform/fs.h"
#include "platform/window.h"

namespace {

void RemoveTree(const std::string& path) {
    std::vector<platform::DirEntry> entries;
    if (platform::ListDirectory(path, entries))
        for (const platform::DirEntry& e : entries) {
            if (e.name == "." || e.name == "..") continue;
            const std::string p = platform::JoinPath(path, e.name);
            if (e.isDirectory)
                RemoveTree(p);
            else
                platform::RemoveFile(p);
        }
    platform::RemoveEmptyDirectory(path);
}

// A path below the macro folder made of the line's parts, never one that climbs out of it.
std::string SafeRelative(const std::string& line) {
    std::string out, part;
    int depth = 0;
    auto flush = [&] {
        if (!part.empty() && part != "." && part != ".." && depth < 3 && part.size() < 120) {
            out += (out.empty() ? "" : "/") + part;
            ++depth;
        }
        part.clear();
    };
    for (char c : line) {
        if (c == '/' || c == '\\')
            flush();
        else
            part += c;
    }
    flush();
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string dataDir = [] {
        zvfuzz::StartQuietly(false);
        gVar.szAppDataDir = zvfuzz::WorkFolder("zv_fuzz_macros_");
        return gVar.szAppDataDir;
    }();
    if (size == 0) return 0;
    const std::string root = dataDir + "Mac";
    RemoveTree(root);
    platform::MakeDirectory(root);
    gVar.MacroDir = data[0] & 1;

    // One entry a line: its first byte says what it is, the rest is its path and the name of
    // the macro it holds.
    std::string line;
    int made = 0;
    auto make = [&] {
        if (line.size() < 2 || made >= 24) return;
        const uint8_t kind = static_cast<uint8_t>(line[0]);
        const std::string rel = SafeRelative(line.substr(1));
        line.clear();
        if (rel.empty()) return;
        ++made;
        const std::string path = platform::JoinPath(root, rel);
        MakeSureFolderExist(path);
        switch (kind % 4) {
            case 0:
                platform::MakeDirectory(path);
                break;
            case 1: {  // a macro named after the file, with an id from the kind byte
                StMacro m = NewMacroRecord("", 0x10000u + (kind >> 2));
                SetMacroName(m, platform::Utf8ToUtf16(platform::FileNameOf(rel)));
                m.events[0] = MacroEvent{0x41, kMacroEventDown, 30};
                m.events[1] = MacroEvent{0x41, 0, 0};
                WriteMacroFile(m, path);
                break;
            }
            case 2:  // a leftover of a save, or anything else with macro bytes
                platform::WriteFileAtomic(path + ".tmp" + std::to_string(kind), "x", 1);
                break;
            default:
                platform::WriteFileAtomic(path, rel.data(), rel.size());
                break;
        }
    };
    for (size_t i = 1; i < size; ++i) {
        if (data[i] == '\n')
            make();
        else
            line += static_cast<char>(data[i]);
    }
    make();

    g_MacroList.Clear();
    LoadMacroLibrary(g_MacroList);
    std::set<MacroId> ids;
    for (const StMacro& m : g_MacroList.Snapshot())
        if (!ids.insert(m.id).second) std::abort();
    return 0;
}
