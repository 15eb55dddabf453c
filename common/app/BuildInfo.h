#pragma once

// Build identity of the program the common library is linked into. Each program
// (and each test executable) defines these once, from its CMake options.
namespace BuildInfo {
extern const char applicationName[];
// Empty in engineering builds: logging on, title suffix, prepared factory files.
extern const char versionText[];
extern const char buildNumber[];
// Whether Logger::logInfo writes (a per-program level switch).
extern const bool infoLogging;

inline bool isReleaseBuild() { return versionText[0] != '\0'; }
}
