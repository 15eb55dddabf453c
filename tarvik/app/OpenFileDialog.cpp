#include "app/OpenFileDialog.h"

#include "app/ComboBox.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

OpenFileDialog::OpenFileDialog(const std::map<tarvik_camera_t, Camera *> &cameras, QWidget *parent)
    : QDialog(parent)
    , m_label(new QLabel(this))
    , m_cameraCombo(new ComboBox(this))
    , m_buttonBox(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this))
    , m_layout(new QGridLayout)
{
    m_label->setWordWrap(true);
    setFileName(QString());

    for (const auto &[type, camera] : cameras)
        m_cameraCombo->addItem(tr("%1").arg(camera->displayName()), int(type));

    m_layout->setVerticalSpacing(12);
    m_layout->addWidget(m_label, 0, 0);
    m_layout->addWidget(m_cameraCombo, 1, 0);
    m_layout->addWidget(m_buttonBox, 2, 0, Qt::AlignBottom);
    setLayout(m_layout);

    setFixedSize(320, 115);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(tr("Open File"));
    setModal(true);

    connect(m_buttonBox, &QDialogButtonBox::accepted, this, &OpenFileDialog::accept);
    connect(m_buttonBox, &QDialogButtonBox::rejected, this, &OpenFileDialog::reject);
}

void OpenFileDialog::setFileName(const QString &fileName)
{
    m_fileName = fileName;
    if (fileName.isEmpty())
        m_label->setText(tr("Select the type of camera for this preset:"));
    else
        m_label->setText(tr("Select the type of camera for %1:").arg(fileName));
}

tarvik_camera_t OpenFileDialog::currentCameraType() const
{
    const int row = m_cameraCombo->currentIndex();
    return cameraTypeFromItemData(
        m_cameraCombo->itemData(row, Qt::UserRole), row, QStringLiteral("OpenFileDialog::currentCameraType()"));
}
