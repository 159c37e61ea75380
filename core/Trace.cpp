#include "Trace.h"

#include <cctype>
#include <cstring>
#include <ctime>

const char* TraceTimestamp() {
  static char stamp[64];
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  stamp[0] = 0;
  if (!local) return stamp;
  size_t length = std::strftime(stamp, sizeof stamp, "%Y%m%d %H:%M ", local);
  char zone[64] = {0};
  std::strftime(zone, sizeof zone, "%Z", local);
  for (const char* c = zone; *c && length + 1 < sizeof stamp; ++c) {
    if (std::isupper(static_cast<unsigned char>(*c))) stamp[length++] = *c;
  }
  stamp[length] = 0;
  return stamp;
}
