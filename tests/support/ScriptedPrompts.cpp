#include "ScriptedPrompts.h"

int ScriptedPrompts::message(const Message &message)
{
    asked.append({QStringLiteral("message"), message.title, message.text, QString(), int(message.buttons)});
    if (buttons.isEmpty()) {
        unexpected << QStringLiteral("message: %1").arg(message.text);
        return QMessageBox::Cancel;
    }
    return buttons.takeFirst();
}

Prompts::StartChoice ScriptedPrompts::start(const QString &title, const QString &text)
{
    asked.append({QStringLiteral("start"), title, text, QString(), 0});
    if (starts.isEmpty()) {
        unexpected << QStringLiteral("start: %1").arg(text);
        return StartCancel;
    }
    return starts.takeFirst();
}

QString ScriptedPrompts::openFileName(const QString &caption, const QString &directory, const QString &filter)
{
    asked.append({QStringLiteral("open"), caption, directory, filter, 0});
    if (fileNames.isEmpty()) {
        unexpected << QStringLiteral("open dialog");
        return QString();
    }
    return fileNames.takeFirst();
}

QString ScriptedPrompts::saveFileName(const QString &caption, const QString &directory, const QString &filter)
{
    asked.append({QStringLiteral("save"), caption, directory, filter, 0});
    if (fileNames.isEmpty()) {
        unexpected << QStringLiteral("save dialog");
        return QString();
    }
    return fileNames.takeFirst();
}

QStringList ScriptedPrompts::kinds() const
{
    QStringList result;
    for (const Asked &a : asked)
        result << a.kind;
    return result;
}

QStringList ScriptedPrompts::texts(const QString &kind) const
{
    QStringList result;
    for (const Asked &a : asked)
        if (a.kind == kind)
            result << a.text;
    return result;
}
