#include "update/executable_file.h"

#include <sys/stat.h>

bool MakeExecutable(const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return false;
  // Execute for everyone who may read it, as a program installed by hand would be.
  const mode_t readers = status.st_mode & (S_IRUSR | S_IRGRP | S_IROTH);
  return chmod(path.c_str(), status.st_mode | (readers >> 2)) == 0;
}
