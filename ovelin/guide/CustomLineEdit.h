#pragma once

#include "guide/Operations.h"

#include <QLineEdit>

// A numeric field of a guide: knows the kind of value it holds, steps it from the
// keyboard and the wheel, clamps it and rewrites its text in a normal form. It keeps
// no value of its own; its owner asks for the number after each valueUpdated().
class CustomLineEdit : public QLineEdit {
    Q_OBJECT

public:
    enum Type { Percent = 0, SignedPercent = 1, Pixels = 2, Ratio = 3 };

    // Pixel values are kept within the range where a float still holds every whole number.
    static constexpr float pixelLimit = 16777216.0f;

    explicit CustomLineEdit(const QString &name, int type, QWidget *parent = nullptr);

    QString name() const { return m_name; }
    int type() const { return m_type; }
    void setType(int type);

    // Parses the text, applies the operation, clamps, writes the normal form back
    // and returns the number.
    float value(Operations::Operation operation);

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void valueUpdated(Operations::Operation operation = Operations::Commit);

private:
    int m_type;
    QString m_name;
};
