#include "update/update_engine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "net/download.h"
#include "support/scratch_dir.h"
#include "update/update_test_server.h"

namespace {

using testing_support::CurrentDirectory;
using testing_support::ScratchDir;
using update_testing::ExpectGameFiles;
using update_testing::ExpectNoDownloadFiles;

// Steps until the run has ended (failure, done, or the new updater saved).
int32_t RunToEnd(UpdateEngine& engine) {
  for (int steps = 0; steps < 1000000; ++steps) {
    engine.Step();
    const int32_t status = engine.Status();
    if (status == UpdateEngine::kOffline || status == UpdateEngine::kUpdaterSaved ||
        status == UpdateEngine::kDone || status == UpdateEngine::kError) {
      return status;
    }
    engine.WaitForRequest(100);
  }
  ADD_FAILURE() << "the run did not end";
  return -1;
}

// The messages of the update log in the current directory that begin with prefix.
std::vector<std::string> LogLines(const std::string& prefix) {
  std::vector<std::string> lines;
  std::ifstream in("updater.log");
  for (std::string line; std::getline(in, line);) {
    const size_t bar = line.find('|');
    if (bar != std::string::npos && line.compare(bar + 1, prefix.size(), prefix) == 0) {
      lines.push_back(line.substr(bar + 1, line.find_last_not_of("\r\n") - bar));
    }
  }
  return lines;
}

// A game folder holding the running updater, made the current directory. The retry count is
// kept for the whole process, so each test starts it afresh.
class GameFolder {
 public:
  GameFolder() : cwd_(dir_.Path()) {
    dir_.Write("updater", update_testing::kOldUpdater);
    DownloadRetryCounter() = 0;
  }
  const ScratchDir& Dir() const { return dir_; }

