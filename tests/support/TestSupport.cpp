#include "TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtGlobal>

namespace {
QStringList *captured = nullptr;
QtMessageHandler previous = nullptr;

void handler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (captured)
        captured->append(message);
}
} // namespace

LogCapture::LogCapture()
{
    captured = new QStringList;
    previous = qInstallMessageHandler(handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(previous);
    delete captured;
    captured = nullptr;
}

QStringList LogCapture::lines() const
{
    return *captured;
}

QStringList LogCapture::messages(const QString &type) const
{
    QStringList result;
    const QString prefix = type + QLatin1Char('\t');
    for (const QString &line : *captured) {
        if (!line.startsWith(prefix))
            continue;
        const int dash = line.indexOf(QLatin1String(" - "));
        result.append(dash < 0 ? line : line.mid(dash + 3));
    }
    return result;
}

bool LogCapture::contains(const QString &type, const QString &text) const
{
    for (const QString &m : messages(type))
        if (m.contains(text))
            return true;
    return false;
}

void LogCapture::clear()
{
    captured->clear();
}

namespace TestSupport {

int runVekpreset(const QStringList &arguments, QString *out, QString *err)
{
    QProcess process;
    process.start(QStringLiteral(VEKPRESET_PATH), arguments);
    if (!process.waitForFinished(60000))
        return -1;
    if (out)
        *out = QString::fromUtf8(process.readAllStandardOutput());
    if (err)
        *err = QString::fromUtf8(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

bool buildPreset(const QString &sql, const QString &path)
{
    QTemporaryDir dir;
    const QString sqlPath = dir.filePath(QStringLiteral("fixture.sql"));
    QFile file(sqlPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(sql.toUtf8()) < 0)
        return false;
    file.close();
    return runVekpreset({QStringLiteral("build"), QStringLiteral("--force"), sqlPath, path}) == 0;
}

QString sourceDir()
{
    return QStringLiteral(VEK_SOURCE_DIR);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QString binaryDir()
{
    return QStringLiteral(VEK_BINARY_DIR);
}

} // namespace TestSupport
