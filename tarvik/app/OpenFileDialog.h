#pragma once

#include "app/Camera.h"

#include <QDialog>
#include <QString>

#include <map>

class ComboBox;
class QDialogButtonBox;
class QGridLayout;
class QLabel;

// Asks which camera family an opened preset belongs to, when the preset does not say
// and its preset version fits more than one family.
class OpenFileDialog : public QDialog {
    Q_OBJECT

public:
    OpenFileDialog(const std::map<tarvik_camera_t, Camera *> &cameras, QWidget *parent = nullptr);

    // The name shown in the question: file name with extension, without directory.
    void setFileName(const QString &fileName);
    QString fileName() const { return m_fileName; }
    tarvik_camera_t currentCameraType() const;

    QLabel *questionLabel() const { return m_label; }
    ComboBox *cameraCombo() const { return m_cameraCombo; }
    QDialogButtonBox *buttonBox() const { return m_buttonBox; }

private:
    QString m_fileName;
    QLabel *m_label;
    ComboBox *m_cameraCombo;
    QDialogButtonBox *m_buttonBox;
    QGridLayout *m_layout;
};
