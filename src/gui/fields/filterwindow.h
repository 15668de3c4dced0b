#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class TFilterFieldRefList;
class TRadioGroup;
class TRootItem;
class TSettingsStore;

// What the range boxes of the filter window hold, and back.  An empty box is
// no bound: Min gets NoMin, Max NoMax (TIntegerFilterField).
namespace filterbounds {
// Whole numbers (digits only); no bound for an empty box.
qint32 ParseNumber(const QString &text, bool upper);
// Kilobytes to bytes, in 64 bits and held within the 32-bit field.
qint32 ParseKilobytes(const QString &text, bool upper);
// "m:ss" (or plain minutes) to seconds, held within the field; no bound for
// an empty box or text that is no length.
qint32 ParseLength(const QString &text, bool upper);
// The texts the boxes show for a bound; empty for no bound.
QString NumberText(qint32 value, bool upper);
QString KilobytesText(qint32 bytes, bool upper);
QString LengthText(qint32 seconds, bool upper);
} // namespace filterbounds

// The filter window: the generic part (combination, case, buttons and the
// order of the steps).  The collection's own window lays out the fields.
class TfmFilterBase : public QDialog {
    Q_OBJECT
public:
    TfmFilterBase(QWidget *owner, TFilterFieldRefList &filter, TSettingsStore &store);

    TRadioGroup *rgAndOr;
    QCheckBox *ckCaseSensitive;
    QPushButton *btOk;
    QPushButton *btCancel;
    QPushButton *btClearAll;
    QTabWidget *pcFilter;
    QWidget *tsMain;

    void accept() override;
    void done(int result) override;
    // Empties the filter at once and shows the empty values.
    void ClearAll();

protected:
    virtual void ShowLabels() {}
    virtual void FillLists() {}
    virtual void ShowValues();
    virtual void StoreValues();
    void showEvent(QShowEvent *event) override;

    TFilterFieldRefList &m_filter;
    TRootItem *m_root;

private:
    TSettingsStore &m_store;
    bool m_shown = false;
};

// The filter window of MP3 collections.
class TfmFilter : public TfmFilterBase {
    Q_OBJECT
public:
    TfmFilter(QWidget *owner, TFilterFieldRefList &filter, TSettingsStore &store);

    QLineEdit *edTitle, *edNotes;
    QComboBox *cbArtist, *cbAlbum, *cbLabel, *cbComposer, *cbLyricist, *cbOrchestra, *cbConductor;
    QListWidget *clYear, *clLocation, *clGenre, *clTempo, *clMood, *clSituation, *clPreference;
    QLineEdit *edTrackIndex1, *edTrackIndex2, *edBPM1, *edBPM2;
    QLineEdit *edLength1, *edLength2, *edSize1, *edSize2, *edBitrate1, *edBitrate2;
    QWidget *tsCredits, *tsMusicMatch, *tsNotes, *tsFile;

protected:
    void ShowLabels() override;
    void FillLists() override;
    void ShowValues() override;
    void StoreValues() override;

private:
    enum class TKind { Text, LookupText, Check, Range, KilobyteRange, LengthRange };
    // One condition of the window, in the order they are stored.
    struct Row {
        TKind kind;
        qint32 fieldID;
        QWidget *first;
        QWidget *second = nullptr;
    };
    QWidget *buildMainPage();
    QWidget *buildCreditsPage();
    QWidget *buildMusicMatchPage();
    QWidget *buildNotesPage();
    QWidget *buildFilePage();
    void label(QWidget *parent, const char *name, qint32 fieldID, QWidget *buddy, class QGridLayout *grid, int row,
               int column);

    QList<Row> m_rows;
    QList<std::pair<class QLabel *, qint32>> m_labels;
};

// True when the window was closed with OK (the filter then holds what the
// window shows).
bool ShowFilter(TFilterFieldRefList &filter, QWidget *owner, TSettingsStore &store);
