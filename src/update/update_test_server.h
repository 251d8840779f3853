// For the update tests: an nginx that serves a chain of three releases of the game "g" as an
// update server does, built once per test process with the release builder and sealed with
// the publisher tool.
#ifndef UPDATE_UPDATE_TEST_SERVER_H
#define UPDATE_UPDATE_TEST_SERVER_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "base/text.h"
#include "integrity/digest.h"
#include "integrity/public_key.h"
#include "integrity/scramble.h"
#include "release/release_builder.h"
#include "release/release_test_support.h"
#include "support/scratch_dir.h"
#include "update/update_settings.h"

namespace update_testing {

namespace fs = std::filesystem;

#ifdef UPDATER_PUBLISH_TOOL
constexpr const char* kPublishTool = UPDATER_PUBLISH_TOOL;
#else
constexpr const char* kPublishTool = nullptr;  // the tool is built for Linux only
#endif

// name -> contents of each release's game files. Release 2 changes "readme" and adds "added";
// release 3 changes "data/level". "music.dat" lies scrambled in the game folder.
inline std::map<std::string, std::string> Tree(int release) {
  using release_testing::Content;
  std::map<std::string, std::string> files = {
      {"readme", Content(1, 3000)}, {"data/level", Content(2, 5000)}, {"music.dat", Content(3, 4000)}};
  if (release >= 2) {
    files["readme"] = Content(11, 3100);
    files["added"] = Content(12, 2000);
  }
  if (release >= 3) files["data/level"] = Content(21, 5200);
  return files;
}

const std::string kOldUpdater = "old updater program";
const std::string kNewUpdater = "new updater program";

inline std::string Sha256Text(const std::string& bytes) {
  return std::string(DigestText(Sha256Buffer(bytes.data(), bytes.size())).View());
}

// The first two lines of a version file: magic, updater hash and URL.
inline std::string VersionHeader(const std::string& updaterHash, const std::string& url) {
  return "MagicVersionFile\r\n" + updaterHash + " " + url + "\r\n";
}

class ReleaseServer {
 public:
  static ReleaseServer& Get() {
    static ReleaseServer server;
    return server;
  }

  bool Available() const { return error_.empty(); }
  const std::string& Error() const { return error_; }
  std::string HostPort() const { return "127.0.0.1:" + std::to_string(port_); }
  // Plain text of release 1..3's version file.
  const std::string& VersionText(int release) const { return versions_[release - 1]; }
  std::string PacketUrl(int release, const std::string& kind) const {
    return HostPort() + "/dl" + std::to_string(release) + "/r" + std::to_string(release) + "_" +
           kind + "_linux.tqa";
  }
  // Writes a file into the served folder.
  void Publish(const std::string& path, const std::string& bytes) const { www_.Write(path, bytes); }
  // Seals a version text and publishes it under path.
  bool PublishSealed(const std::string& path, const std::string& text) {
    const std::string plain = work_.File("seal-input.txt");
    work_.Write("seal-input.txt", text);
    fs::create_directories(fs::path(www_.File(path)).parent_path());
    const std::string command = std::string(kPublishTool) + " seal --key '" +
                                UPDATER_SOURCE_DIR "/tests/data/keys/test_key' --in '" + plain +
                                "' --out '" + www_.File(path) + "'";
    return std::system(command.c_str()) == 0;
  }

  // Settings of a run for the game "g" of this server.
  UpdateSettings Settings(const std::string& edition) const {
    UpdateSettings settings;
    settings.host = "127.0.0.1";
    settings.port = port_;
    settings.game = "g";
    settings.edition = String(edition);
    settings.platform = "linux";
    settings.exePath = "updater";
    return settings;
  }

 private:
  ReleaseServer() {
    std::string key;
    std::ifstream in(UPDATER_SOURCE_DIR "/tests/data/keys/test_key.pub");
    std::getline(in, key);
    const size_t start = key.find(' ') + 1;
    if (!LoadPublicKeyText(key.substr(start, key.find(' ', start) - start))) {
      error_ = "test key did not load";
      return;
    }
    if (!StartNginx()) return;
    BuildChain();
  }

