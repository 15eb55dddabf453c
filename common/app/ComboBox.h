#pragma once

#include <QComboBox>

// Key-mapping editor combo box: text colour follows focus and enabled state,
// and every mouse press is reported.
class ComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit ComboBox(QWidget *parent = nullptr);

signals:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void changeEvent(QEvent *e) override;
};
