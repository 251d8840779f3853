#include "update/updater_renewal.h"

#include <cstdio>

#include "base/text.h"
#include "base/update_log.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "update/executable_file.h"
#include "update/update_texts.h"

namespace {

std::string FileNameOf(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

// A program file that its process still runs cannot be opened for writing. The open must not
// truncate: the file is the player's only updater until the new one is in place.
bool Released(const std::string& path) {
  if (!platform::FileExists(path)) return true;
  std::FILE* file = platform::OpenFile(path, "r+b");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

bool WaitUntilReleased(const std::string& path, const RenewalSettings& settings) {
  for (int attempt = 0; attempt < settings.attempts; ++attempt) {
    if (attempt > 0) platform::SleepMilliseconds(settings.intervalMs);
    if (Released(path)) return true;
  }
  return false;
}

// The copy is complete beside the target before it replaces it in one rename.
bool CopyOver(const std::string& source, const std::string& target) {
  std::string bytes;
  if (!platform::ReadWholeFile(source, bytes)) return false;
  const std::string temporary = target + ".renew";
  if (platform::WriteWholeFile(temporary, bytes.data(), bytes.size()) && MakeExecutable(temporary) &&
      platform::RenameFile(temporary, target)) {
    return true;
  }
  platform::RemoveFile(temporary);
  return false;
}

void Report(const RenewalSettings& settings, const char* key, const std::string& name) {
  if (settings.reportError) settings.reportError(UpdateText(key) + FromUtf8(name));
}

void DeleteCopy(const std::string& name, const RenewalSettings& settings) {
  UpdateLog(("deletefile " + name).c_str());
  if (!WaitUntilReleased(name, settings) ||
      (platform::FileExists(name) && !platform::RemoveFile(name))) {
    Report(settings, "failed temp file", name);
  }
}

}  // namespace

std::string ArgumentText(const OptionSet& tokens) {
  std::string text;
  for (int32_t index = 1; index < tokens.Count(); ++index) {
    const std::string_view token = tokens.Entry(index).View();
    text += ' ';
    if (token.find(' ') == std::string_view::npos) {
      text += token;
    } else {
      text += '"';
      text += token;
      text += '"';
    }
  }
  return text;
}

RenewalResult RenewUpdater(const String& commandLine, const RenewalSettings& settings) {
  const OptionSet options(commandLine.Text());
  std::string program;
  options.FirstPlain(program);
  const std::string ownName = FileNameOf(program);
  const std::string target(settings.targetName.View());
  RenewalResult result;

  if (String(ownName).EqualsNoCase(settings.targetName)) {
    std::string copy;
    options.GetText("delete", copy);
    if (!copy.empty()) {
      result.deleteRequested = true;
      DeleteCopy(copy, settings);
    }
    return result;
  }

  UpdateLog("renew updater");
  result.continueRun = false;
  const bool renewed = WaitUntilReleased(target, settings) && CopyOver(ownName, target);
  const std::string arguments = " -delete \"" + ownName + "\"" + ArgumentText(options);
  if (!renewed || !settings.startProgram || !settings.startProgram(target, arguments)) {
    Report(settings, "failed updater", target);
  }
  return result;
}
