#include "app/ComboBox.h"

#include "app/ComboPalette.h"

ComboBox::ComboBox(QWidget *parent) : QComboBox(parent) {}

void ComboBox::mousePressEvent(QMouseEvent *e)
{
    QComboBox::mousePressEvent(e);
    emit pressed();
}

void ComboBox::focusInEvent(QFocusEvent *e)
{
    ComboPalette::applyText(this, ComboPalette::focused);
    QWidget::focusInEvent(e);
}

void ComboBox::focusOutEvent(QFocusEvent *e)
{
    ComboPalette::applyText(this, ComboPalette::idle);
    QWidget::focusOutEvent(e);
}

void ComboBox::changeEvent(QEvent *e)
{
    ComboPalette::followEnabledState(this, e);
    // The toolkit's own handling keeps style and font changes working.
    QComboBox::changeEvent(e);
}
