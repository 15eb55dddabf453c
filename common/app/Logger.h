#pragma once

#include <QString>

// The one diagnostic channel: tab-separated, time-stamped lines on the toolkit's
// debug output. Release builds (non-empty version text) write nothing.
class Logger
{
public:
    static void startupMessage();
    static void logInfo(const QString &message, const QString &function);
    static void logWarning(const QString &message, const QString &function);
    static void logError(const QString &message, const QString &function);
    static void logDebug(const QString &message, const QString &function);
    static void printMessage(const QString &type, const QString &message, const QString &function);
    // Fills a buffer of at least 30 bytes with the current local time.
    static void constructTimeStr(char *buffer);

    // Tests switch the build-time levels to exercise both programs' behaviour.
    static void setSwitchesForTesting(bool logMessages, bool infoLevel);

private:
    static bool logMessages;
    static bool infoLevel;
};
