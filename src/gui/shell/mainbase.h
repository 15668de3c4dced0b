#pragma once

#include "settings/currentcollection.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QLabel;
class QToolBar;
class QToolButton;
class TdmGlobal;
class TMp3Prefs;
class TUpdateService;
struct THandover;

// The main window frame: menus, tool bars, status bar and the life of the
// program from creation to destruction (start-up, first idle moment, close
// query, file type registration).  The explorer fills the central area and
// connects the collection commands; the frame runs the ones that belong to
// the shell (Save, Save As, Exit, Preferences, update check, About, Help).
class TfmMainBase : public QMainWindow {
    Q_OBJECT
public:
    TfmMainBase(TMp3Prefs &prefs, TUpdateService &updates, QWidget *parent = nullptr);
    ~TfmMainBase() override;

    // Creation: creates the collection, the global data module, and opens
    // the collection of the command line or of the last run.
    virtual void FormCreate(const QStringList &argumentsAfterProgram);
    // Destruction: registers the file type and frees the collection.
    virtual void FormDestroy();

    // Creates the collection root (the MP3 root) with its field defaults;
    // FreeRoot stores the defaults and frees it.
    virtual std::unique_ptr<TCurrentCollection> CreateRoot();
    virtual void FreeRoot();
    virtual void LoadSettings();
    virtual void SaveSettings();
    virtual void FirstIdleTasks();
    virtual bool EditPreferences(QWidget *owner);
    virtual void RegisterFileAssociation();
    virtual void UpdateCaption();
    // The collection commands the close query and the hand-over use.
    virtual bool Save();
    virtual bool SaveAs();
    virtual bool OpenCollection(const QString &fileName);
    // The playlist's part of the close query (the MP3 window has one).
    virtual bool PlaylistModified() const { return false; }
    virtual void SavePlaylist() {}
    // The new collection prompt of the first run (the MP3 window offers it).
    virtual void OfferNewCollection() {}

    // A batch operation runs between these calls; a close request while it
    // runs cancels it and closes when it has returned.
    void BeginOperation(std::function<void()> cancel);
    void EndOperation();
    bool OperationRunning() const { return bool(m_cancelOperation); }

    // A second copy of the program was started.
    void ActivateFromHandover(const THandover &handover);

    TCurrentCollection *Collection() const { return m_collection.get(); }
    TdmGlobal *Global() const { return m_dmGlobal.get(); }
    TMp3Prefs &Prefs() const { return m_prefs; }
    QAction *Action(const QString &name) const { return m_actions.value(name); }

    // The collection file filter of the open and save dialogs.
    static QString CollectionFileFilter();

    QToolBar *tbFile;
    QToolBar *tbEdit;
    QToolBar *tbView;
    QToolBar *tbSearch;
    QToolBar *tbLogo;
    QToolButton *imLogo;
    QWidget *pnExplorer;
    QLabel *pnCount;
    QLabel *pnSearch;
    QLabel *pnFilter;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    // Replaces the central area (the explorer puts its panels here).
    void SetExplorer(QWidget *explorer);

private:
    QAction *addAction(const QString &name, const QString &caption, const QString &hint,
                       const QKeySequence &shortcut = QKeySequence(), const QIcon &icon = QIcon());
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void connectShellActions();
    void openDocument(const QString &name);
    bool queryClose();

    TMp3Prefs &m_prefs;
    TUpdateService &m_updates;
    std::unique_ptr<TCurrentCollection> m_collection;
    std::unique_ptr<TdmGlobal> m_dmGlobal;
    QHash<QString, QAction *> m_actions;
    std::function<void()> m_cancelOperation;
    bool m_closeAfterOperation = false;
    bool m_shown = false;
    QLabel *m_placeholder = nullptr;
};
