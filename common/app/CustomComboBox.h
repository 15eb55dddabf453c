#pragma once

#include <QComboBox>

// Guide editor combo box: text colour follows focus and enabled state; carries the
// name of the preset parameter it edits and selects items by integer user data.
class CustomComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit CustomComboBox(QWidget *parent = nullptr);
    explicit CustomComboBox(const QString &name, QWidget *parent = nullptr);

    QString name() const { return m_name; }
    void setCurrentData(const QString &value);
    int currentData() const;

protected:
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    bool keepsOwnPalette() const;

    QString m_name;
};
