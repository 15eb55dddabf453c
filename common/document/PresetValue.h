#pragma once

#include <QString>
#include <QVariant>

namespace PresetValue {
// How both editors store a parameter value: a base-10 integer as an integer,
// any other text as text.
inline QVariant bound(const QString &value)
{
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok, 10);
    return ok ? QVariant(number) : QVariant(value);
}
}
