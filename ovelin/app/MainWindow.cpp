#include "app/MainWindow.h"

#include "app/BuildInfo.h"

#include <QIcon>

MainWindow::MainWindow(QWidget *parent) : AppWindow(parent)
{
    setWindowTitle(QString::fromUtf8(BuildInfo::applicationName));
    setWindowIcon(QIcon(QStringLiteral(":/images/vek")));
    resize(1024, 700);
}

void MainWindow::openFileExternally(const QString &) {}

void MainWindow::initialStart() {}
