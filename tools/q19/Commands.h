#pragma once
#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

int RunRender(const Arguments& args);
int RunDemo(const Arguments& args);
int RunInfo(const Arguments& args);
int RunTables(const Arguments& args);
int RunPresetSave(const Arguments& args);

extern const char* const kUsage;
