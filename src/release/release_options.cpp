#include "release/release_options.h"

#include <utility>

#include "base/text.h"

namespace {

// Folder options are joined with file names, so they must end with a separator.
String AsFolder(String path) {
  const char last = path.View().back();
  if (last != '/' && last != '\\') path.AppendChar('/');
  return path;
}

}  // namespace

bool ReadReleaseOptions(const OptionSet& options, ReleaseOptions& out, std::u16string& error) {
  const std::pair<const char*, String*> required[] = {
      {"old_version", &out.oldVersion}, {"new_version", &out.newVersion},
      {"new_hashes", &out.newHashes},   {"source", &out.source},
      {"target", &out.target},          {"tag", &out.tag},
      {"url", &out.url},                {"platform", &out.platform},
  };
  for (const auto& [name, field] : required) {
    if (options.GetString(name, *field) == 0 || field->IsEmpty()) {
      error = FromUtf8(std::string("Missing option -") + name);
      return false;
    }
  }
  options.GetString("old_hashes", out.oldHashes);
  options.GetString("module", out.module);
  out.source = AsFolder(out.source);
  out.target = AsFolder(out.target);
  return true;
}
