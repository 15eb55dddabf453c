#pragma once

#include "document/Prompts.h"

#include <QList>
#include <QStringList>

// Answers the document protocol's questions from a script and records every one.
class ScriptedPrompts : public Prompts
{
public:
    struct Asked
    {
        QString kind; // "message", "start", "open", "save"
        QString title;
        QString text; // message text, or the start directory of a file dialog
        QString filter;
        int buttons = 0;
    };

    // Queued answers, consumed in order. A question without an answer fails the
    // test (recorded in `unexpected`) and gets Cancel or an empty name.
    QList<int> buttons;          // for message()
    QList<StartChoice> starts;   // for start()
    QStringList fileNames;       // for openFileName() and saveFileName()
    QList<Asked> asked;
    QStringList unexpected;
    int dismissed = 0;

    int message(const Message &message) override;
    StartChoice start(const QString &title, const QString &text) override;
    QString openFileName(const QString &caption, const QString &directory, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &directory, const QString &filter) override;
    void dismiss() override { ++dismissed; }

    QStringList kinds() const;
    QStringList texts(const QString &kind) const;
};
