#pragma once

#include <QDialog>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TColumnFieldRefList;
class TDataRefList;
class TExport;
class TExportAscii;
class TExportHTML;
class TRadioGroup;
class TRootItem;
class TSafeHtmlView;
class TSettingsStore;
class TSortFieldRefList;

// What both export windows share: the destination file, the export fields
// and sort order, the preview of the first 25 items and the export itself.
class TfmExportBase : public QDialog {
    Q_OBJECT
public:
    ~TfmExportBase() override;

    std::unique_ptr<TColumnFieldRefList> ColumnFields;
    std::unique_ptr<TSortFieldRefList> SortFields;

    QLineEdit *edFileName;
    QPushButton *btBrowse;
    QPushButton *btExport;
    QPushButton *btCancel;
    QPushButton *btExportFields;
    QPushButton *btSortFields;
    QLabel *pnCount;

    // Exports to the file; true (and the window closes) when written.
    bool ExportToFile();
    void ChooseFile();
    void ChooseFields();
    void ChooseSortOrder();
    // Appends the default extension to a file name without one.
    void CompleteFileName();
    // The items' rows as the preview shows them.
    QStringList PreviewLines();

    // Before the window is shown: over the owner the first time, afterwards
    // where it was left.
    void PlaceForOpening(const QWidget *owner);

    void done(int result) override;

protected:
    TfmExportBase(TDataRefList &items, int listKind, TRootItem &root, TSettingsStore &store, QWidget *owner,
                  const QString &section, const QString &fieldsTitle);

    // Called by the derived window's constructor when its controls exist.
    void finishSetup(QWidget *options, QWidget *preview);
    void rebuildPreview();
    QString section() const { return m_section; }
    TSettingsStore &store() const { return m_store; }

    virtual TExport &exporter() = 0;
    // Copies the controls' choices into the exporter.
    virtual void applyOptions() = 0;
    virtual void showPreview(const QStringList &lines) = 0;
    // The extension a name typed without one receives ("txt").
    virtual QString defaultExtension() const = 0;
    virtual QString saveDialogTitle() const = 0;
    virtual QString saveDialogFilter() const = 0;
    virtual QString saveDialogSuffix() const = 0;
    virtual void loadOptions() = 0;
    virtual void saveOptions() = 0;

private:
    void prepare();
    void sortItems();
    QString listSection(const QString &name) const;
    // The folder a name without one goes into: the folder last used (when
    // it still exists), else the collection's folder, else the home folder.
    QString proposedFolder() const;
    QString absoluteFileName(const QString &name) const;
    // The stored name, shown in the proposed folder.
    void proposeFileName();

    TDataRefList &m_items;
    int m_listKind;
    TSettingsStore &m_store;
    QString m_section;
    QString m_fieldsTitle;
    QString m_collectionFile;
    QString m_lastFolder;
};

// Export to delimited text.
class TfmExportAsciiBase : public TfmExportBase {
    Q_OBJECT
public:
    TfmExportAsciiBase(TDataRefList &items, int listKind, TRootItem &root, TSettingsStore &store,
                       QWidget *owner = nullptr);
    ~TfmExportAsciiBase() override;

    static bool Execute(TDataRefList &items, int listKind, TRootItem &root, TSettingsStore &store, QWidget *owner);

    TRadioGroup *rgDelimiter;
    TRadioGroup *rgTextQualifier;
    TRadioGroup *rgEnter;
    QCheckBox *ckIncludeFieldNames;
    QPlainTextEdit *mePreview;

protected:
    TExport &exporter() override;
    void applyOptions() override;
    void showPreview(const QStringList &lines) override;
    QString defaultExtension() const override;
    QString saveDialogTitle() const override;
    QString saveDialogFilter() const override;
    QString saveDialogSuffix() const override;
    void loadOptions() override;
    void saveOptions() override;

private:
    std::unique_ptr<TExportAscii> m_export;
};

// Export to an HTML table.
class TfmExportHtmlBase : public TfmExportBase {
    Q_OBJECT
public:
    TfmExportHtmlBase(TDataRefList &items, int listKind, TRootItem &root, TSettingsStore &store,
                      QWidget *owner = nullptr);
    ~TfmExportHtmlBase() override;

    static bool Execute(TDataRefList &items, int listKind, TRootItem &root, TSettingsStore &store, QWidget *owner);

    QCheckBox *ckBorder;
    QCheckBox *ckIncludeBrimlowLink;
    TSafeHtmlView *htPreview;

protected:
    TExport &exporter() override;
    void applyOptions() override;
    void showPreview(const QStringList &lines) override;
    QString defaultExtension() const override;
    QString saveDialogTitle() const override;
    QString saveDialogFilter() const override;
    QString saveDialogSuffix() const override;
    void loadOptions() override;
    void saveOptions() override;

private:
    std::unique_ptr<TExportHTML> m_export;
};
