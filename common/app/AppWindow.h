#pragma once

#include <QMainWindow>

// What the application object needs of a program's main window.
class AppWindow : public QMainWindow
{
    Q_OBJECT

public:
    using QMainWindow::QMainWindow;

public slots:
    // A preset handed over on the command line or by the desktop.
    virtual void openFileExternally(const QString &fileName) = 0;
    // Started without a file: offer New or Open.
    virtual void initialStart() = 0;
};
