#pragma once

#include <QString>

namespace FileReplace {
// Flushes `from` to the disk and renames it over `to` in one step, so that `to`
// holds either its old or its new content whatever happens. False with a reason.
bool syncAndReplace(const QString &from, const QString &to, QString *error);
}
