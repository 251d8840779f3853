#include "base/system.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/allocation.h"
#include "base/log.h"
#include "platform/clock.h"
#include "support/scratch_dir.h"

namespace {

using testing_support::ScratchDir;

std::vector<std::string> Texts(const Array<String>& list) {
    std::vector<std::string> texts;
    for (int32_t i = 0; i < list.Count(); ++i) texts.emplace_back(list.At(i).Text());
    return texts;
}

TEST(SystemLoad, EmptyFileGivesSizeZeroAndOneByteBuffer) {
    ScratchDir dir;
    dir.Write("empty.bin", "");
    char* buffer = nullptr;
    int32_t size = 7;
    ASSERT_TRUE(System::Load(dir.File("empty.bin").c_str(), buffer, size));
    EXPECT_EQ(size, 0);
    ASSERT_NE(buffer, nullptr);
    Release(buffer);
}

TEST(SystemLoad, MissingFileFailsAndLogsAtDetailLevel) {
    ScratchDir dir;
    const std::string log = dir.File("framework.log");
    OpenLog(log.c_str());
    MainChannel().level = 3;
    char sentinel = 0;
    char* buffer = &sentinel;
    int32_t size = 7;
    const std::string missing = dir.File("missing.bin");
    EXPECT_FALSE(System::Load(missing.c_str(), buffer, size));
    MainChannel().level = 2;
    CloseLog();
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(size, -1);

    const std::string expected =
        std::string("System::Load(") + FixSlashes(missing.c_str()).Text() + ") file does not exist";
    std::string narrow;  // the log is UTF-16LE; the path is ASCII
    const std::string bytes = dir.Read("framework.log");
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) narrow.push_back(bytes[i]);
    EXPECT_NE(narrow.find(expected), std::string::npos) << narrow;
}

TEST(SystemSave, CreatesMissingFoldersAndRoundTrips) {
    ScratchDir dir;
    const std::string path = dir.File("a/b\\c.txt");
    ASSERT_TRUE(System::Save(path.c_str(), "abc", 3));
    EXPECT_EQ(dir.Read("a/b/c.txt"), "abc");
    char* buffer = nullptr;
    int32_t size = 0;
    ASSERT_TRUE(System::Load(path.c_str(), buffer, size));
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(size)), "abc");
    Release(buffer);

    EXPECT_FALSE(System::Save(dir.File("x.txt").c_str(), nullptr, 3));
    EXPECT_FALSE(System::Save(dir.File("x.txt").c_str(), "abc", 0));
    EXPECT_EQ(FileSize(dir.File("x.txt").c_str()), -1);
}

TEST(SystemSave, FolderWalkSkipsDrivesAndRepeatedSeparators) {
    const struct {
        const char* path;
        std::vector<std::string> folders;
    } cases[] = {
        {"a/b/c.txt", {"a\\", "a\\b\\"}},     {"C:/x/y.txt", {"C:\\x\\"}},
        {"a//b\\\\c.txt", {"a\\", "a\\b\\"}}, {"c.txt", {}},
        {"\"my dir\"/c.txt", {"my dir\\"}},
    };
    for (const auto& c : cases) {
        Array<String> folders;
        FoldersToCreate(c.path, folders);
        EXPECT_EQ(Texts(folders), c.folders) << c.path;
    }
}

TEST(ListFiles, MatchesPatternRecursesIntoMatchingFoldersOnly) {
    ScratchDir dir;
    for (const char* file : {"top.txt", "note.bin", "data/inner.txt", "more.txt/deep.txt",
                             "more.txt/skip.bin", ".secret.txt/x.txt"}) {
        dir.Write(file, "x");
    }
    const String folder = String(std::string_view(dir.File(""))).Concat("\\");
    const std::string prefix = folder.Text();

    Array<String> found;
    ASSERT_TRUE(ListFiles(folder, "*.txt", found, true));
    std::vector<std::string> texts = Texts(found);
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{prefix + "more.txt\\deep.txt", prefix + "top.txt"}));

    Array<String> flat;
    ASSERT_TRUE(ListFiles(folder, "*.txt", flat, false));
    EXPECT_EQ(Texts(flat), (std::vector<std::string>{prefix + "top.txt"}));

    Array<String> none;
    EXPECT_FALSE(ListFiles(folder, "*.none", none, true));
    EXPECT_FALSE(ListFiles(folder.Concat("missing\\"), "*", none, true));
    EXPECT_EQ(none.Count(), 0);
}

TEST(Stopwatch, LapMeasuresPerSlotAndIgnoresOutOfRangeSlots) {
    Stopwatch stopwatch;
    EXPECT_EQ(stopwatch.Lap(70000), 0);
    EXPECT_EQ(stopwatch.Lap(-1), 0);
    EXPECT_EQ(stopwatch.Lap(5), 0);
    EXPECT_EQ(stopwatch.Lap(65536), 0) << "the highest slot grows the array";
    platform::SleepMilliseconds(30);
    const long double five = stopwatch.Lap(5);
    EXPECT_GE(five, 0.025L);
    EXPECT_LT(five, 5.0L);
    EXPECT_GT(stopwatch.Lap(65536), 0);
    EXPECT_LT(stopwatch.Lap(5), five) << "each lap restarts the slot";
    EXPECT_EQ(stopwatch.Lap(6), 0) << "slots are independent";
}

}  // namespace
