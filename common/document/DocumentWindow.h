#pragma once

#include "app/AppWindow.h"
#include "document/MessageTypes.h"
#include "document/Prompts.h"

#include <QMap>
#include <QString>

#include <memory>

class Database;
class QMenu;
class QMessageBox;

// The preset document protocol both editors share: start dialog, New, Open, Save,
// Save As, Exit, the unsaved-changes prompt, the title and the shared message box.
// Each editor supplies its own steps by overriding the hooks below.
class DocumentWindow : public AppWindow
{
    Q_OBJECT

public:
    explicit DocumentWindow(QWidget *parent = nullptr);
    ~DocumentWindow() override;

    // Replaces how the protocol asks the user (tests use a scripted one).
    void setPrompts(std::unique_ptr<Prompts> prompts);

    int showMessage(MessageTypes::MessageType type, const QString &text);
    bool unsavedChanges() const { return !m_changes.isEmpty(); }

    QString fileName() const { return m_fileName; }
    QString templateName() const { return m_templateName; }
    Database *preset() const { return m_preset; }
    const QMap<QString, QString> &changes() const { return m_changes; }
    int presetVersion() const { return m_presetVersion; }
    QString defaultDirectory() const { return m_defaultDirectory; }
    bool isInitialized() const { return m_initialized; }
    QString instructions() const { return m_instructions; }

public slots:
    void openFileExternally(const QString &fileName) override;
    void initialStart() override;
    void tryNewFile();
    void newFile();
    void showOpenFileDialog();
    bool saveFileAs();
    bool saveFile();
    void quit();
    void showAboutDialog();
    void showInstructionsDialog();

protected:
    // Loads a preset or a template: opens it, runs the editor's validation and
    // preparation, hands it to the panels and binds it (files) or drops it (templates).
    OpenResults::OpenResult openFile(const QString &fileName, bool isTemplate);
    // Writes the pending changes into the bound file in one transaction. On failure
    // nothing is written, the changes stay pending and the user is told.
    bool saveData();
    void destroyPreset();
    void showStartDialog();
    void updateWindowTitle();
    void tryInitializing();
    void closeEvent(QCloseEvent *event) override;
    // Records one pending change and refreshes the title.
    void setChange(const QString &name, const QString &value);
    // The menus both editors share; an editor adds its own between the two.
    QMenu *createFileMenu();
    QMenu *createHelpMenu();

    // --- Hooks of each editor ---
    // Validation and preparation of an opened preset before it replaces the
    // current document; nothing of the current document may change unless it
    // returns Opened. The version comes from the file's info table.
    virtual OpenResults::OpenResult prepareOpen(Database &db, int version, const QString &fileName, bool isTemplate) = 0;
    // Hands the opened database to the panels (the document is already replaced).
    virtual void presentDocument(Database &db, bool isTemplate) = 0;
    // The guide editor installs its panel before presenting the first document.
    virtual bool initializesBeforePresenting() const { return false; }
    // Called once the open is complete (after the title was updated).
    virtual void documentOpened() {}
    // The statements for one pending change; false when one of them failed.
    virtual bool writeChange(Database &db, const QString &name, const QString &value) = 0;
    // Runs inside the save transaction after the changes; false fails the save.
    virtual bool afterSave(Database &) { return true; }
    // Removes the change marks from the panels' tabs.
    virtual void resetTabTitles() {}
    // First successful open, after the File menu was enabled: editor's own set-up.
    virtual void initializeWindow() {}
    virtual void showNewFileDialog() = 0;
    // The template chosen in the new-file dialog, and closing that dialog.
    virtual QString newTemplatePath() const = 0;
    virtual void acceptNewFileDialog() = 0;
    virtual QString startSentence() const = 0;
    // The fifth part of the title (camera and firmware), or empty.
    virtual QString titleExtra() const { return QString(); }
    // How the inconsistent-state log line names the template member.
    virtual QString templateMemberName() const { return QStringLiteral("m_templateName"); }
    // Leaves the event loop; overridden by tests.
    virtual void exitApplication();

    std::unique_ptr<Prompts> m_prompts;
    QMessageBox *m_messageBox;
    Database *m_preset = nullptr;
    QString m_fileName;
    QString m_templateName;
    QMap<QString, QString> m_changes;
    int m_presetVersion = 0;
    QString m_defaultDirectory;
    QString m_invalidFileNameMessage;
    QString m_openErrorMessage;
    bool m_initialized = false;
    QString m_instructions;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_helpMenu = nullptr;

private:
    enum class Flow { New, Open, Exit };
    // The unsaved-changes prompt; true when the flow goes on.
    bool maySkipOrSaveChanges(Flow flow);
    bool saveAs(const QString &path);
    bool writeChanges(Database &db);
    void reportSaveError();
};
