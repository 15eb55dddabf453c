#pragma once

#include "app/Camera.h"

#include <QList>
#include <QString>

#include <map>

class Database;

// The compiled-in catalogue of camera families and firmware versions, and the loading
// of the factory data (key events, actions, camera dialogs) of one family and preset
// version. Owns its cameras.
class CameraCatalogue {
public:
    using Cameras = std::map<tarvik_camera_t, Camera *>;

    enum class FactorySource {
        CompiledScripts, // release builds: the SQL scripts in the resources
        PreparedFiles, // engineering builds: the .db files beside the program
    };

    CameraCatalogue() = default;
    ~CameraCatalogue();
    CameraCatalogue(const CameraCatalogue &) = delete;
    CameraCatalogue &operator=(const CameraCatalogue &) = delete;

    // The families and firmware versions the editor supports.
    void addSupportedCameras();

    void addCamera(tarvik_camera_t type, const QString &displayName, const QString &directoryName);
    void addCameraVersion(tarvik_camera_t type, int presetVersion, const QString &versionText);

    const Cameras &cameras() const { return m_cameras; }
    // Null when the family is not in the catalogue.
    const Camera *camera(tarvik_camera_t type) const;
    // The families that list the preset version, in ascending order.
    QList<tarvik_camera_t> camerasWithPresetVersion(int presetVersion) const;

    bool presetVersionIsValid(tarvik_camera_t type, int presetVersion) const;
    // Byte-wise, case-sensitive lookup of a family text as presets store it.
    tarvik_camera_t tarvikCameraType(const char *text) const;
    QString tarvikCameraString(tarvik_camera_t type) const;
    // "Tano/Brisola 5.2.x, 5.3.x": the family's firmware versions that write the preset version.
    QString getCameraVersionString(tarvik_camera_t type, int presetVersion) const;

    // A new factory database; never null, owned by the caller, who tests isOpen().
    // The source follows the build: compiled-in scripts in release builds.
    Database *createFactory(tarvik_camera_t type, int presetVersion) const;
    Database *createFactory(tarvik_camera_t type, int presetVersion, FactorySource source) const;

private:
    Database *createFactoryFromScript(tarvik_camera_t type, int presetVersion) const;
    Database *createFactoryFromFile(tarvik_camera_t type, int presetVersion) const;

    Cameras m_cameras;
};
