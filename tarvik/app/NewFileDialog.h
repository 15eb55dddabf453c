#pragma once

#include "app/Camera.h"

#include <QDialog>
#include <QString>

#include <map>

class ComboBox;
class QDialogButtonBox;
class QGridLayout;
class QLabel;
class QStandardItemModel;

// File > New: camera family, firmware version and template. The template lists are
// read once, at construction. Ok only emits dialogAccepted(); the main window closes
// the dialog once the template opened.
class NewFileDialog : public QDialog {
    Q_OBJECT

public:
    NewFileDialog(const std::map<tarvik_camera_t, Camera *> &cameras, QWidget *parent = nullptr);

    tarvik_camera_t currentCameraType() const;
    // The current firmware text; *presetVersion, when given, receives its preset version.
    QString currentFirmwareVersion(int *presetVersion) const;
    QString currentTemplate() const;

    ComboBox *cameraCombo() const { return m_cameraCombo; }
    ComboBox *versionCombo() const { return m_versionCombo; }
    ComboBox *templateCombo() const { return m_templateCombo; }
    QDialogButtonBox *buttonBox() const { return m_buttonBox; }

signals:
    void dialogAccepted();

public slots:
    void cameraComboIndexChanged(int index);
    void versionComboIndexChanged(const QString &version);

private:
    tarvik_camera_t cameraType(int index) const;
    void updateVersionList(tarvik_camera_t type);
    void updateTemplateList(tarvik_camera_t type, const QString &version);
    void populateData(const std::map<tarvik_camera_t, Camera *> &cameras);
    void populateTemplates(tarvik_camera_t type, const QString &directory);
    void constructUI();

    QLabel *m_descriptionLabel;
    QLabel *m_cameraLabel;
    QLabel *m_versionLabel;
    QLabel *m_templateLabel;
    ComboBox *m_cameraCombo;
    ComboBox *m_versionCombo;
    ComboBox *m_templateCombo;
    QDialogButtonBox *m_buttonBox;
    QGridLayout *m_layout;
    // The models are children of the dialog.
    QStandardItemModel *m_cameraModel = nullptr;
    std::map<tarvik_camera_t, QStandardItemModel *> m_versionModels;
    std::map<tarvik_camera_t, std::map<QString, QStandardItemModel *>> m_templateModels;
};
