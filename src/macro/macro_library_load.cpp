#include "macro/macro_library_load.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "base/app_paths.h"
#include "base/log.h"
#include "macro/macro_file.h"
#include "macro/macro_options.h"
#include "macro/macro_store.h"
#include "platform/fs.h"

namespace {

struct LoadState {
    std::mutex mu;
    std::condition_variable cv;
    bool loading = false;
    std::thread worker;
};

LoadState& S() {
    static LoadState s;
    return s;
}

void Walk(MacroList& list, MacroLibraryLoadArgs& args) {
    if (args.beforeWalk) args.beforeWalk();
    LoadedMacroLibrary out;
    out.tree = std::make_unique<MacroTree>();
    // Saves of the cache and mac.dct that never finished leave their temporary files here.
    platform::RemoveStaleTempFiles(ThePaths().szAppDataDir);
    const std::string root = MacroRootFolder();
    if (platform::DirectoryExists(root)) {
        // One walk fills the list and the page's tree: each file is read once.
        out.ok = LoadMacroFolder(root, out.tree.get(), kMacroTreeRoot,
                                 TheMacroOptions().MacroDir == 1, true, list);
    }
    LogPrintf("macro library loaded: %u macros", static_cast<unsigned>(list.Count()));
    if (args.loaded) args.loaded(std::move(out));
}

}  // namespace

void StartMacroLibraryLoad(MacroList& list, MacroLibraryLoadArgs args) {
    JoinMacroLibraryLoad();
    LoadState& s = S();
    std::lock_guard<std::mutex> lock(s.mu);
    s.loading = true;
    s.worker = std::thread([&list, args = std::move(args)]() mutable {
        Walk(list, args);
        LoadState& st = S();
        {
            std::lock_guard<std::mutex> l(st.mu);
            st.loading = false;
        }
        st.cv.notify_all();
    });
}

void WaitMacroLibraryLoaded() {
    LoadState& s = S();
    std::unique_lock<std::mutex> lock(s.mu);
    s.cv.wait(lock, [&] { return !s.loading; });
}

bool MacroLibraryLoading() {
    LoadState& s = S();
    std::lock_guard<std::mutex> lock(s.mu);
    return s.loading;
}

void JoinMacroLibraryLoad() {
    LoadState& s = S();
    std::thread worker;
    {
        std::unique_lock<std::mutex> lock(s.mu);
        s.cv.wait(lock, [&] { return !s.loading; });
        worker = std::move(s.worker);
    }
    if (worker.joinable()) worker.join();
}
