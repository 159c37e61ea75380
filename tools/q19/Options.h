#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

// Command-line options of one command: switches (--quiet), options with a value
// (--block 256 or --block=256, repeatable ones collect every value) and positional arguments.
class Options {
public:
  Options(const std::vector<std::string>& args, const std::set<std::string>& switches,
          const std::set<std::string>& valued);  // throws Failure (kExitUsage)

  bool Has(const std::string& name) const { return mValues.count(name) > 0; }
  std::string Value(const std::string& name, const std::string& fallback = "") const;
  std::vector<std::string> Values(const std::string& name) const;
  const std::vector<std::string>& Positional() const { return mPositional; }

  // Common checks with their messages.
  void ExpectPositional(size_t count, const std::string& what) const;
  std::string Voicing() const;  // "lum" or "dar"
  int IntegerIn(const std::string& name, int fallback, int low, int high) const;

private:
  std::map<std::string, std::vector<std::string>> mValues;
  std::vector<std::string> mPositional;
};
