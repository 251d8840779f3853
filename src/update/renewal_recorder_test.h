// Renewal settings for tests: they record what would be started and shown.
#ifndef UPDATE_RENEWAL_RECORDER_TEST_H
#define UPDATE_RENEWAL_RECORDER_TEST_H

#include <string>
#include <vector>

#include "base/text.h"
#include "update/updater_renewal.h"

namespace update_testing {

// Renewal settings that record what would be started and shown, and wait only briefly.
class Recorder {
 public:
  RenewalSettings Settings() {
    RenewalSettings settings;
    settings.targetName = "updater.exe";
    settings.attempts = 3;
    settings.intervalMs = 10;
    settings.startProgram = [this](const std::string& program, const std::string& arguments) {
      started.push_back(program + "|" + arguments);
      return true;
    };
    settings.reportError = [this](const std::u16string& message) { errors.push_back(ToUtf8(message)); };
    return settings;
  }

  std::vector<std::string> started;
  std::vector<std::string> errors;
};

}  // namespace update_testing

#endif
