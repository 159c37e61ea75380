#include "TextAndFiles.h"

#include "Failure.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

std::string LowerCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return text;
}

std::string TemporaryPathBeside(const std::string& path) {
  // Beside the output, so that the final rename stays on one file system.
  return path + ".q19-" + std::to_string(getpid()) + ".tmp";
}

void MoveIntoPlace(const std::string& temp, const std::string& path) {
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    std::string reason = std::strerror(errno);
    std::remove(temp.c_str());
    Fail(kExitOutput, path + ": cannot be written (" + reason + ")");
  }
}
