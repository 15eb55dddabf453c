#pragma once

#include "app/QtUtil.h"

#include <QString>

#include <map>

class QComboBox;
class QIODevice;
class QStandardItemModel;
class SensorFormats;

// The sensors and recording formats the preview can show, read from the compiled-in
// table. The panel gives sensorModel() to its sensor box and a sensor's format model
// to its format box; nothing here is stored in a preset.
class FormatCatalogue {
public:
    static const char *const resourcePath; // ":/misc/formats"

    FormatCatalogue();
    ~FormatCatalogue();
    FormatCatalogue(const FormatCatalogue &) = delete;
    FormatCatalogue &operator=(const FormatCatalogue &) = delete;

    // Reads the table at `path`; a table that cannot be opened is logged and leaves
    // the catalogue empty.
    void load(const QString &path = QLatin1String(resourcePath));
    void load(QIODevice *device);

    // One row per sensor line in file order, with the same roles as a format row.
    QStandardItemModel *sensorModel() const { return m_sensorModel; }
    // The first sensor row named like the default sensor line, or 0.
    int defaultSensorRow() const { return m_defaultSensorRow; }

    // Sensor name to its formats, in name order. Null for an unknown sensor.
    const std::map<QString, SensorFormats *> &sensorFormats() const { return m_sensorFormats; }
    SensorFormats *formats(const QString &sensor) const;

    // Remembers `format` (a display name) as the chosen format of `sensor`.
    bool rememberFormat(const QString &sensor, const QString &format);

    // The rectangle and squeeze of a format box's current row.
    static TRect currentFormatRect(const QComboBox *formatBox);
    static float currentSqueeze(const QComboBox *formatBox);
    // "1.3" is an anamorphic 4/3; unknown texts preview unsqueezed.
    static float squeezeFromText(const QString &text);

private:
    void clear();
    void parseLine(const QString &line, QString &currentSensor, QString &defaultSensor);

    QStandardItemModel *m_sensorModel;
    std::map<QString, SensorFormats *> m_sensorFormats;
    int m_defaultSensorRow = 0;
};
