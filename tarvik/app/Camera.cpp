#include "app/Camera.h"

#include "app/Logger.h"

void Camera::addVersion(int presetVersion, const QString &versionText)
{
    m_versions.append(Version(presetVersion, versionText));
}

Camera::Version Camera::version(unsigned index) const
{
    if (index >= supportedVersionCount())
        return Version(0, QString());
    return m_versions.at(int(index));
}

bool Camera::supportsPresetVersion(int presetVersion) const
{
    for (const Version &version : m_versions)
        if (version.first == presetVersion)
            return true;
    return false;
}

QString Camera::factoryPath(int presetVersion) const
{
    return QStringLiteral("../Resources/databases/")
        + QStringLiteral("%1/factory%2.db").arg(m_directoryName).arg(presetVersion);
}

QString Camera::templateDirectory(const QString &versionText) const
{
    return QStringLiteral("../Resources/templates/") + m_directoryName + QLatin1Char('/') + versionText;
}

tarvik_camera_t cameraTypeFromItemData(const QVariant &data, int index, const QString &function)
{
    bool ok = false;
    const int type = data.toInt(&ok);
    if (!data.isValid() || !ok) {
        Logger::logError(QStringLiteral("Camera type data is invalid at index %1").arg(index), function);
        return TARVIK_CAMERA_TANO_BRISOLA;
    }
    return tarvik_camera_t(type);
}
