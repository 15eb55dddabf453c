#include "guide/GuideParameters.h"

#include "app/Logger.h"
#include "document/PresetValue.h"
#include "storage/Database.h"

#include <QBrush>
#include <QColor>
#include <QCoreApplication>
#include <QStandardItemModel>

#include <limits>

namespace GuideParameters {

const ColorEntry colors[9] = {
    {QT_TRANSLATE_NOOP("GuideParameters", "Black"), "#000000", "#FFFFFF"},
    {QT_TRANSLATE_NOOP("GuideParameters", "Red"), "#FF0000", "#000000"},
    {QT_TRANSLATE_NOOP("GuideParameters", "Blue"), "#0000FF", "#000000"},
    {QT_TRANSLATE_NOOP("GuideParameters", "Green"), "#00FF00", "#000000"},
    {QT_TRANSLATE_NOOP("GuideParameters", "Yellow"), "#FFFF00", "#000000"},
    {QT_TRANSLATE_NOOP("GuideParameters", "Magenta"), "#FF00FF", "#000000"},
    {QT_TRANSLATE_NOOP("GuideParameters", "Cyan"), "#00FFFF", "#000000"},
    {QT_TRANSLATE_NOOP("GuideParameters", "Dark Gray"), "#606060", "#000000"},
    {QT_TRANSLATE_NOOP("GuideParameters", "White"), "#FFFFFF", "#000000"},
};

const Choice modes[9] = {
    {QT_TRANSLATE_NOOP("GuideParameters", "Off"), -1},
    {QT_TRANSLATE_NOOP("GuideParameters", "Full"), 0},
    {QT_TRANSLATE_NOOP("GuideParameters", "4:3"), 1333333},
    {QT_TRANSLATE_NOOP("GuideParameters", "16:9"), 1777778},
    {QT_TRANSLATE_NOOP("GuideParameters", "1.85:1"), 1850000},
    {QT_TRANSLATE_NOOP("GuideParameters", "1.9:1"), 1896296},
    {QT_TRANSLATE_NOOP("GuideParameters", "2.4:1"), 2400000},
    {QT_TRANSLATE_NOOP("GuideParameters", "User"), -2},
    {QT_TRANSLATE_NOOP("GuideParameters", "Absolute"), -3},
};

const Choice lineTypes[3] = {
    {QT_TRANSLATE_NOOP("GuideParameters", "Solid"), 0},
    {QT_TRANSLATE_NOOP("GuideParameters", "Dashed"), 1},
    {QT_TRANSLATE_NOOP("GuideParameters", "Bracket"), 2},
};

const Choice opacities[4] = {
    {QT_TRANSLATE_NOOP("GuideParameters", "25%"), 25},
    {QT_TRANSLATE_NOOP("GuideParameters", "50%"), 50},
    {QT_TRANSLATE_NOOP("GuideParameters", "75%"), 75},
    {QT_TRANSLATE_NOOP("GuideParameters", "100%"), 100},
};

const Choice relatives[5] = {
    {QT_TRANSLATE_NOOP("GuideParameters", "Off"), -1},
    {QT_TRANSLATE_NOOP("GuideParameters", "Frame Guide"), 0},
    {QT_TRANSLATE_NOOP("GuideParameters", "Action Guide"), 1},
    {QT_TRANSLATE_NOOP("GuideParameters", "Title Guide"), 2},
    {QT_TRANSLATE_NOOP("GuideParameters", "Recording Area"), 3},
};

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("GuideParameters", text);
}

template <std::size_t N> QStandardItemModel *choiceModel(const Choice (&choices)[N], std::size_t first, QObject *parent)
{
    auto *model = new QStandardItemModel(parent);
    for (std::size_t i = first; i < N; ++i) {
        auto *item = new QStandardItem(translated(choices[i].text));
        item->setData(choices[i].value, Qt::UserRole);
        model->appendRow(item);
    }
    return model;
}

template <std::size_t N> QList<int> valuesOf(const Choice (&choices)[N], std::size_t first = 0)
{
    QList<int> values;
    for (std::size_t i = first; i < N; ++i)
        values.append(choices[i].value);
    return values;
}