 private:
  ScratchDir dir_;
  CurrentDirectory cwd_;
};

// Installs release 1 from its version file given locally: the first release has no older file,
// so every packet it lists is installed.
void InstallReleaseOne(update_testing::ReleaseServer& server, const GameFolder& folder) {
  folder.Dir().Write("v1.txt", server.VersionText(1));
  UpdateSettings settings = server.Settings("e");
  settings.local = true;
  settings.localPath = "v1.txt";
  UpdateEngine engine(settings);
  ASSERT_EQ(RunToEnd(engine), UpdateEngine::kDone) << ToUtf8(engine.ErrorText());
  EXPECT_TRUE(engine.CorruptInstallation());
  EXPECT_EQ(engine.VersionHash(), "g.0");
}

TEST(UpdateSettingsTest, VersionFilePathNamesGamePlatformFolderEditionAndModules) {
  struct Case {
    std::vector<String> modules;
    bool test;
    const char* path;
  } cases[] = {
      {{}, false, "/g/pc/live/e/_main.txt.bin"},
      {{"a", "b"}, false, "/g/pc/live/e/_a.b.txt.bin"},
      {{}, true, "/g/pc/test/e/_main.txt.bin"},
  };
  for (const Case& c : cases) {
    UpdateSettings settings;
    settings.game = "g";
    settings.platform = "pc";
    settings.edition = "e";
    settings.modules = c.modules;
    settings.test = c.test;
    EXPECT_EQ(VersionFilePath(settings), String(c.path));
  }
}

TEST(UpdateSettingsTest, ServerAddressTakesAnOptionalPort) {
  struct Case {
    const char* text;
    bool ok;
    const char* host;
    int32_t port;
  } cases[] = {
      {"updates.example:8080", true, "updates.example", 8080},
      {"updates.example", true, "updates.example", 80},
      {"updates.example:0", true, "updates.example", 80},
      {":81", false, "", 81},
      {"", false, "", 80},
  };
  for (const Case& c : cases) {
    String host;
    int32_t port = 0;
    EXPECT_EQ(ParseServerAddress(c.text, host, port), c.ok) << c.text;
    EXPECT_EQ(host, String(c.host)) << c.text;
    EXPECT_EQ(port, c.port) << c.text;
  }
}

TEST(UpdateEngineTest, WithoutHostTheRunEndsAtOnce) {
  GameFolder folder;
  UpdateEngine engine(UpdateSettings{});
  EXPECT_TRUE(engine.Step());
  EXPECT_EQ(engine.Status(), UpdateEngine::kError);
  EXPECT_TRUE(engine.ErrorText().empty());
}

TEST(UpdateEngineTest, FolderAtReleaseOneGetsBothPatchesOldestFirst) {
  REQUIRE_RELEASE_SERVER();
  GameFolder folder;
  InstallReleaseOne(server, folder);
  ExpectGameFiles(1);

  UpdateSettings settings = server.Settings("e");
  settings.installation = "id+/=";
  settings.hardwareReport = "a b";
  UpdateEngine engine(settings);
  ASSERT_EQ(RunToEnd(engine), UpdateEngine::kDone) << ToUtf8(engine.ErrorText());

  ExpectGameFiles(3);
  ExpectNoDownloadFiles();
  EXPECT_EQ(engine.VersionHash(), "g.2");
  EXPECT_EQ(engine.PacketCount(), 2);
  EXPECT_FALSE(engine.CorruptInstallation());
  EXPECT_EQ(engine.Done(), engine.Total());
  EXPECT_EQ(LogLines("paket "), (std::vector<std::string>{"paket r1_install_linux_01.tqa",
                                                         "paket r2_patch_linux.tqa",
                                                         "paket r3_patch_linux.tqa"}));
  // The hardware report goes with the first version request only, the identifier with each.
  const std::vector<std::string> downloads = LogLines("download " + server.HostPort() + "/g/");
  ASSERT_EQ(downloads.size(), 3u);
  EXPECT_NE(downloads[0].find("/_main.txt.bin?r="), std::string::npos);
  EXPECT_NE(downloads[0].find("&d=a%20b&i=id+/="), std::string::npos) << downloads[0];
  EXPECT_NE(downloads[1].find("/v2.txt.bin?r="), std::string::npos);
  EXPECT_EQ(downloads[1].find("&d="), std::string::npos);
  EXPECT_NE(downloads[2].find("/v1.txt.bin?r="), std::string::npos);
  EXPECT_NE(downloads[2].find("&i=id+/="), std::string::npos);

  // Installed now: the next run downloads nothing.
  UpdateEngine again(server.Settings("e"));
  EXPECT_EQ(RunToEnd(again), UpdateEngine::kDone);
  EXPECT_EQ(again.PacketCount(), 0);
  EXPECT_EQ(LogLines("paket ").size(), 3u);
}

TEST(UpdateEngineTest, EmptyFolderGetsEveryMissingPacketOfTheNewestFile) {
  REQUIRE_RELEASE_SERVER();
  GameFolder folder;
  UpdateEngine engine(server.Settings("e"));
  ASSERT_EQ(RunToEnd(engine), UpdateEngine::kDone) << ToUtf8(engine.ErrorText());
  ExpectGameFiles(3);
  ExpectNoDownloadFiles();
  EXPECT_TRUE(engine.CorruptInstallation());
  EXPECT_EQ(LogLines("paket r3_").size(), static_cast<size_t>(engine.PacketCount()));
}

// A chain that names itself as its own predecessor must not be walked for ever.
TEST(UpdateEngineTest, ChainEndsWhereUpdateNumbersStopFalling) {
  REQUIRE_RELEASE_SERVER();
  std::string loop = server.VersionText(3);
  loop.replace(loop.find("v2.txt.bin"), 10, "_main.txt.bin");
  ASSERT_TRUE(server.PublishSealed("g/linux/live/loop/_main.txt.bin", loop));
  GameFolder folder;
  UpdateEngine engine(server.Settings("loop"));
  ASSERT_EQ(RunToEnd(engine), UpdateEngine::kDone) << ToUtf8(engine.ErrorText());
  ExpectGameFiles(3);
  EXPECT_EQ(LogLines("download " + server.HostPort() + "/g/").size(), 2u);
}

TEST(UpdateEngineTest, LocalModeReadsNothingOlderThanTheLocalFile) {
  REQUIRE_RELEASE_SERVER();
  GameFolder folder;
  folder.Dir().Write("v3.txt", server.VersionText(3));
  UpdateSettings settings = server.Settings("e");
  settings.local = true;
  settings.localPath = "v3.txt";
  UpdateEngine engine(settings);
  EXPECT_EQ(RunToEnd(engine), UpdateEngine::kDone);
  EXPECT_EQ(engine.PacketCount(), 0);
  EXPECT_EQ(LogLines("download ").size(), 0u);

  settings.localPath = "absent.txt";
  UpdateEngine missing(settings);
  EXPECT_EQ(RunToEnd(missing), UpdateEngine::kError);
  EXPECT_EQ(missing.ErrorText(), u"local file not found: absent.txt");
}

TEST(UpdateEngineTest, TestSwitchesToTheTestFolder) {
  REQUIRE_RELEASE_SERVER();
  ASSERT_TRUE(server.PublishSealed("g/linux/test/t/_main.txt.bin", server.VersionText(1)));
  GameFolder folder;
  UpdateSettings settings = server.Settings("t");
  settings.test = true;
  UpdateEngine engine(settings);
  ASSERT_EQ(RunToEnd(engine), UpdateEngine::kDone) << ToUtf8(engine.ErrorText());
  ExpectGameFiles(1);
}

// The newest version file names another updater; its bytes are served as bin/updater.
TEST(UpdateEngineTest, NewUpdaterIsSavedOnlyWhenItsDigestMatches) {
  REQUIRE_RELEASE_SERVER();
  using update_testing::Sha256Text;
  using update_testing::VersionHeader;
  server.Publish("bin/updater", update_testing::kNewUpdater);
  const std::string body = server.VersionText(3).substr(server.VersionText(3).find("\r\n2\r\n") + 2);
  const std::string url = server.HostPort() + "/bin/updater";
  ASSERT_TRUE(server.PublishSealed("g/linux/live/renew/_main.txt.bin",
                                   VersionHeader(Sha256Text(update_testing::kNewUpdater), url) + body));
  ASSERT_TRUE(server.PublishSealed("g/linux/live/tampered/_main.txt.bin",
                                   VersionHeader(Sha256Text("another program"), url) + body));
  ASSERT_TRUE(server.PublishSealed("g/linux/live/renew/v2.txt.bin", server.VersionText(2)));
  ASSERT_TRUE(server.PublishSealed("g/linux/live/renew/v1.txt.bin", server.VersionText(1)));
  {
    GameFolder folder;
    UpdateEngine engine(server.Settings("renew"));
    ASSERT_EQ(RunToEnd(engine), UpdateEngine::kUpdaterSaved) << ToUtf8(engine.ErrorText());
    const std::string saved(engine.FileName().View());
    EXPECT_TRUE(saved.ends_with("_updater")) << saved;
    EXPECT_EQ(folder.Dir().Read(saved), update_testing::kNewUpdater);
    EXPECT_EQ(engine.VersionHash(), "g.2");
    ExpectNoDownloadFiles();
  }
  {
    GameFolder folder;
    UpdateEngine engine(server.Settings("tampered"));
    EXPECT_EQ(RunToEnd(engine), UpdateEngine::kError);
    EXPECT_EQ(engine.ErrorText(), u"Could not download the new Updater.");
    EXPECT_EQ(update_testing::FolderNames("."), (std::vector<std::string>{"updater", "updater.log"}));
  }
  {
    GameFolder folder;
    UpdateSettings settings = server.Settings("renew");
    settings.noHash = true;
    UpdateEngine engine(settings);
    EXPECT_EQ(RunToEnd(engine), UpdateEngine::kDone) << ToUtf8(engine.ErrorText());
    ExpectGameFiles(3);
  }
}

TEST(UpdateEngineTest, ServerFailuresEndWithTheirStatusAndText) {
  REQUIRE_RELEASE_SERVER();
  server.Publish("g/linux/live/plain/_main.txt.bin", server.VersionText(3));
  server.Publish("g/linux/live/html/_main.txt.bin", "<!DOCTYPE html><p>maintenance</p>");
  server.Publish("g/linux/live/empty/_main.txt.bin", "");
  struct Case {
    const char* edition;
    int32_t port;  // 0: the server's
    int32_t status;
    std::u16string text;
  } cases[] = {
      {"plain", 0, UpdateEngine::kError, u"unzip error"},
      {"html", 0, UpdateEngine::kError, u"No data were received."},
      {"absent", 0, UpdateEngine::kError, u"No data were received."},
      {"empty", 0, UpdateEngine::kOffline, u"No Connection"},
      {"e", 1, UpdateEngine::kOffline, u"No Connection"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edition);
    GameFolder folder;
    UpdateSettings settings = server.Settings(c.edition);
    if (c.port != 0) settings.port = c.port;
    UpdateEngine engine(settings);
    EXPECT_EQ(RunToEnd(engine), c.status);
    EXPECT_EQ(engine.ErrorText(), c.text);
    EXPECT_EQ(LogLines("paket ").size(), 0u);
  }
}

// Version files given locally, with packets of the served chain.
TEST(UpdateEngineTest, BadPacketsLeaveTheFolderUnchanged) {
  REQUIRE_RELEASE_SERVER();
  const std::string patch = server.PacketUrl(2, "patch");
  const std::string header =
      update_testing::VersionHeader(update_testing::Sha256Text(update_testing::kOldUpdater), "host/updater") +
      "1\r\n\r\n\r\n";
  const std::string wrongHash(64, 'a');
  const auto packet = [&](const std::string& hash, const std::string& url, const std::string& size) {
    return hash + " " + url + " " + size + " patch\r\nreadme\r\nadded\r\n\r\n";
  };
  struct Case {
    const char* name;
    std::string version;
    int32_t status;
    std::u16string text;
  } cases[] = {
      {"no slash", header + packet(wrongHash, "noslash", "100"), UpdateEngine::kError,
       u"Couldn't download URL: bad format.\nnoslash"},
      {"wrong hash", header + packet(wrongHash, patch, "100000"), UpdateEngine::kError,
       u"Wrong paket hash.\nArchive: r2_patch_linux.tqa"},
      {"size too small", header + packet(wrongHash, patch, "10"), UpdateEngine::kOffline,
       u"No Connection"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameFolder folder;
    InstallReleaseOne(server, folder);
    folder.Dir().Write("bad.txt", c.version);
    UpdateSettings settings = server.Settings("e");
    settings.local = true;
    settings.localPath = "bad.txt";
    UpdateEngine engine(settings);
    EXPECT_EQ(RunToEnd(engine), c.status);
    EXPECT_EQ(engine.ErrorText(), c.text);
    ExpectGameFiles(1);
    EXPECT_FALSE(std::filesystem::exists("added"));
    ExpectNoDownloadFiles();
  }
}

TEST(UpdateEngineTest, TotalsPastTwoGibibytesAndManyPacketsAreCounted) {
  GameFolder folder;
  std::string version = update_testing::VersionHeader("0", "host/updater") + "0\r\n\r\n\r\n";
  for (int i = 0; i < 10000; ++i) {
    version += std::string(64, 'b') + " 127.0.0.1:1/p" + std::to_string(i) +
               " 3000000000 patch\r\nf" + std::to_string(i) + "\r\n\r\n";
  }
  folder.Dir().Write("big.txt", version);
  UpdateSettings settings;
  settings.host = "127.0.0.1";
  settings.local = true;
  settings.localPath = "big.txt";
  settings.noHash = true;
  UpdateEngine engine(settings);
  while (engine.Status() != UpdateEngine::kDownloadPacket && !engine.Step()) {
  }
  EXPECT_EQ(engine.Status(), UpdateEngine::kDownloadPacket) << ToUtf8(engine.ErrorText());
  EXPECT_EQ(engine.PacketCount(), 10000);
  EXPECT_EQ(engine.Total(), 30000000000000LL);
}

}  // namespace
