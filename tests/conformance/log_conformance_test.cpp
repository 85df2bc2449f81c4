// The log keeps every line when several threads write at once: the reader, service, apply and
// window threads all log, and the GUI checks read those lines back.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "base/log.h"
#include "support/temp_dir.h"

TEST(LogConformance, LinesOfSeveralThreadsAtOnceAreAllKept) {
    zvtest::TempDir dir;
    const LogState saved = TheLogState();
    TheLogState().nDebug = 2;
    TheLogState().szLogPath = dir / "Log.txt";
    TheLogState().LogPrintf = &LogToFile;
    constexpr int kThreads = 4, kLines = 300;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < kLines; ++i) LogPrintf("thread %d line %d", t, i);
        });
    for (std::thread& t : threads) t.join();
    TheLogState() = saved;

    // Every record starts with a carriage return and its time stamp.
    const std::string text = dir.Read("Log.txt");
    std::vector<int> seen(kThreads * kLines, 0);
    size_t at = 0;
    while ((at = text.find('\r', at)) != std::string::npos) {
        const size_t end = std::min(text.find('\r', at + 1), text.size());
        int t = -1, i = -1;
        if (std::sscanf(text.substr(at + 1, end - at - 1).c_str(), "%*u:%*u.%*u thread %d line %d",
                        &t, &i) == 2 &&
            t >= 0 && t < kThreads && i >= 0 && i < kLines)
            ++seen[static_cast<size_t>(t * kLines + i)];
        at = end;
    }
    for (int k = 0; k < kThreads * kLines; ++k)
        EXPECT_EQ(seen[static_cast<size_t>(k)], 1)
            << "thread " << k / kLines << " line " << k % kLines;
}
