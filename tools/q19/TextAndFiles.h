#pragma once
#include <string>

// ASCII lower case: parameter names, options and file extensions compare without case.
std::string LowerCase(std::string text);

// Outputs are written to a temporary file beside their path and moved into place only when
// complete, so that a failed command leaves no partial file behind.
std::string TemporaryPathBeside(const std::string& path);
// Renames temp to path; on failure removes temp and throws Failure (kExitOutput).
void MoveIntoPlace(const std::string& temp, const std::string& path);
