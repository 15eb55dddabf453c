#pragma once

#include <QApplication>

#include <functional>

class AppWindow;

// Owns the main window and turns a command-line argument or a desktop
// open-document event into a call on it.
class Application : public QApplication
{
    Q_OBJECT

public:
    using WindowFactory = std::function<AppWindow *()>;

    // argc must stay valid for the object's whole life (the toolkit keeps a reference).
    Application(int &argc, char **argv, const QString &applicationName, const WindowFactory &createWindow);

    void initialize();
    bool event(QEvent *e) override;

    AppWindow *mainWindow() const { return m_mainWindow; }

    // Entry function shared by both programs: banner, style sheets, initialize, event loop.
    static int run(Application &app, const QStringList &styleSheets);

signals:
    void fileOpened(const QString &fileName);
    void noArguments();

public slots:
    void cleanup();

private:
    AppWindow *m_mainWindow = nullptr;
    int m_argc;
    char **m_argv;
};
