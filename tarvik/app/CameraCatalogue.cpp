#include "app/CameraCatalogue.h"

#include "app/BuildInfo.h"
#include "app/Logger.h"
#include "storage/Database.h"

#include <QFile>
#include <QTextStream>

#include <cstring>
#include <utility>

namespace {

// The texts presets store for each family.
const std::pair<tarvik_camera_t, const char *> cameraTypeTexts[] = {
    {TARVIK_CAMERA_TANO_BRISOLA, "TARVIK_CAMERA_TANO_BRISOLA"},
    {TARVIK_CAMERA_DUROMA, "TARVIK_CAMERA_DUROMA"},
};

QString noCamerasMessage(tarvik_camera_t type)
{
    return QStringLiteral("There are no cameras of type %1").arg(int(type));
}

} // namespace

CameraCatalogue::~CameraCatalogue()
{
    for (auto &entry : m_cameras)
        delete entry.second;
}

void CameraCatalogue::addSupportedCameras()
{
    addCamera(TARVIK_CAMERA_TANO_BRISOLA, QStringLiteral("Tano/Brisola"), QStringLiteral("tano_brisola"));
    addCameraVersion(TARVIK_CAMERA_TANO_BRISOLA, 5, QStringLiteral("4.0.x"));
    addCameraVersion(TARVIK_CAMERA_TANO_BRISOLA, 9, QStringLiteral("5.1.x"));
    addCameraVersion(TARVIK_CAMERA_TANO_BRISOLA, 10, QStringLiteral("5.2.x"));
    addCameraVersion(TARVIK_CAMERA_TANO_BRISOLA, 10, QStringLiteral("5.3.x"));
    addCameraVersion(TARVIK_CAMERA_TANO_BRISOLA, 15, QStringLiteral("6.0.x"));
    addCameraVersion(TARVIK_CAMERA_TANO_BRISOLA, 16, QStringLiteral("6.1.x"));
    addCameraVersion(TARVIK_CAMERA_TANO_BRISOLA, 16, QStringLiteral("6.2.x"));
    addCameraVersion(TARVIK_CAMERA_TANO_BRISOLA, 16, QStringLiteral("6.3.x"));
    addCameraVersion(TARVIK_CAMERA_TANO_BRISOLA, 16, QStringLiteral("6.4.x"));

    addCamera(TARVIK_CAMERA_DUROMA, QStringLiteral("DUROMA"), QStringLiteral("duroma"));
    addCameraVersion(TARVIK_CAMERA_DUROMA, 16, QStringLiteral("6.1.x"));
    addCameraVersion(TARVIK_CAMERA_DUROMA, 16, QStringLiteral("6.2.x"));
    addCameraVersion(TARVIK_CAMERA_DUROMA, 16, QStringLiteral("6.3.x"));
    addCameraVersion(TARVIK_CAMERA_DUROMA, 16, QStringLiteral("6.4.x"));
}

void CameraCatalogue::addCamera(tarvik_camera_t type, const QString &displayName, const QString &directoryName)
{
    // Each family is added once; a second call would leak the first camera.
    if (m_cameras.count(type))
        return;
    auto *camera = new Camera;
    camera->setCameraType(type);
    camera->setDisplayName(displayName);
    camera->setDirectoryName(directoryName);
    m_cameras[type] = camera;
}

void CameraCatalogue::addCameraVersion(tarvik_camera_t type, int presetVersion, const QString &versionText)
{
    auto it = m_cameras.find(type);
    if (it == m_cameras.end()) {
        Logger::logError(noCamerasMessage(type),
            QStringLiteral("CameraCatalogue::addCameraVersion(tarvik_camera_t, int, const QString&)"));
        return;
    }
    it->second->addVersion(presetVersion, versionText);
}

const Camera *CameraCatalogue::camera(tarvik_camera_t type) const
{
    auto it = m_cameras.find(type);
    return it == m_cameras.end() ? nullptr : it->second;
}

QList<tarvik_camera_t> CameraCatalogue::camerasWithPresetVersion(int presetVersion) const
{
    QList<tarvik_camera_t> result;
    for (const auto &entry : m_cameras)
        if (entry.second->supportsPresetVersion(presetVersion))
            result.append(entry.first);
    return result;
}

