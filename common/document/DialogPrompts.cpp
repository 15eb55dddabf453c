#include "document/Prompts.h"

#include <QFileDialog>
#include <QPushButton>

DialogPrompts::DialogPrompts(QWidget *window, QMessageBox *messageBox) : m_window(window), m_messageBox(messageBox) {}

int DialogPrompts::message(const Message &message)
{
    m_messageBox->setWindowTitle(message.title);
    if (message.iconPixmap.isNull())
        m_messageBox->setIcon(message.icon);
    else
        m_messageBox->setIconPixmap(message.iconPixmap);
    m_messageBox->setStandardButtons(message.buttons);
    m_messageBox->setText(message.text);
    return m_messageBox->exec();
}

Prompts::StartChoice DialogPrompts::start(const QString &title, const QString &text)
{
    m_messageBox->setStandardButtons(QMessageBox::NoButton);
    QPushButton *newButton = m_messageBox->addButton(QMessageBox::tr("New"), QMessageBox::YesRole);
    QPushButton *openButton = m_messageBox->addButton(QMessageBox::tr("Open"), QMessageBox::NoRole);
    QPushButton *cancelButton = m_messageBox->addButton(QMessageBox::tr("Cancel"), QMessageBox::RejectRole);
    m_messageBox->setWindowTitle(title);
    m_messageBox->setIcon(QMessageBox::Information);
    m_messageBox->setText(text);
    m_messageBox->setDefaultButton(newButton);
    m_messageBox->exec();
    QAbstractButton *clicked = m_messageBox->clickedButton();
    for (QPushButton *button : {newButton, openButton, cancelButton}) {
        m_messageBox->removeButton(button);
        button->deleteLater();
    }
    if (clicked == newButton)
        return StartNew;
    if (clicked == openButton)
        return StartOpen;
    return StartCancel;
}

QString DialogPrompts::openFileName(const QString &caption, const QString &directory, const QString &filter)
{
    return QFileDialog::getOpenFileName(m_window, caption, directory, filter);
}

QString DialogPrompts::saveFileName(const QString &caption, const QString &directory, const QString &filter)
{
    return QFileDialog::getSaveFileName(m_window, caption, directory, filter);
}

void DialogPrompts::dismiss()
{
    if (m_messageBox->isVisible())
        m_messageBox->done(QMessageBox::Cancel);
}
