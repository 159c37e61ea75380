#include "ParameterMap.h"

#include "Failure.h"
#include "PluginHost.h"
#include "TextAndFiles.h"

#include <cmath>
#include <cstdlib>

namespace {

bool ParseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end && *end == '\0' && std::isfinite(value);
}

std::string Plain(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

}  // namespace

ParameterMap::ParameterMap(PluginHost& host) : mHost(host) {
  for (int i = 0; i < host.ParameterCount(); ++i) {
    HostParameter p;
    p.index = i;
    p.name = host.ParameterName(i);
    std::string low = host.DisplayOfNormalised(i, 0.0f);
    std::string high = host.DisplayOfNormalised(i, 1.0f);
    p.isSwitch = low == "off" && high == "on";
    if (!p.isSwitch) {
      p.hasRange = ParseNumber(low, p.minimum) && ParseNumber(high, p.maximum) &&
                   p.maximum > p.minimum;
      if (!p.hasRange) {
        p.minimum = 0.0;
        p.maximum = 1.0;
      }
    }
    mParameters.push_back(p);
  }
}

std::string ParameterMap::ValidNames() const {
  std::string names;
  for (const HostParameter& p : mParameters) {
    if (!names.empty()) names += ", ";
    names += "\"" + p.name + "\"";
  }
  return names;
}

const HostParameter& ParameterMap::Find(const std::string& name) const {
  std::string wanted = LowerCase(name);
  for (const HostParameter& p : mParameters) {
    if (LowerCase(p.name) == wanted) return p;
  }
  Fail(kExitParameter, "unknown parameter \"" + name + "\"; valid names: " + ValidNames());
}

float ParameterMap::Normalise(const HostParameter& p, const std::string& text) const {
  std::string value = LowerCase(text);
  if (p.isSwitch) {
    if (value == "on" || value == "1") return 1.0f;
    if (value == "off" || value == "0") return 0.0f;
    Fail(kExitParameter, "parameter \"" + p.name + "\": \"" + text + "\" is not on or off");
  }
  double v;
  if (!ParseNumber(text, v)) {
    Fail(kExitParameter, "parameter \"" + p.name + "\": \"" + text + "\" is not a number");
  }
  if (v < p.minimum || v > p.maximum) {
    Fail(kExitParameter, "parameter \"" + p.name + "\": " + text + " is outside its range " +
                             Plain(p.minimum) + " to " + Plain(p.maximum));
  }
  double normalised = (v - p.minimum) / (p.maximum - p.minimum);
  return float(std::fmin(1.0, std::fmax(0.0, normalised)));
}

void ParameterMap::Apply(const std::string& setting) {
  size_t eq = setting.find('=');
  if (eq == std::string::npos || eq == 0) {
    Fail(kExitUsage, "--set \"" + setting + "\": expected NAME=VALUE");
  }
  const HostParameter& p = Find(setting.substr(0, eq));
  mHost.SetParameter(p.index, Normalise(p, setting.substr(eq + 1)));
}
