#include "update/updater_renewal.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/scratch_dir.h"
#include "update/renewal_recorder_test.h"

namespace {

using testing_support::CurrentDirectory;
using testing_support::ScratchDir;
using update_testing::Recorder;

// A program file cannot be opened for writing while it runs: the renewal waits for the old
// updater to end and never truncates it meanwhile.
TEST(UpdaterRenewalTest, WaitsWhileTheOldUpdaterStillRuns) {
  ScratchDir dir;
  CurrentDirectory cwd(dir.Path());
  std::filesystem::copy_file("/bin/sleep", dir.File("updater.exe"));
  const auto size = std::filesystem::file_size(dir.File("updater.exe"));
  dir.Write("7_updater.exe", "new program");
  ASSERT_EQ(std::system("./updater.exe 1 & sleep 0.3"), 0);
  Recorder recorder;

  const RenewalResult busy = RenewUpdater("7_updater.exe", recorder.Settings());
  EXPECT_FALSE(busy.continueRun);
  EXPECT_EQ(std::filesystem::file_size(dir.File("updater.exe")), size);
  EXPECT_EQ(recorder.errors, std::vector<std::string>{"Updating the Updater failed.updater.exe"});

  RenewalSettings patient = recorder.Settings();
  patient.attempts = 100;
  patient.intervalMs = 50;
  RenewUpdater("7_updater.exe", patient);
  EXPECT_EQ(dir.Read("updater.exe"), "new program");
  EXPECT_EQ(recorder.started.size(), 1u);
}

}  // namespace
