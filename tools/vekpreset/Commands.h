#pragma once

#include <QString>

// The tool's commands. Each returns the process exit code: 0 success,
// 1 failure (message on standard error).
namespace Commands {
int build(const QString &sqlPath, const QString &outPath, bool force);
int dump(const QString &path);
int encrypt(const QString &inPath, const QString &outPath, bool force);
int decrypt(const QString &inPath, const QString &outPath, bool force);
int check(const QString &path);
} // namespace Commands
