// Self-renewal of the updater across three processes: the old updater saves the new one under
// a temporary name and starts it; that copy puts itself in place of the updater and starts it
// with "-delete" naming the copy; the renewed updater deletes the copy and runs normally.
#ifndef UPDATE_UPDATER_RENEWAL_H
#define UPDATE_UPDATER_RENEWAL_H

#include <cstdint>
#include <functional>
#include <string>

#include "base/option_set.h"
#include "base/string.h"

struct RenewalSettings {
  String targetName;  // the updater's own file name, in the current directory
  // How long to wait for the previous process to end and let go of its file.
  int attempts = 180;
  uint32_t intervalMs = 300;
  // Starts a program as a plain process (not supervised); true when it started.
  std::function<bool(const std::string& program, const std::string& arguments)> startProgram;
  // Shows a failure to the user.
  std::function<void(const std::u16string& message)> reportError;
};

struct RenewalResult {
  bool continueRun = true;  // false: the renewed updater was started, or renewal failed
  bool deleteRequested = false;  // the command line named a renewal copy to delete
};

// Runs first on every start with the raw command line. A process not named like the target
// is a renewal copy: it replaces the target (written beside it under a temporary name, then
// renamed over it, so a failure leaves the old updater intact) and starts it. A process named
// like the target (letter case ignored) deletes the copy that "-delete" names, if any.
RenewalResult RenewUpdater(const String& commandLine, const RenewalSettings& settings);

// Every token of the parsed text, program path included, each after a blank and in double
// quotes when it contains a blank, so the result reads back as the same tokens.
std::string ArgumentText(const OptionSet& tokens);

#endif  // UPDATE_UPDATER_RENEWAL_H
