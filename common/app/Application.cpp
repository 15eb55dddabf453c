#include "app/Application.h"

#include "app/AppWindow.h"
#include "app/Logger.h"
#include "app/QtUtil.h"

#include <QDir>
#include <QFile>
#include <QFileOpenEvent>

Application::Application(int &argc, char **argv, const QString &applicationName, const WindowFactory &createWindow)
    : QApplication(argc, argv)
{
    QDir::setCurrent(applicationDirPath());
    setApplicationName(applicationName);
    m_argc = argc;
    m_argv = argv;
    m_mainWindow = createWindow();
    connect(this, &Application::fileOpened, m_mainWindow, &AppWindow::openFileExternally);
    connect(this, &Application::noArguments, m_mainWindow, &AppWindow::initialStart);
    connect(this, &QCoreApplication::aboutToQuit, this, &Application::cleanup);
}

void Application::initialize()
{
    m_mainWindow->show();
    if (m_argc > 1)
        // Decoded as the platform encodes file names, so non-ASCII paths survive.
        m_mainWindow->openFileExternally(QFile::decodeName(m_argv[1]));
    else
        emit noArguments();
}

bool Application::event(QEvent *e)
{
    if (e->type() == QEvent::FileOpen)
        emit fileOpened(static_cast<QFileOpenEvent *>(e)->file());
    return QApplication::event(e);
}

void Application::cleanup()
{
    delete m_mainWindow;
    m_mainWindow = nullptr;
}

int Application::run(Application &app, const QStringList &styleSheets)
{
    Logger::startupMessage();
    app.setStyleSheet(QtUtil::generateStyleSheet(styleSheets));
    app.initialize();
    return app.exec();
}
