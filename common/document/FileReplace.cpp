#include "document/FileReplace.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace FileReplace {

bool syncAndReplace(const QString &from, const QString &to, QString *error)
{
#ifdef Q_OS_WIN
    if (!MoveFileExW(reinterpret_cast<const wchar_t *>(from.utf16()), reinterpret_cast<const wchar_t *>(to.utf16()),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (error)
            *error = QStringLiteral("error %1").arg(GetLastError());
        return false;
    }
    return true;
#else
    auto failed = [error](const char *what) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    };
    const QByteArray fromPath = QFile::encodeName(from);
    const int fd = ::open(fromPath.constData(), O_RDONLY);
    if (fd < 0)
        return failed("open");
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (!synced)
        return failed("fsync");
    if (std::rename(fromPath.constData(), QFile::encodeName(to).constData()) != 0)
        return failed("rename");
    // Make the rename itself durable; a failure here does not undo it.
    const int dir = ::open(QFile::encodeName(QFileInfo(to).absolutePath()).constData(), O_RDONLY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
#endif
}

} // namespace FileReplace
