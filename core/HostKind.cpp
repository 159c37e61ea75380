#include "HostKind.h"

#include <cctype>
#include <cstring>

namespace {
struct HostName {
  const char* text;
  HostKind kind;
};

// The order decides: "live" is found in any text that contains it before the later rows
// are tried. Codes 2, 6, 10, 11 and 19 are never produced.
constexpr HostName kHostNames[] = {
    {"cubase", 3},   {"reaper", 1},   {"nuendo", 4},    {"cakewalk", 5},  {"samplitude", 8},
    {"fruity", 7},   {"live", 9},     {"melodyne", 12}, {"vstmanlib", 13}, {"aulab", 14},
    {"forte", 15},   {"chainer", 16}, {"audition", 17}, {"orion", 18},    {"sawstudio", 20},
};
}  // namespace

HostKind HostKindFromName(const char* productText) {
  char lowered[256];
  size_t length = 0;
  if (productText) {
    for (; productText[length] && length + 1 < sizeof lowered; ++length) {
      lowered[length] = char(std::tolower(static_cast<unsigned char>(productText[length])));
    }
  }
  lowered[length] = 0;
  for (const HostName& name : kHostNames) {
    if (std::strstr(lowered, name.text)) return name.kind;
  }
  return kHostUnknown;
}
