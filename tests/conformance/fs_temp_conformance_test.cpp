// Temporary files of a save behave alike on every platform: a failed save leaves none, start-up
// clears the leftovers of a killed one, and the failure is known with its path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fs.h"
#include "support/temp_dir.h"

using namespace platform;

TEST(FsConformance, FailedSavesLeaveNoTemporaryAndLeftoversAreCleared) {
    zvtest::TempDir dir;
    TakeSaveFailures();
    uint32_t err = 0;
    EXPECT_FALSE(WriteFileAtomic(JoinPath(dir / "none", "x.dct"), "ab", 2, &err));
    EXPECT_EQ(err, kErrPathNotFound);
    std::vector<SaveFailure> failed = TakeSaveFailures();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].path, JoinPath(dir / "none", "x.dct"));
    EXPECT_EQ(failed[0].err, kErrPathNotFound);

    // What a killed save leaves: our temporary names and the older form; other files stay.
    const std::string leftover = FileNameOf(MakeTempFileName(dir / "mac.dct"));
    dir.Write(leftover, "half");
    dir.Write("a.qzm.tmp12_3", "half");
    dir.Write("a.qzm", "whole");
    dir.Write("notes.tmp", "mine");
    EXPECT_EQ(RemoveStaleTempFiles(dir.path()), 2);
    std::vector<DirEntry> entries;
    ASSERT_TRUE(ListDirectory(dir.path(), entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "a.qzm");
    EXPECT_EQ(entries[1].name, "notes.tmp");
}
