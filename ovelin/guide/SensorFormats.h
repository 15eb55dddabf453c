#pragma once

#include <QString>

class QStandardItemModel;

// The recording formats of one sensor and the format last chosen for it.
class SensorFormats {
public:
    // Roles of a format row besides its display text.
    static constexpr int RectRole = 0x0100; // Qt::UserRole: QRect in sensor pixels
    static constexpr int SqueezeRole = 0x0100 + 1; // Qt::UserRole + 1: float

    SensorFormats();
    ~SensorFormats();
    SensorFormats(const SensorFormats &) = delete;
    SensorFormats &operator=(const SensorFormats &) = delete;

    void addFormat(const QString &displayName, int x, int y, int w, int h, float squeeze);

    QStandardItemModel *model() const { return m_formatModel; }
    QString selectedFormat() const { return m_selectedFormat; }
    void setSelectedFormat(const QString &format) { m_selectedFormat = format; }

private:
    QStandardItemModel *m_formatModel;
    QString m_selectedFormat;
};
