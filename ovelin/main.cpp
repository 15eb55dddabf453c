#include "app/Application.h"
#include "app/MainWindow.h"

int main(int argc, char *argv[])
{
    Application app(argc, argv, QStringLiteral("VEK Ovelin"), [] { return new MainWindow; });
#ifdef Q_OS_WIN
    // The Windows package ships the toolkit's plug-ins beside the executable.
    QCoreApplication::setLibraryPaths({QStringLiteral("%1/../PlugIns").arg(QCoreApplication::applicationDirPath())});
#endif
    return Application::run(app, {QStringLiteral(":/stylesheets/base-win"), QStringLiteral(":/stylesheets/win")});
}