bool CameraCatalogue::presetVersionIsValid(tarvik_camera_t type, int presetVersion) const
{
    const Camera *found = camera(type);
    if (!found) {
        Logger::logError(
            noCamerasMessage(type), QStringLiteral("CameraCatalogue::presetVersionIsValid(tarvik_camera_t, int)"));
        return false;
    }
    return found->supportsPresetVersion(presetVersion);
}

tarvik_camera_t CameraCatalogue::tarvikCameraType(const char *text) const
{
    if (!text)
        return TARVIK_CAMERA_INVALID;
    for (const auto &[type, typeText] : cameraTypeTexts)
        if (std::strcmp(text, typeText) == 0)
            return type;
    return TARVIK_CAMERA_INVALID;
}

QString CameraCatalogue::tarvikCameraString(tarvik_camera_t type) const
{
    for (const auto &[tableType, typeText] : cameraTypeTexts)
        if (tableType == type)
            return QString::fromLatin1(typeText);
    return QString();
}

QString CameraCatalogue::getCameraVersionString(tarvik_camera_t type, int presetVersion) const
{
    QString result;
    const Camera *found = camera(type);
    if (!found) {
        Logger::logError(
            noCamerasMessage(type), QStringLiteral("CameraCatalogue::getCameraVersionString(tarvik_camera_t, int)"));
        return result;
    }
    for (unsigned i = 0; i < found->supportedVersionCount(); ++i) {
        const Camera::Version version = found->version(i);
        if (version.first != presetVersion)
            continue;
        if (result.isEmpty())
            result = found->displayName() + QLatin1Char(' ') + version.second;
        else
            result += QStringLiteral(", ") + version.second;
    }
    return result;
}

Database *CameraCatalogue::createFactory(tarvik_camera_t type, int presetVersion) const
{
    return createFactory(type, presetVersion,
        BuildInfo::isReleaseBuild() ? FactorySource::CompiledScripts : FactorySource::PreparedFiles);
}

Database *CameraCatalogue::createFactory(tarvik_camera_t type, int presetVersion, FactorySource source) const
{
    if (source == FactorySource::CompiledScripts)
        return createFactoryFromScript(type, presetVersion);
    return createFactoryFromFile(type, presetVersion);
}

Database *CameraCatalogue::createFactoryFromScript(tarvik_camera_t type, int presetVersion) const
{
    const QString function = QStringLiteral("CameraCatalogue::createFactory(tarvik_camera_t, int)");
    auto *factory = new Database(QStringLiteral(":memory:"), true, 6);
    if (!factory->isOpen()) {
        Logger::logError(QStringLiteral("Unable to open in-memory factory database."), function);
        return factory;
    }

    QString directory;
    if (type == TARVIK_CAMERA_TANO_BRISOLA)
        directory = QStringLiteral("tano-databases");
    else if (type == TARVIK_CAMERA_DUROMA)
        directory = QStringLiteral("duroma-databases");
    else
        Logger::logError(QStringLiteral("Unable to create factory. Invalid camera type specified."), function);

    const QString resourceName = QStringLiteral(":/%1/factory%2").arg(directory).arg(presetVersion);
    QFile script(resourceName);
    if (!script.open(QIODevice::ReadOnly | QIODevice::Text)) {
        factory->close();
        Logger::logError(QStringLiteral("Unable to open database file \"%1\"").arg(resourceName), function);
        return factory;
    }

    // One statement per line; a failing line is logged by the database and the rest still loads.
    QTextStream stream(&script);
    while (!stream.atEnd()) {
        const QString line = stream.readLine();
        if (!line.trimmed().isEmpty())
            factory->executeQuery(line);
    }
    script.close();
    return factory;
}

Database *CameraCatalogue::createFactoryFromFile(tarvik_camera_t type, int presetVersion) const
{
    const QString function = QStringLiteral("CameraCatalogue::createFactory(tarvik_camera_t, int)");
    QString path;
    if (const Camera *found = camera(type))
        path = found->factoryPath(presetVersion);
    else
        Logger::logError(noCamerasMessage(type), function);

    auto *factory = new Database(path, true, 1);
    if (!factory->isOpen())
        Logger::logError(QStringLiteral("Unable to open database \"%1\"").arg(path), function);
    return factory;
}
