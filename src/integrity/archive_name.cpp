#include "integrity/archive_name.h"

bool SafeArchiveName(std::string_view raw, std::string& name) {
  name.assign(raw);
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  // ":" also covers Windows alternate data streams ("a.txt:hidden").
  if (name.empty() || name.find(':') != std::string::npos) return false;
  size_t start = 0;
  while (true) {
    const size_t end = name.find('/', start);
    const std::string_view component =
        std::string_view(name).substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (component.empty() || component == "." || component == "..") return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}