QList<Parameter> buildParameters()
{
    const QList<int> colorValues {0, 1, 2, 3, 4, 5, 6, 7, 8};
    const QList<int> opacityValues = valuesOf(opacities);
    const int none = 0;
    const int anyInt = std::numeric_limits<int>::max();
    auto choice = [&](const QString &name, const QList<int> &values) {
        return Parameter {name, Encoding::Number, values, none, none};
    };
    auto range = [&](const QString &name, int minimum, int maximum) {
        return Parameter {name, Encoding::Number, {}, minimum, maximum};
    };

    QList<Parameter> list {
        choice(QLatin1String(CenterGuide), valuesOf(relatives)),
        choice(QLatin1String(CenterColor), colorValues),
        choice(QLatin1String(CenterOpacity), opacityValues),
        choice(QLatin1String(GridGuide), valuesOf(relatives)),
        choice(QLatin1String(GridColor), colorValues),
        choice(QLatin1String(GridOpacity), opacityValues),
        choice(QLatin1String(LookaroundGuide), valuesOf(relatives, 1)),
        choice(QLatin1String(LookaroundColor), colorValues),
        choice(QLatin1String(LookaroundOpacity), opacityValues),
    };
    for (int index = 0; index < guideCount; ++index) {
        list.append(choice(forGuide(FrameMode, index), valuesOf(modes)));
        list.append(range(forGuide(FrameRatio, index), 1, anyInt));
        list.append(range(forGuide(FrameScale, index), 0, 10000));
        list.append(Parameter {forGuide(FrameAbsolute, index), Encoding::Rectangle, {}, none, none});
        list.append(range(forGuide(FrameOffsetX, index), -10000, 10000));
        list.append(range(forGuide(FrameOffsetY, index), -10000, 10000));
        list.append(choice(forGuide(FrameLineStyle, index), valuesOf(lineTypes)));
        list.append(choice(forGuide(FrameColor, index), colorValues));
        list.append(choice(forGuide(FrameOpacity, index), opacityValues));
    }
    for (int index = 1; index < guideCount; ++index)
        list.append(choice(forGuide(FrameRelative, index), {0, 1}));
    return list;
}

bool isInteger(const QString &text, int *value)
{
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    if (ok && value)
        *value = number;
    return ok;
}

} // namespace

QString forGuide(const char *pattern, int index)
{
    return QString::fromLatin1(pattern).arg(index);
}

QString colorStyleSheet(int index)
{
    return QStringLiteral("QComboBox { background-color: %1; color: %2; }")
        .arg(QLatin1String(colors[index].color), QLatin1String(colors[index].textColor));
}

QStandardItemModel *createModeModel(QObject *parent)
{
    return choiceModel(modes, 0, parent);
}

QStandardItemModel *createLineTypeModel(QObject *parent)
{
    return choiceModel(lineTypes, 0, parent);
}

QStandardItemModel *createOpacityModel(QObject *parent)
{
    return choiceModel(opacities, 0, parent);
}

QStandardItemModel *createRelativeModel(bool withOff, QObject *parent)
{
    return choiceModel(relatives, withOff ? 0 : 1, parent);
}

QStandardItemModel *createColorModel(QObject *parent)
{
    auto *model = new QStandardItemModel(parent);
    for (int i = 0; i < int(std::size(colors)); ++i) {
        auto *item = new QStandardItem(translated(colors[i].name));
        item->setData(i, Qt::UserRole);
        item->setData(QBrush(QColor(QLatin1String(colors[i].color))), Qt::BackgroundRole);
        item->setData(QBrush(QColor(QLatin1String(colors[i].textColor))), Qt::ForegroundRole);
        model->appendRow(item);
    }
    return model;
}

const QList<Parameter> &parameters()
{
    static const QList<Parameter> list = buildParameters();
    return list;
}

const Parameter *parameter(const QString &name)
{
    for (const Parameter &p : parameters())
        if (p.name == name)
            return &p;
    return nullptr;
}

bool isValidValue(const QString &name, const QString &value)
{
    const Parameter *p = parameter(name);
    if (!p)
        return false;
    if (p->encoding == Encoding::Rectangle) {
        const QStringList parts = value.split(QLatin1Char(':'));
        if (parts.size() != 4)
            return false;
        for (const QString &part : parts)
            if (!isInteger(part, nullptr))
                return false;
        return true;
    }
    int number = 0;
    if (!isInteger(value, &number))
        return false;
    if (!p->choices.isEmpty())
        return p->choices.contains(number);
    return number >= p->minimum && number <= p->maximum;
}

bool lookUp(Database *preset, Database *defaultTemplate, const QString &name, QString *value)
{
    const QString select = QStringLiteral("SELECT value FROM parameters WHERE name = ?");
    if (preset && preset->executeQuery(select, {name}) && preset->rowCount() > 0) {
        *value = preset->itemAt(0, 0);
        return true;
    }
    if (!defaultTemplate) {
        Logger::logError(
            QStringLiteral("There is no entry for [%1] in the database and defaultTemplate is null.").arg(name),
            QString());
        return false;
    }
    if (!defaultTemplate->executeQuery(select, {name}) || defaultTemplate->rowCount() == 0) {
        Logger::logError(
            QStringLiteral("There is no entry for [%1] in the database or in the default template.").arg(name),
            QString());
        return false;
    }
    *value = defaultTemplate->itemAt(0, 0);
    const Parameter *p = parameter(name);
    const QVariant stored = p && p->encoding == Encoding::Rectangle ? QVariant(*value) : PresetValue::bound(*value);
    if (!preset || !preset->executeQuery(QStringLiteral("INSERT INTO parameters VALUES (?, ?)"), {name, stored}))
        Logger::logError(
            QStringLiteral("Unable to add [%1] from the default template to the database.").arg(name), QString());
    return true;
}

} // namespace GuideParameters
