#pragma once

#include "app/QtUtil.h"

#include <QMetaType>
#include <QtTest>

Q_DECLARE_METATYPE(TRect)

inline bool operator==(const TRect &a, const TRect &b)
{
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

inline char *toString(const TRect &r)
{
    return QTest::toString(QStringLiteral("(%1, %2, %3 x %4)").arg(r.x).arg(r.y).arg(r.w).arg(r.h));
}
