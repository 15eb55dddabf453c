#include "guide/CustomLineEdit.h"

#include "app/Logger.h"
#include "guide/GuideGeometry.h"

#include <QKeyEvent>
#include <QRegularExpression>
#include <QWheelEvent>

#include <algorithm>

namespace {

float stepOf(Operations::Operation operation, float step)
{
    switch (operation) {
    case Operations::Increment:
        return step;
    case Operations::Decrement:
        return -step;
    default:
        return 0.0f;
    }
}

// Keeps the leading run of minus signs, digits and points and reads it as a number.
float stripped(const QString &text)
{
    static const QRegularExpression tail(QStringLiteral("[^\\-0-9.].*"));
    QString number = text;
    number.remove(tail);
    bool ok = false;
    const float value = number.toFloat(&ok);
    return ok ? value : 0.0f;
}

float ratioFromText(const QString &text)
{
    static const QRegularExpression fraction(
        QRegularExpression::anchoredPattern(QStringLiteral("[0-9]*\\.?[0-9]+:[0-9]*\\.?[0-9]+")));
    if (!fraction.match(text).hasMatch())
        return stripped(text);
    const int colon = text.indexOf(QLatin1Char(':'));
    const float left = text.left(colon).toFloat();
    const float right = text.mid(colon + 1).toFloat();
    return right > 0.0f ? left / right : 0.0f;
}

} // namespace

CustomLineEdit::CustomLineEdit(const QString &name, int type, QWidget *parent)
    : QLineEdit(parent)
    , m_type(type)
    , m_name(name)
{
    setAlignment(Qt::AlignCenter);
    installEventFilter(this);
}

void CustomLineEdit::setType(int type)
{
    m_type = type;
}

float CustomLineEdit::value(Operations::Operation operation)
{
    float number = 0.0f;
    QString normal;
    switch (m_type) {
    case Percent:
    case SignedPercent: {
        const float low = m_type == Percent ? 0.0f : -100.0f;
        number = std::clamp(stripped(text()) + stepOf(operation, 1.0f), low, 100.0f);
        normal = QString::number(number, 'f', 2) + QLatin1Char('%');
        break;
    }
    case Pixels:
        number = std::clamp(stripped(text()) + stepOf(operation, 1.0f), -pixelLimit, pixelLimit);
        number = float(GuideGeometry::roundHalfAway(number));
        normal = QString::number(number, 'f', 0) + QLatin1String("px");
        break;
    case Ratio:
        number = std::max(ratioFromText(text()) + stepOf(operation, 0.0001f), 0.0001f);
        normal = QString::number(number, 'f', 4) + QLatin1String(":1");
        break;
    default:
        Logger::logWarning(QStringLiteral("Invalid type [%1] specified.").arg(m_type), QString());
        return 0.0f;
    }
    setText(normal);
    return number;
}

bool CustomLineEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && isEnabled()) {
        switch (event->type()) {
        case QEvent::FocusOut:
            emit valueUpdated(Operations::Commit);
            break;
        case QEvent::KeyPress:
            switch (static_cast<QKeyEvent *>(event)->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                emit valueUpdated(Operations::Commit);
                selectAll();
                break;
            case Qt::Key_Up:
                emit valueUpdated(Operations::Increment);
                break;
            case Qt::Key_Down:
                emit valueUpdated(Operations::Decrement);
                break;
            default:
                break;
            }
            break;
        case QEvent::Wheel:
            emit valueUpdated(static_cast<QWheelEvent *>(event)->angleDelta().y() >= 1 ? Operations::Increment
                                                                                       : Operations::Decrement);
            break;
        default:
            break;
        }
    }
    return QLineEdit::eventFilter(watched, event);
}
