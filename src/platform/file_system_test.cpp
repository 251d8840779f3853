#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scratch_dir.h"

namespace {

using testing_support::ScratchDir;

TEST(FileSystem, WholeFileRoundTripAndSizes) {
    ScratchDir dir;
    const std::string path = dir.File("data.bin");
    const std::string bytes("a\0b\r\n", 5);
    ASSERT_TRUE(platform::WriteWholeFile(path, bytes.data(), bytes.size()));
    std::string read;
    ASSERT_TRUE(platform::ReadWholeFile(path, read));
    EXPECT_EQ(read, bytes);
    EXPECT_EQ(platform::FileSize(path), 5);

    ASSERT_TRUE(platform::WriteWholeFile(path, nullptr, 0));
    EXPECT_EQ(platform::FileSize(path), 0);

    EXPECT_EQ(platform::FileSize(dir.File("missing")), -1);
    EXPECT_EQ(platform::FileSize(dir.File("")), -1) << "a folder has no file size";
    EXPECT_FALSE(platform::ReadWholeFile(dir.File("missing"), read));
    EXPECT_FALSE(platform::WriteWholeFile(dir.File("no/folder.bin"), "x", 1));
}

TEST(FileSystem, SizeAbove4GiBIsNotTruncated) {
    ScratchDir dir;
    const std::string path = dir.File("sparse.bin");
    dir.Write("sparse.bin", "");
    std::filesystem::resize_file(dir.Path() / "sparse.bin", (std::uintmax_t{1} << 32) + 7);
    EXPECT_EQ(platform::FileSize(path), (std::int64_t{1} << 32) + 7);
}

TEST(FileSystem, EitherSlashSeparatesFolders) {
    ScratchDir dir;
    const std::string base = dir.File("");
    ASSERT_TRUE(platform::CreateFolder(base + "sub"));
    EXPECT_FALSE(platform::CreateFolder(base + "sub")) << "already exists";
    ASSERT_TRUE(platform::WriteWholeFile(base + "sub\\f.txt", "hi", 2));
    EXPECT_EQ(dir.Read("sub/f.txt"), "hi");
    EXPECT_TRUE(platform::FileExists(base + "sub\\f.txt"));
    EXPECT_TRUE(platform::IsFolder(base + "sub"));
    EXPECT_FALSE(platform::IsFolder(base + "sub/f.txt"));
}

TEST(FileSystem, RenameReplacesAndRemoveDeletes) {
    ScratchDir dir;
    dir.Write("from.txt", "new");
    dir.Write("to.txt", "old");
    ASSERT_TRUE(platform::RenameFile(dir.File("from.txt"), dir.File("to.txt")));
    EXPECT_EQ(dir.Read("to.txt"), "new");
    EXPECT_FALSE(platform::FileExists(dir.File("from.txt")));
    EXPECT_FALSE(platform::RenameFile(dir.File("from.txt"), dir.File("to.txt")));

    EXPECT_TRUE(platform::RemoveFile(dir.File("to.txt")));
    EXPECT_FALSE(platform::FileExists(dir.File("to.txt")));
    EXPECT_FALSE(platform::RemoveFile(dir.File("to.txt")));
}

TEST(FileSystem, ListFolderMatchesPattern) {
    ScratchDir dir;
    dir.Write("b.txt", "");
    dir.Write("A.TXT", "");
    dir.Write("c.bin", "");
    dir.Write("more.txt/inner.txt", "");
    std::vector<platform::FolderEntry> entries;
    ASSERT_TRUE(platform::ListFolder(dir.File(""), "*.txt", entries));
    std::vector<std::string> names;
    for (const auto& entry : entries) names.push_back(entry.name + (entry.isFolder ? "/" : ""));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"A.TXT", "b.txt", "more.txt/"}));

    EXPECT_FALSE(platform::ListFolder(dir.File(""), "*.none", entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(platform::ListFolder(dir.File("missing"), "*", entries));
}

TEST(FileSystem, WorkingDirectoryFollowsChanges) {
    ScratchDir dir;
    const std::string previous = platform::WorkingDirectory();
    ASSERT_FALSE(previous.empty());
    ASSERT_TRUE(platform::ChangeWorkingDirectory(dir.File("")));
    EXPECT_EQ(std::filesystem::path(platform::WorkingDirectory()),
              std::filesystem::canonical(dir.Path()));
    platform::WriteWholeFile("here.txt", "x", 1);
    EXPECT_EQ(dir.Read("here.txt"), "x");
    ASSERT_TRUE(platform::ChangeWorkingDirectory(previous));
    EXPECT_FALSE(platform::ChangeWorkingDirectory(dir.File("missing")));
}

}  // namespace
