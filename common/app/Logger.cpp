#include "app/Logger.h"

#include "app/BuildInfo.h"

#include <QCoreApplication>
#include <QtDebug>

#include <ctime>

bool Logger::logMessages = QStringLiteral("%1").arg(QLatin1String(BuildInfo::versionText)).isEmpty();
bool Logger::infoLevel = BuildInfo::infoLogging;

void Logger::startupMessage()
{
    printMessage(QStringLiteral("START"), QStringLiteral("%1 starting").arg(QCoreApplication::applicationName()), QString());
    printMessage(QStringLiteral("START"),
                 QStringLiteral("Logger currently showing:%1%2%3%4")
                     .arg(infoLevel ? QStringLiteral(" [INFO]") : QString(), QStringLiteral(" [WARNINGS]"),
                          QStringLiteral(" [ERRORS]"), QStringLiteral(" [DEBUG]")),
                 QString());
}

void Logger::logInfo(const QString &message, const QString &function)
{
    if (infoLevel)
        printMessage(QStringLiteral("INFO"), message, function);
}

void Logger::logWarning(const QString &message, const QString &function)
{
    printMessage(QStringLiteral("WARNING"), message, function);
}

void Logger::logError(const QString &message, const QString &function)
{
    printMessage(QStringLiteral("ERROR"), message, function);
}

void Logger::logDebug(const QString &, const QString &)
{
    // Debug lines are compiled out in both programs.
}

void Logger::printMessage(const QString &type, const QString &message, const QString &function)
{
    if (!logMessages)
        return;
    char timeStr[30];
    constructTimeStr(timeStr);
    const QString functionPart = function.isEmpty() ? QString() : QStringLiteral("%1: ").arg(function);
    qDebug("%s\t%s - %s%s", type.toUtf8().constData(), timeStr, functionPart.toUtf8().constData(),
           message.toUtf8().constData());
}

void Logger::constructTimeStr(char *buffer)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    if (std::strftime(buffer, 30, "%m/%d/%Y %I:%M:%S %p", &local) == 0)
        buffer[0] = '\0';
}

void Logger::setSwitchesForTesting(bool messages, bool info)
{
    logMessages = messages;
    infoLevel = info;
}
