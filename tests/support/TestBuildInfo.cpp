#include "app/BuildInfo.h"

// Tests run as an engineering build with every level on, so log lines can be checked.
namespace BuildInfo {
const char applicationName[] = "VEK Test";
const char versionText[] = "";
const char buildNumber[] = "";
const bool infoLogging = true;
}
