#pragma once

#include <QMessageBox>
#include <QPixmap>
#include <QString>

// Everything the document protocol asks the user goes through this interface, so
// the flows run headless in tests with a scripted implementation.
class Prompts
{
public:
    enum StartChoice { StartNew, StartOpen, StartCancel };

    struct Message
    {
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QPixmap iconPixmap; // replaces the icon when set
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QString text;
    };

    virtual ~Prompts() = default;

    // Runs a modal message box; returns the standard button pressed (Cancel when closed).
    virtual int message(const Message &message) = 0;
    // The start dialog: New, Open or Cancel.
    virtual StartChoice start(const QString &title, const QString &text) = 0;
    // File dialogs; an empty text when the user cancelled.
    virtual QString openFileName(const QString &caption, const QString &directory, const QString &filter) = 0;
    virtual QString saveFileName(const QString &caption, const QString &directory, const QString &filter) = 0;
    // Finishes a showing message box or start dialog with the Cancel result.
    virtual void dismiss() = 0;
};

// The production prompts: one shared message box and the platform's file dialogs.
class DialogPrompts : public Prompts
{
public:
    // The box belongs to the window; the prompts only drive it.
    DialogPrompts(QWidget *window, QMessageBox *messageBox);

    int message(const Message &message) override;
    StartChoice start(const QString &title, const QString &text) override;
    QString openFileName(const QString &caption, const QString &directory, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &directory, const QString &filter) override;
    void dismiss() override;

private:
    QWidget *m_window;
    QMessageBox *m_messageBox;
};
