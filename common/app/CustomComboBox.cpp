#include "app/CustomComboBox.h"

#include "app/ComboPalette.h"

CustomComboBox::CustomComboBox(QWidget *parent) : QComboBox(parent) {}

CustomComboBox::CustomComboBox(const QString &name, QWidget *parent) : QComboBox(parent), m_name(name) {}

void CustomComboBox::setCurrentData(const QString &value)
{
    const int wanted = value.toInt();
    const int index = findData(wanted, Qt::UserRole, Qt::MatchExactly);
    setCurrentIndex(index < 0 ? 0 : index);
}

int CustomComboBox::currentData() const
{
    return QComboBox::currentData(Qt::UserRole).toInt();
}

bool CustomComboBox::keepsOwnPalette() const
{
    // The colour choosers show the chosen colour themselves.
    return objectName() == QLatin1String("colorCombo");
}

void CustomComboBox::focusInEvent(QFocusEvent *e)
{
    if (!keepsOwnPalette())
        ComboPalette::applyText(this, ComboPalette::focused);
    QWidget::focusInEvent(e);
}

void CustomComboBox::focusOutEvent(QFocusEvent *e)
{
    if (!keepsOwnPalette())
        ComboPalette::applyText(this, ComboPalette::idle);
    QWidget::focusOutEvent(e);
}

void CustomComboBox::changeEvent(QEvent *e)
{
    ComboPalette::followEnabledState(this, e);
    QComboBox::changeEvent(e);
}
