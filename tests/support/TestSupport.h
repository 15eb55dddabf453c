#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Collects the lines written to the toolkit's debug output while alive.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines() const;
    // Lines of the given type word ("ERROR", "WARNING", "INFO", "START"), each
    // reduced to what follows " - " (function part and message).
    QStringList messages(const QString &type) const;
    bool contains(const QString &type, const QString &text) const;
    void clear();
};

namespace TestSupport {
// Runs the built vekpreset tool; returns its exit code, standard output in *out.
int runVekpreset(const QStringList &arguments, QString *out = nullptr, QString *err = nullptr);
// Builds a preset at `path` from SQL text through vekpreset; true on success.
bool buildPreset(const QString &sql, const QString &path);
QString sourceDir();
// A file's bytes; empty when it cannot be read.
QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &bytes);
QString binaryDir();
}
