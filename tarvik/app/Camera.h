#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// Camera families. The enumerator names are stored in presets, so they are part of
// the file format.
enum tarvik_camera_t {
    TARVIK_CAMERA_TANO_BRISOLA = 0,
    TARVIK_CAMERA_DUROMA = 1,
    TARVIK_CAMERA_INVALID = 2,
};

// One camera family: its names and the firmware versions it supports, each with the
// preset version number that firmware writes.
class Camera {
public:
    using Version = QPair<int, QString>;

    Camera() = default;

    tarvik_camera_t cameraType() const { return m_cameraType; }
    QString displayName() const { return m_displayName; }
    QString directoryName() const { return m_directoryName; }
    void setCameraType(tarvik_camera_t type) { m_cameraType = type; }
    void setDisplayName(const QString &name) { m_displayName = name; }
    void setDirectoryName(const QString &name) { m_directoryName = name; }

    void addVersion(int presetVersion, const QString &versionText);
    unsigned supportedVersionCount() const { return unsigned(m_versions.size()); }
    // (0, "") for an index at or beyond the count.
    Version version(unsigned index) const;
    bool supportsPresetVersion(int presetVersion) const;

    // Paths relative to the executable's directory, which is the current directory.
    QString factoryPath(int presetVersion) const;
    QString templateDirectory(const QString &versionText) const;

private:
    tarvik_camera_t m_cameraType = TARVIK_CAMERA_TANO_BRISOLA;
    QString m_displayName;
    QString m_directoryName;
    QList<Version> m_versions;
};

// The family stored as an item's user data in the dialogs' camera lists; invalid
// data is logged (naming `function` and the item's `index`) and gives family 0.
tarvik_camera_t cameraTypeFromItemData(const QVariant &data, int index, const QString &function);
