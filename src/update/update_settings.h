// What an update run needs to know about the game and the update server, taken from the
// effective options and the build settings, and the server paths built from it.
#ifndef UPDATE_UPDATE_SETTINGS_H
#define UPDATE_UPDATE_SETTINGS_H

#include <cstdint>
#include <vector>

#include "base/string.h"

struct UpdateSettings {
  String host;  // update server; empty ends the run at once
  int32_t port = 80;
  String game;
  String edition;
  String platform;  // platform word of the server paths
  std::vector<String> modules;
  bool test = false;  // "/test/" instead of "/live/"
  bool local = false;  // read the version file from localPath instead of the server
  String localPath;
  bool noHash = false;  // never renew the updater
  String installation;  // installation identifier; empty: not sent
  String hardwareReport;  // packed hardware report; empty: not sent
  String exePath;  // the running updater, whose digest decides whether it is current
};

// Splits "host[:port]"; the port stays 80 when none (or no positive one) is given. False for
// an empty host.
bool ParseServerAddress(const String& text, String& host, int32_t& port);

// host + ":" + port, the start of every server url.
String HostAndPort(const UpdateSettings& settings);
// "/" + game + "/" + platform + "/live/" (or "/test/") + edition + "/".
String RemoteFolder(const UpdateSettings& settings);
// The remote folder + "_" + the modules joined by "." ("main" without modules) + ".txt.bin".
String VersionFilePath(const UpdateSettings& settings);

#endif  // UPDATE_UPDATE_SETTINGS_H