  ~ReleaseServer() {
    if (!state_.empty()) std::system(("/usr/bin/python3 '" + Script() + "' --stop --state '" + state_ + "'").c_str());
  }

  static std::string Script() { return UPDATER_SOURCE_DIR "/tests/support/start_servers.py"; }

  bool StartNginx() {
    state_ = work_.File("servers.txt");
    const std::string command = "/usr/bin/python3 '" + Script() + "' --detach --root '" +
                                www_.Path().string() + "' --state '" + state_ + "' > /dev/null";
    std::ifstream in;
    if (std::system(command.c_str()) == 0) in.open(state_);
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("NGINX=", 0) == 0) port_ = std::atoi(line.c_str() + line.rfind(':') + 1);
    }
    if (port_ == 0) error_ = "nginx did not start: " + command;
    return port_ != 0;
  }

  void BuildChain() {
    work_.Write("template.txt",
                VersionHeader(Sha256Text(kOldUpdater), HostPort() + "/bin/updater"));
    for (int release = 1; release <= 3; ++release) {
      const std::string n = std::to_string(release);
      for (const auto& [name, bytes] : Tree(release)) work_.Write("tree" + n + "/" + name, bytes);
      fs::create_directories(www_.File("dl" + n));
      ReleaseOptions options;
      options.oldVersion = String(work_.File(release == 1 ? "template.txt" : "v" + std::to_string(release - 1)));
      if (release > 1) options.oldHashes = String(work_.File("h" + std::to_string(release - 1)));
      options.newVersion = String(work_.File("v" + n));
      options.newHashes = String(work_.File("h" + n));
      options.source = String(work_.File("tree" + n) + "/");
      options.target = String(www_.File("dl" + n) + "/");
      options.tag = String("r" + n);
      options.url = String(HostPort() + "/dl" + n);
      options.platform = "linux";
      std::u16string errorText;
      String report;
      if (!BuildRelease(options, errorText, report, 1)) {
        error_ = "release " + n + ": " + ToUtf8(errorText);
        return;
      }
      versions_.push_back(work_.Read("v" + n));
    }
    const std::string folder = "g/linux/live/e/";
    if (!PublishSealed(folder + "v1.txt.bin", versions_[0]) ||
        !PublishSealed(folder + "v2.txt.bin", versions_[1]) ||
        !PublishSealed(folder + "_main.txt.bin", versions_[2])) {
      error_ = "sealing failed";
    }
  }

  testing_support::ScratchDir www_;
  testing_support::ScratchDir work_;
  std::string state_;
  int port_ = 0;
  std::string error_;
  std::vector<std::string> versions_;
};

// Skips the test where the served chain cannot exist (the Windows build has no publisher tool
// and no nginx of its own).
#define REQUIRE_RELEASE_SERVER()                                                   \
  if (update_testing::kPublishTool == nullptr) GTEST_SKIP() << "needs the publisher tool"; \
  update_testing::ReleaseServer& server = update_testing::ReleaseServer::Get();    \
  ASSERT_TRUE(server.Available()) << server.Error()

// Whether the game folder (the current directory) holds release `release` as installed:
// names with an extension that is stored scrambled are compared after unscrambling.
inline void ExpectGameFiles(int release) {
  for (auto [name, bytes] : Tree(release)) {
    std::ifstream in(name, std::ios::binary);
    std::string stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (IsStoredScrambled(name)) ScrambleBuffer(name, reinterpret_cast<uint8_t*>(stored.data()), stored.size());
    EXPECT_TRUE(stored == bytes) << name << " is not the file of release " << release;
  }
}

// The names in a folder, sorted.
inline std::vector<std::string> FolderNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Download files are removed after every download, also a failed one.
inline void ExpectNoDownloadFiles() {
  for (const auto& entry : fs::directory_iterator(fs::current_path())) {
    EXPECT_NE(entry.path().filename().string().front(), '~') << entry.path();
  }
}

}  // namespace update_testing

#endif  // UPDATE_UPDATE_TEST_SERVER_H
