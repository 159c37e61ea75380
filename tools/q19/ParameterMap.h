#pragma once
#include <string>
#include <vector>

class PluginHost;

// The plug-in's parameters as q19's users name them: by name, case-insensitively, with plain
// values in each parameter's own range, or on/off for the switches. The plug-in shows only
// normalised values to a host, so the range comes from its display texts of 0 and 1.
struct HostParameter {
  int index = 0;
  std::string name;
  bool isSwitch = false;    // displays "off" at 0 and "on" at 1
  bool hasRange = false;    // its ends display as numbers
  double minimum = 0.0;
  double maximum = 1.0;
};

class ParameterMap {
public:
  explicit ParameterMap(PluginHost& host);

  const std::vector<HostParameter>& Parameters() const { return mParameters; }
  // The parameter of that name (any case); throws Failure listing the valid names.
  const HostParameter& Find(const std::string& name) const;
  // Normalised value for a user's text; throws Failure naming the parameter and its range.
  float Normalise(const HostParameter& parameter, const std::string& text) const;
  // Applies one "NAME=VALUE" setting to the plug-in.
  void Apply(const std::string& setting);

  std::string ValidNames() const;

private:
  PluginHost& mHost;
  std::vector<HostParameter> mParameters;
};
