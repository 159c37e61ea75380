#include "Options.h"

#include "Failure.h"
#include "TextAndFiles.h"

#include <cerrno>
#include <cstdlib>

Options::Options(const std::vector<std::string>& args, const std::set<std::string>& switches,
                 const std::set<std::string>& valued) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
      mPositional.push_back(arg);
      continue;
    }
    std::string name = arg.substr(2), value;
    size_t eq = name.find('=');
    bool inlineValue = eq != std::string::npos;
    if (inlineValue) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
    }
    if (switches.count(name) && !inlineValue) {
      mValues[name].push_back("");
    } else if (valued.count(name)) {
      if (!inlineValue) {
        if (i + 1 >= args.size()) Fail(kExitUsage, "option --" + name + " needs a value");
        value = args[++i];
      }
      mValues[name].push_back(value);
    } else {
      Fail(kExitUsage, "unknown option '" + arg + "' (try q19 --help)");
    }
  }
}

std::string Options::Value(const std::string& name, const std::string& fallback) const {
  auto it = mValues.find(name);
  return it == mValues.end() ? fallback : it->second.back();
}

std::vector<std::string> Options::Values(const std::string& name) const {
  auto it = mValues.find(name);
  return it == mValues.end() ? std::vector<std::string>() : it->second;
}

void Options::ExpectPositional(size_t count, const std::string& what) const {
  if (mPositional.size() < count) Fail(kExitUsage, "missing " + what + " (try q19 --help)");
  if (mPositional.size() > count) {
    Fail(kExitUsage, "unexpected argument '" + mPositional[count] + "' (try q19 --help)");
  }
}

std::string Options::Voicing() const {
  std::string voicing = LowerCase(Value("voicing", "lum"));
  if (voicing != "lum" && voicing != "dar") {
    Fail(kExitUsage, "--voicing '" + Value("voicing") + "': expected lum or dar");
  }
  return voicing;
}

int Options::IntegerIn(const std::string& name, int fallback, int low, int high) const {
  if (!Has(name)) return fallback;
  std::string text = Value(name);
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || v < low || v > high) {
    Fail(kExitUsage, "--" + name + " '" + text + "': expected a whole number from " +
                         std::to_string(low) + " to " + std::to_string(high));
  }
  return int(v);
}
