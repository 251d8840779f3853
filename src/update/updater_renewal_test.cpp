#include "update/updater_renewal.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/text.h"
#include "support/scratch_dir.h"
#include "update/renewal_recorder_test.h"
#include "update/update_test_server.h"

namespace {

using testing_support::CurrentDirectory;
using testing_support::ScratchDir;

using update_testing::Recorder;

std::vector<std::string> Names(const ScratchDir& dir) { return update_testing::FolderNames(dir.Path()); }

TEST(UpdaterRenewalTest, ProcessNamedLikeTheTargetRunsOn) {
  for (const char* commandLine : {"UPDATER.EXE -game g", "\"C:\\games\\x y\\updater.exe\"",
                                  "/opt/game/updater.exe", "updater.exe -delete \"\""}) {
    ScratchDir dir;
    CurrentDirectory cwd(dir.Path());
    dir.Write("updater.exe", "program");
    Recorder recorder;
    const RenewalResult result = RenewUpdater(commandLine, recorder.Settings());
    EXPECT_TRUE(result.continueRun) << commandLine;
    EXPECT_FALSE(result.deleteRequested) << commandLine;
    EXPECT_TRUE(recorder.started.empty());
    EXPECT_TRUE(recorder.errors.empty());
    EXPECT_EQ(dir.Read("updater.exe"), "program");
  }
}

// The copy saved by the old updater replaces the updater and starts it; the renewed updater
// then deletes the copy.
TEST(UpdaterRenewalTest, CopyReplacesTheUpdaterWhichThenDeletesTheCopy) {
  ScratchDir dir;
  CurrentDirectory cwd(dir.Path());
  dir.Write("updater.exe", "old program");
  dir.Write("1a2b3c_updater.exe", "new program");
  Recorder recorder;

  const RenewalResult copy = RenewUpdater("1a2b3c_updater.exe -game \"a b\"", recorder.Settings());
  EXPECT_FALSE(copy.continueRun);
  EXPECT_EQ(dir.Read("updater.exe"), "new program");
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"1a2b3c_updater.exe", "updater.exe", "updater.log"}));
  ASSERT_EQ(recorder.started.size(), 1u);
  EXPECT_EQ(recorder.started[0],
            "updater.exe| -delete \"1a2b3c_updater.exe\" 1a2b3c_updater.exe -game \"a b\"");

  const RenewalResult renewed = RenewUpdater("updater.exe -delete \"1a2b3c_updater.exe\" 1a2b3c_updater.exe",
                                             recorder.Settings());
  EXPECT_TRUE(renewed.continueRun);
  EXPECT_TRUE(renewed.deleteRequested);
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"updater.exe", "updater.log"}));
  EXPECT_TRUE(recorder.errors.empty());
  EXPECT_EQ(recorder.started.size(), 1u);
}

TEST(UpdaterRenewalTest, FailedCopyLeavesTheOldUpdaterInPlace) {
  ScratchDir dir;
  CurrentDirectory cwd(dir.Path());
  dir.Write("updater.exe", "old program");
  Recorder recorder;
  // The copy is not in the current directory, so it cannot be read.
  const RenewalResult result = RenewUpdater("C:\\elsewhere\\9f_updater.exe", recorder.Settings());
  EXPECT_FALSE(result.continueRun);
  EXPECT_EQ(dir.Read("updater.exe"), "old program");
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"updater.exe", "updater.log"}));
  EXPECT_TRUE(recorder.started.empty());
  EXPECT_EQ(recorder.errors, std::vector<std::string>{"Updating the Updater failed.updater.exe"});
}

}  // namespace
