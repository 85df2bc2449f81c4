// The file layer behaves alike on every platform, error numbers included.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/fs.h"
#include "support/temp_dir.h"

using namespace platform;

TEST(FsConformance, ErrorNumbersOfCommonFailures) {
    zvtest::TempDir dir;
    uint32_t err = 0;
    std::vector<uint8_t> data;

    EXPECT_FALSE(ReadFile(dir / "missing.bin", data, &err));
    EXPECT_EQ(err, kErrFileNotFound);
    EXPECT_FALSE(ReadFile(JoinPath(dir / "nofolder", "x.bin"), data, &err));
    EXPECT_EQ(err, kErrPathNotFound);

    EXPECT_TRUE(MakeDirectory(dir / "sub", &err));
    EXPECT_FALSE(MakeDirectory(dir / "sub", &err));
    EXPECT_EQ(err, kErrAlreadyExists);
    EXPECT_FALSE(MakeDirectory(JoinPath(dir / "a", "b"), &err));
    EXPECT_EQ(err, kErrPathNotFound);

    dir.Write(JoinPath("sub", "f.txt"), "x");
    EXPECT_FALSE(RemoveEmptyDirectory(dir / "sub", &err));
    EXPECT_EQ(err, kErrDirNotEmpty);

    EXPECT_FALSE(RemoveFile(dir / "missing.bin", &err));
    EXPECT_EQ(err, kErrFileNotFound);

    dir.Write("one.txt", "1");
    dir.Write("two.txt", "2");
    EXPECT_FALSE(RenameFile(dir / "one.txt", dir / "two.txt", &err));
    EXPECT_EQ(err, kErrAlreadyExists);
    EXPECT_FALSE(CopyFileTo(dir / "one.txt", dir / "two.txt", true, &err));
    EXPECT_EQ(err, kErrFileExists);
    EXPECT_TRUE(CopyFileTo(dir / "one.txt", dir / "two.txt", false, &err));
    EXPECT_EQ(dir.Read("two.txt"), "1");
}

TEST(FsConformance, ReadOnlyFilesRefuseChange) {
    zvtest::TempDir dir;
    dir.Write("ro.txt", "old");
    ASSERT_TRUE(SetReadOnly(dir / "ro.txt", true));
    EXPECT_TRUE(IsReadOnly(dir / "ro.txt"));
    uint32_t err = 0;
    const std::string fresh = "new";
    EXPECT_FALSE(WriteFileAtomic(dir / "ro.txt", fresh.data(), fresh.size(), &err));
    EXPECT_EQ(err, kErrAccessDenied);
    EXPECT_FALSE(RemoveFile(dir / "ro.txt", &err));
    EXPECT_EQ(err, kErrAccessDenied);
    EXPECT_EQ(dir.Read("ro.txt"), "old");
    ASSERT_TRUE(SetReadOnly(dir / "ro.txt", false));
    EXPECT_TRUE(RemoveFile(dir / "ro.txt", &err));
}

TEST(FsConformance, AtomicWriteReplacesWholeAndLeavesNoTemporary) {
    zvtest::TempDir dir;
    dir.Write("f.bin", std::string(1000, 'a'));
    const std::string shorter = "bb";
    ASSERT_TRUE(WriteFileAtomic(dir / "f.bin", shorter.data(), shorter.size()));
    EXPECT_EQ(dir.Read("f.bin"), "bb");
    std::vector<DirEntry> entries;
    ASSERT_TRUE(ListDirectory(dir.path(), entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "f.bin");
    EXPECT_EQ(entries[0].size, 2u);

    // Writing onto a folder fails and leaves it alone.
    ASSERT_TRUE(MakeDirectory(dir / "d"));
    uint32_t err = 0;
    EXPECT_FALSE(WriteFileAtomic(dir / "d", shorter.data(), shorter.size(), &err));
    EXPECT_EQ(err, kErrAccessDenied);
    EXPECT_TRUE(DirectoryExists(dir / "d"));
}

TEST(FsConformance, ListingIsSortedAndMarksFolders) {
    zvtest::TempDir dir;
    dir.Write("b.txt", "12");
    dir.Write("a.txt", "1");
    ASSERT_TRUE(MakeDirectory(dir / "c"));
    std::vector<DirEntry> e;
    ASSERT_TRUE(ListDirectory(dir.path(), e));
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].name, "a.txt");
    EXPECT_EQ(e[1].size, 2u);
    EXPECT_TRUE(e[2].isDirectory);
    uint32_t err = 0;
    EXPECT_FALSE(ListDirectory(dir / "none", e, &err));
    EXPECT_EQ(err, kErrPathNotFound);
}

TEST(FsConformance, AppendAndPrefixReads) {
    zvtest::TempDir dir;
    ASSERT_TRUE(AppendToFile(dir / "log.txt", "ab", 2));
    ASSERT_TRUE(AppendToFile(dir / "log.txt", "cd", 2));
    std::vector<uint8_t> d;
    ASSERT_TRUE(ReadFilePrefix(dir / "log.txt", 3, d));
    EXPECT_EQ(std::string(d.begin(), d.end()), "abc");
    uint32_t err = 0;
    EXPECT_FALSE(ReadFile(dir / "log.txt", d, &err, 3));
    EXPECT_EQ(err, kErrNotEnoughMemory);
    ASSERT_TRUE(TruncateFile(dir / "log.txt"));
    uint64_t size = 99;
    ASSERT_TRUE(GetFileSize(dir / "log.txt", size));
    EXPECT_EQ(size, 0u);
}

TEST(FsConformance, NonAsciiNamesRoundTrip) {
    zvtest::TempDir dir;
    const std::string name = "Makro \xC3\xBC\xE2\x82\xAC.qzm";
    dir.Write(name, "m");
    EXPECT_TRUE(FileExists(dir / name));
    std::vector<DirEntry> e;
    ASSERT_TRUE(ListDirectory(dir.path(), e));
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].name, name);
}

TEST(CodepageConformance, CodePagesToUtf16) {
    struct Case {
        uint32_t cp;
        std::string bytes;
        std::u16string expected;
    } cases[] = {
        {1252, "Caf\xE9 \x80", u"Caf\u00E9 \u20AC"},
        {1251, "\xCF\xF0\xE8", u"\u041F\u0440\u0438"},
        {65001, "\xC3\xA4", u"\u00E4"},
        {932, "\x82\xA0", u"\u3042"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.cp);
        std::u16string out;
        ASSERT_TRUE(CodePageToUtf16(c.cp, c.bytes, out));
        EXPECT_EQ(out, c.expected);
    }
    std::u16string out;
    EXPECT_FALSE(CodePageToUtf16(12345, "x", out));
}
