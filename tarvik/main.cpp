#include "app/Application.h"
#include "app/MainWindow.h"

int main(int argc, char *argv[])
{
    Application app(argc, argv, QStringLiteral("VEK Tarvik"), [] { return new MainWindow; });
    return Application::run(app, {QStringLiteral(":/stylesheets/base-mac"), QStringLiteral(":/stylesheets/mac")});
}
