#pragma once

#include <QString>

// An output written beside its target under a temporary name and renamed into
// place only when complete, so a failed run never leaves a half-written file.
class OutputFile {
public:
    OutputFile(const QString &target, bool force);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Creates the empty temporary file; refuses an existing target without force.
    bool prepare(QString *error);
    QString temporaryPath() const { return m_temporary; }
    // Flushes the temporary file to disk and renames it over the target.
    bool commit(QString *error);
    // Removes the temporary file and any journal SQLite left beside it.
    void discard();

private:
    QString m_target;
    QString m_temporary;
    bool m_force;
    bool m_committed = false;
};
