#include "guide/SensorFormats.h"

#include <QRect>
#include <QStandardItemModel>

static_assert(SensorFormats::RectRole == Qt::UserRole);

SensorFormats::SensorFormats()
    : m_formatModel(new QStandardItemModel)
{
}

SensorFormats::~SensorFormats()
{
    delete m_formatModel;
}

void SensorFormats::addFormat(const QString &displayName, int x, int y, int w, int h, float squeeze)
{
    auto *item = new QStandardItem(displayName);
    item->setData(QRect(x, y, w, h), RectRole);
    item->setData(QVariant::fromValue(squeeze), SqueezeRole);
    m_formatModel->appendRow(item);
}
