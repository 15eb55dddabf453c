#include "guide/FormatCatalogue.h"

#include "app/Logger.h"
#include "guide/SensorFormats.h"

#include <QComboBox>
#include <QFile>
#include <QRect>
#include <QStandardItemModel>
#include <QTextStream>

const char *const FormatCatalogue::resourcePath = ":/misc/formats";

FormatCatalogue::FormatCatalogue()
    : m_sensorModel(new QStandardItemModel)
{
}

FormatCatalogue::~FormatCatalogue()
{
    clear();
    delete m_sensorModel;
}

void FormatCatalogue::clear()
{
    for (auto &entry : m_sensorFormats)
        delete entry.second;
    m_sensorFormats.clear();
    m_sensorModel->clear();
    m_defaultSensorRow = 0;
}

void FormatCatalogue::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        clear();
        Logger::logError(QStringLiteral("Unable to open formats file."), QString());
        return;
    }
    load(&file);
}

void FormatCatalogue::load(QIODevice *device)
{
    clear();
    QString currentSensor;
    QString defaultSensor;
    QTextStream stream(device);
    while (!stream.atEnd()) {
        const QString line = stream.readLine().trimmed();
        if (!line.isEmpty())
            parseLine(line, currentSensor, defaultSensor);
    }
    m_defaultSensorRow = 0;
    for (int row = 0; row < m_sensorModel->rowCount(); ++row) {
        if (m_sensorModel->item(row)->text() == defaultSensor) {
            m_defaultSensorRow = row;
            break;
        }
    }
}

// One record: [*][^]name>x,y,w,h|squeeze, where a backslash in the name makes the
// next character literal.
void FormatCatalogue::parseLine(const QString &line, QString &currentSensor, QString &defaultSensor)
{
    QString name;
    QString number;
    int x = -1, y = -1, w = -1, h = -1;
    bool inName = true;
    bool inSqueeze = false;
    bool escape = false;
    bool sensor = false;
    bool isDefault = false;

    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (i == 0 && c == QLatin1Char('*')) {
            sensor = true;
        } else if (c == QLatin1Char('^') && (i == 0 || (i == 1 && sensor))) {
            isDefault = true;
        } else if (inName) {
            if (c == QLatin1Char('\\') && !escape) {
                escape = true;
            } else if (c == QLatin1Char('>') && !escape) {
                if (sensor) {
                    if (isDefault)
                        defaultSensor = name;
                    auto found = m_sensorFormats.find(name);
                    if (found != m_sensorFormats.end()) {
                        delete found->second;
                        found->second = new SensorFormats;
                    } else {
                        m_sensorFormats.emplace(name, new SensorFormats);
                    }
                    currentSensor = name;
                }
                inName = false;
            } else {
                name.append(c);
                escape = false;
            }
        } else if (inSqueeze) {
            number.append(c);
        } else if (c == QLatin1Char(',')) {
            int *slot = x == -1 ? &x : y == -1 ? &y : w == -1 ? &w : nullptr;
            if (slot)
                *slot = number.toInt();
            number.clear();
        } else if (c == QLatin1Char('|')) {
            h = number.toInt();
            number.clear();
            inSqueeze = true;
        } else {
            number.append(c);
        }
    }

    float squeeze = 1.0f;
    if (h == -1)
        h = number.toInt();
    else
        squeeze = squeezeFromText(number);

    if (sensor) {
        auto *item = new QStandardItem(name);
        item->setData(QRect(x, y, w, h), SensorFormats::RectRole);
        item->setData(QVariant::fromValue(squeeze), SensorFormats::SqueezeRole);
        m_sensorModel->appendRow(item);
        return;
    }

    SensorFormats *formats = this->formats(currentSensor);
    if (!formats) {
        Logger::logError(
            QStringLiteral("The format [%1] comes before any sensor. It was skipped.").arg(name), QString());
        return;
    }
    const QString displayName = QStringLiteral("%1 (%2 x %3)").arg(name, QString::number(w), QString::number(h));
    formats->addFormat(displayName, x, y, w, h, squeeze);
    if (isDefault)
        rememberFormat(currentSensor, displayName);
}

SensorFormats *FormatCatalogue::formats(const QString &sensor) const
{
    const auto found = m_sensorFormats.find(sensor);
    return found == m_sensorFormats.end() ? nullptr : found->second;
}

bool FormatCatalogue::rememberFormat(const QString &sensor, const QString &format)
{
    SensorFormats *formats = this->formats(sensor);
    if (!formats) {
        Logger::logError(QStringLiteral("%1. There is no set of formats that correspond to the sensor [%2]. "
                                        "No changes were made.")
                             .arg(QStringLiteral("map::at"), sensor),
            QString());
        return false;
    }
    formats->setSelectedFormat(format);
    return true;
}

TRect FormatCatalogue::currentFormatRect(const QComboBox *formatBox)
{
    return QtUtil::tRectFromQRect(formatBox->currentData(SensorFormats::RectRole).toRect());
}

float FormatCatalogue::currentSqueeze(const QComboBox *formatBox)
{
    // No format chosen yet: preview unsqueezed rather than divide by zero.
    const QVariant squeeze = formatBox->currentData(SensorFormats::SqueezeRole);
    return squeeze.isValid() ? squeeze.toFloat() : 1.0f;
}

float FormatCatalogue::squeezeFromText(const QString &text)
{
    if (text == QLatin1String("1.3"))
        return 4.0f / 3.0f;
    if (text == QLatin1String("2"))
        return 2.0f;
    return 1.0f;
}
