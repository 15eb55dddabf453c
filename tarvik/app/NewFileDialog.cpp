#include "app/NewFileDialog.h"

#include "app/ComboBox.h"
#include "app/Logger.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QSpacerItem>
#include <QStandardItemModel>

namespace {
// The family under Qt::UserRole; on a camera item the next role keeps the row of the
// version last chosen for that family.
constexpr int versionRowRole = Qt::UserRole + 1;
const QString defaultFirmware = QStringLiteral("6.4.x");
} // namespace

NewFileDialog::NewFileDialog(const std::map<tarvik_camera_t, Camera *> &cameras, QWidget *parent)
    : QDialog(parent)
    , m_descriptionLabel(new QLabel(tr("Select the properties for this preset:"), this))
    , m_cameraLabel(new QLabel(tr("Camera:"), this))
    , m_versionLabel(new QLabel(tr("Version:"), this))
    , m_templateLabel(new QLabel(tr("Template:"), this))
    , m_cameraCombo(new ComboBox)
    , m_versionCombo(new ComboBox)
    , m_templateCombo(new ComboBox)
    , m_buttonBox(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this))
    , m_layout(new QGridLayout)
{
    const QString function
        = QStringLiteral("NewFileDialog::NewFileDialog(const std::map<tarvik_camera_t, Camera*>&, QWidget*)");
    m_descriptionLabel->setWordWrap(true);

    populateData(cameras);

    const QModelIndexList families = m_cameraModel->match(
        m_cameraModel->index(0, 0), Qt::UserRole, int(TARVIK_CAMERA_TANO_BRISOLA), 1, Qt::MatchExactly);
    if (families.isEmpty())
        Logger::logWarning(
            QStringLiteral("Unable to set the default camera type to %1").arg(int(TARVIK_CAMERA_TANO_BRISOLA)),
            function);
    else
        m_cameraCombo->setCurrentIndex(families.first().row());

    updateVersionList(currentCameraType());

    const int defaultRow = m_versionCombo->findText(defaultFirmware, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (defaultRow < 0) {
        Logger::logWarning(QStringLiteral("Unable to set the default firmware version to %1 for camera type %2")
                               .arg(defaultFirmware)
                               .arg(int(currentCameraType())),
            function);
    } else {
        m_versionCombo->setCurrentIndex(defaultRow);
        versionComboIndexChanged(m_versionCombo->currentText());
    }

    constructUI();

    connect(m_buttonBox, &QDialogButtonBox::accepted, this, &NewFileDialog::dialogAccepted);
    connect(m_buttonBox, &QDialogButtonBox::rejected, this, &NewFileDialog::reject);
    connect(m_cameraCombo, &QComboBox::currentIndexChanged, this, &NewFileDialog::cameraComboIndexChanged);
    connect(m_versionCombo, &QComboBox::currentIndexChanged, this,
        [this] { versionComboIndexChanged(m_versionCombo->currentText()); });
}

tarvik_camera_t NewFileDialog::currentCameraType() const
{
    return cameraType(m_cameraCombo->currentIndex());
}

QString NewFileDialog::currentFirmwareVersion(int *presetVersion) const
{
    if (presetVersion) {
        const int row = m_versionCombo->currentIndex();
        const QVariant data = m_versionCombo->itemData(row, Qt::UserRole);
        bool ok = false;
        const int version = data.toInt(&ok);
        if (data.isValid() && ok) {
            *presetVersion = version;
        } else {
            *presetVersion = 0;
            Logger::logError(QStringLiteral("The preset version for index %1 is invalid.").arg(row),
                QStringLiteral("NewFileDialog::currentFirmwareVersion(int*)"));
        }
    }
    return m_versionCombo->currentText();
}

QString NewFileDialog::currentTemplate() const
{
    return m_templateCombo->currentText();
}

void NewFileDialog::cameraComboIndexChanged(int index)
{
    // Read before the version list changes: replacing its model reports a new row.
    const QVariant remembered = m_cameraCombo->itemData(index, versionRowRole);
    updateVersionList(cameraType(index));

    bool ok = false;
    const int row = remembered.toInt(&ok);
    if (remembered.isValid() && ok && row >= 0 && row < m_versionCombo->count()) {
        m_versionCombo->setCurrentIndex(row);
        versionComboIndexChanged(m_versionCombo->currentText());
    }
}

void NewFileDialog::versionComboIndexChanged(const QString &version)
{
    m_cameraCombo->setItemData(m_cameraCombo->currentIndex(), m_versionCombo->currentIndex(), versionRowRole);
    updateTemplateList(currentCameraType(), version);
}

tarvik_camera_t NewFileDialog::cameraType(int index) const
{
    return cameraTypeFromItemData(
        m_cameraCombo->itemData(index, Qt::UserRole), index, QStringLiteral("NewFileDialog::cameraType(int)"));
}

void NewFileDialog::updateVersionList(tarvik_camera_t type)
{
    auto it = m_versionModels.find(type);
    if (it == m_versionModels.end()) {
        Logger::logError(QStringLiteral("There is no firmware version data for camera type %1").arg(int(type)),
            QStringLiteral("NewFileDialog::updateVersionList(tarvik_camera_t)"));
        return;
    }
    m_versionCombo->setModel(it->second);
    updateTemplateList(type, currentFirmwareVersion(nullptr));
}

void NewFileDialog::updateTemplateList(tarvik_camera_t type, const QString &version)
{
    const QString function = QStringLiteral("NewFileDialog::updateTemplateList(tarvik_camera_t, const QString&)");
    auto family = m_templateModels.find(type);
    if (family == m_templateModels.end()) {
        Logger::logError(QStringLiteral("There is no template data for camera type %1").arg(int(type)), function);
        return;
    }
    auto templates = family->second.find(version);
    if (templates == family->second.end()) {
        Logger::logError(QStringLiteral("There is no template data for firmware version %1 on camera type %2")
                             .arg(version)
                             .arg(int(type)),
            function);
        return;
    }
    m_templateCombo->setModel(templates->second);
}

void NewFileDialog::populateData(const std::map<tarvik_camera_t, Camera *> &cameras)
{
    m_cameraModel = new QStandardItemModel(this);
    for (const auto &[type, camera] : cameras) {
        auto *versions = new QStandardItemModel(this);
        int defaultRow = 0;
        for (unsigned i = 0; i < camera->supportedVersionCount(); ++i) {
            const Camera::Version version = camera->version(i);
            auto *item = new QStandardItem(tr("%1").arg(version.second));
            item->setData(version.first, Qt::UserRole);
            versions->appendRow(item);
            if (version.second == defaultFirmware)
                defaultRow = int(i);
        }

        auto *cameraItem = new QStandardItem(tr("%1").arg(camera->displayName()));
        cameraItem->setData(int(type), Qt::UserRole);
        cameraItem->setData(defaultRow, versionRowRole);
        m_cameraModel->appendRow(cameraItem);
        m_versionModels[type] = versions;

        populateTemplates(type, camera->templateDirectory(QString()));
    }
    m_cameraCombo->setModel(m_cameraModel);
}

void NewFileDialog::populateTemplates(tarvik_camera_t type, const QString &directory)
{
    const QString function = QStringLiteral("NewFileDialog::populateTemplates(tarvik_camera_t, const QString&)");
    QDir dir(directory);
    if (!dir.exists()) {
        Logger::logError(QStringLiteral("Directory \"%1\" does not exist.").arg(directory), function);
        return;
    }
    auto versions = m_versionModels.find(type);
    if (versions == m_versionModels.end()) {
        Logger::logError(
            QStringLiteral("There is no firmware version data for camera type %1").arg(int(type)), function);
        return;
    }

    std::map<QString, QStandardItemModel *> templates;
    QStandardItemModel *versionModel = versions->second;
    for (int row = 0; row < versionModel->rowCount(); ++row) {
        const QString version = versionModel->item(row)->text();
        if (!dir.cd(version)) {
            Logger::logError(
                QStringLiteral("Unable to enter directory \"%1/%2\"").arg(dir.dirName(), version), function);
            continue;
        }
        if (!templates.count(version)) {
            auto *model = new QStandardItemModel(this);
            const QStringList files
                = dir.entryList({QStringLiteral("*.preset")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
            for (const QString &file : files)
                model->appendRow(new QStandardItem(tr("%1").arg(QFileInfo(file).completeBaseName())));
            templates[version] = model;
        }
        dir.cdUp();
    }
    m_templateModels[type] = templates;
}

void NewFileDialog::constructUI()
{
    m_layout->setVerticalSpacing(12);
    m_layout->addWidget(m_descriptionLabel, 0, 0, 1, 2, Qt::AlignTop);
    m_layout->addItem(new QSpacerItem(0, 10, QSizePolicy::Fixed, QSizePolicy::Fixed), 1, 0, 1, 2);
    m_layout->addWidget(m_cameraLabel, 2, 0);
    m_layout->addWidget(m_cameraCombo, 2, 1);
    m_layout->addWidget(m_versionLabel, 3, 0);
    m_layout->addWidget(m_versionCombo, 3, 1);
    m_layout->addWidget(m_templateLabel, 4, 0);
    m_layout->addWidget(m_templateCombo, 4, 1);
    m_layout->addWidget(m_buttonBox, 5, 1, Qt::AlignBottom);
    setLayout(m_layout);

    setFixedSize(320, 165);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(tr("New File"));
    setModal(true);
}
