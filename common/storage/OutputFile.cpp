#include "storage/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifndef _WIN32
bool syncPath(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}
#endif

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

OutputFile::OutputFile(const QString &target, bool force)
    : m_target(target)
    , m_force(force)
{
}

OutputFile::~OutputFile()
{
    if (!m_committed)
        discard();
}

bool OutputFile::prepare(QString *error)
{
    const QFileInfo target(m_target);
    if (target.isDir()) {
        *error = QStringLiteral("%1 is a directory").arg(m_target);
        return false;
    }
    if (target.exists() && !m_force) {
        *error = QStringLiteral("%1 already exists (use --force to replace it)").arg(m_target);
        return false;
    }
    const QString folder = target.absolutePath();
    if (!QDir(folder).exists()) {
        *error = QStringLiteral("the folder %1 does not exist").arg(folder);
        return false;
    }

    // In the target's folder, so the final rename never crosses file systems; the
    // target's extension stays last, so the copy is still recognised as a preset.
    const QString suffix = target.suffix().isEmpty() ? QString() : QLatin1Char('.') + target.suffix();
    QTemporaryFile temporary(QStringLiteral("%1/.%2.XXXXXX%3").arg(folder, target.completeBaseName(), suffix));
    temporary.setAutoRemove(false);
    if (!temporary.open()) {
        *error = QStringLiteral("cannot create a temporary file in %1: %2").arg(folder, temporary.errorString());
        return false;
    }
    m_temporary = temporary.fileName();
    temporary.close();
#ifndef _WIN32
    // QTemporaryFile creates 0600; a preset gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(QFile::encodeName(m_temporary).constData(), 0666 & ~mask);
#endif
    return true;
}

bool OutputFile::commit(QString *error)
{
#ifndef _WIN32
    if (!syncPath(m_temporary)) {
        *error = QStringLiteral("cannot flush %1: %2").arg(m_temporary, systemError());
        return false;
    }
    const QByteArray from = QFile::encodeName(m_temporary);
    const QByteArray to = QFile::encodeName(m_target);
    if (m_force) {
        if (::rename(from.constData(), to.constData()) != 0) {
            *error = QStringLiteral("cannot replace %1: %2").arg(m_target, systemError());
            return false;
        }
    } else if (::link(from.constData(), to.constData()) == 0) {
        // A hard link fails atomically when the target appeared in the meantime.
        ::unlink(from.constData());
    } else if (errno == EEXIST) {
        *error = QStringLiteral("%1 already exists (use --force to replace it)").arg(m_target);
        return false;
    } else if (QFileInfo::exists(m_target) || ::rename(from.constData(), to.constData()) != 0) {
        *error = QStringLiteral("cannot create %1: %2").arg(m_target, systemError());
        return false;
    }
    syncPath(QFileInfo(m_target).absolutePath());
#else
    // One step: the target keeps its old content if the move fails.
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (m_force ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(reinterpret_cast<const wchar_t *>(m_temporary.utf16()),
            reinterpret_cast<const wchar_t *>(m_target.utf16()), flags)) {
        *error = QStringLiteral("cannot create %1 (error %2)").arg(m_target).arg(GetLastError());
        return false;
    }
#endif
    m_committed = true;
    return true;
}

void OutputFile::discard()
{
    if (m_temporary.isEmpty())
        return;
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(m_temporary + QLatin1String(suffix));
}
