#pragma once

#include "app/AppWindow.h"

// The program's main window; shows the application name until a document is open.
class MainWindow : public AppWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);

public slots:
    void openFileExternally(const QString &fileName) override;
    void initialStart() override;
};
