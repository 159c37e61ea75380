#pragma once
#include <string>

// q19 reports every failure as one line on stderr and an exit code that says which kind of
// thing was at fault; the codes are listed by `q19 --help`.
enum ExitCode {
  kExitOk = 0,
  kExitUsage = 2,      // unknown command or option, missing or malformed argument
  kExitInput = 3,      // input audio file missing, unreadable, unsupported or out of limits
  kExitOutput = 4,     // output path cannot be written, or output type not supported
  kExitPlugin = 5,     // plug-in binary cannot be loaded or does not behave as a plug-in
  kExitParameter = 6,  // unknown parameter name or value outside the parameter's range
  kExitPreset = 7,     // preset file unreadable, damaged, or made for another plug-in
};

struct Failure {
  int code;
  std::string message;
};

[[noreturn]] inline void Fail(int code, std::string message) {
  throw Failure{code, std::move(message)};
}
