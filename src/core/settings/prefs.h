#pragma once

#include "core/data/datasettings.h"
#include "core/settings/drives.h"
#include "core/settings/proxysettings.h"
#include "core/base/settingsstore.h"

#include <QStringList>

#include <memory>

// Where the settings live: the file named by the TUNEBASE_CONFIG environment
// variable, else ~/.config/Brimlow/Tunebase.ini (XDG config folder).
QString DefaultSettingsFileName();
// The default folder of collections: the XDG data folder's
// "Brimlow/Tunebase/Data/".
QString GetDefaultDataFolder();

// The filename formats offered when the user has not changed them.
const QStringList &DefaultParseFormats();
const QStringList &DefaultRenameFormats();
// Format lists are read up to this length whatever count the store claims.
constexpr int MaxFilenameFormats = 1000;
// More scan threads than this only wait for the disk.
// The worker threads a scan reads files on unless the settings say other.
constexpr int DefaultScanThreads = 2;
constexpr int MaxScanThreads = 16;

// The settings object: knows the store and loads and saves its keys.  Each
// derived class loads and saves its own keys after its parent's.  The most
// derived class loads on construction and saves on destruction; SaveToFile
// saves in between (after a window changed settings) so a crash loses little.
class TPrefs {
public:
    virtual ~TPrefs();
    TPrefs(const TPrefs &) = delete;
    TPrefs &operator=(const TPrefs &) = delete;

    // The path the settings were kept under on the program's first platform;
    // it names the settings set, the file location comes from
    // DefaultSettingsFileName().
    virtual QString GetRegistryKey() const;
    virtual void Load();
    virtual void Save();
    // Save, then write the store to its file; false when writing failed.
    bool SaveToFile();

    TSettingsStore &Store() const { return *m_store; }

protected:
    explicit TPrefs(TSettingsStore &store);                   // not owned
    explicit TPrefs(std::unique_ptr<TSettingsStore> store);   // owned

private:
    std::unique_ptr<TSettingsStore> m_ownedStore;
    TSettingsStore *m_store;
};

// The settings every program of the product family shares.
class TCuratorPrefs : public TPrefs {
public:
    ~TCuratorPrefs() override;
    void Load() override;
    void Save() override;

    // Makes the collection model read ShowLookupSortNames and
    // AutoIncrementIndex from this object (refreshed by every Load and Save)
    // until it is destroyed.
    void InstallDataSettings();

    QString DataFolder;       // ends in "/"
    QString CurrentDatabase;  // full path of the collection opened last
    QString ImageFolder;      // ends in "/"
    bool ShowLookupSortNames = false;
    bool AutoIncrementIndex = true;
    bool ConfirmItemRemoval = true;
    bool ConfirmItemCancel = true;
    bool ShowInCollectionIndicator = true;
    bool LookupHintShown = false;
    TProxySettings ProxySettings;
    double LastUpdateCheck = 0;          // day number, 0 = never
    qint32 NrDaysBetweenUpdateChecks = 7;  // 0 every start, -1 never

protected:
    using TPrefs::TPrefs;

private:
    void refreshDataSettings();

    TDataSettings m_dataSettings;
    bool m_dataSettingsInstalled = false;
};

// The settings of the MP3 program.
class TMp3Prefs final : public TCuratorPrefs {
public:
    // On the settings file of the user (DefaultSettingsFileName()).
    TMp3Prefs();
    // On a given settings file.
    explicit TMp3Prefs(const QString &fileName);
    // On a store owned by the caller; the mount table finds the scan drive.
    explicit TMp3Prefs(TSettingsStore &store, const TMountTable &mounts = SystemMountTable());
    ~TMp3Prefs() override;

    QString GetRegistryKey() const override;
    void Load() override;
    void Save() override;

    QString ScanDrive;
    QStringList ParseFormats;
    QStringList RenameFormats;
    QString CurrentRenameFormat;
    qint32 PlaylistType = 0;  // 0 M3U, 1 PLS
    QString CurrentPlaylist;
    QString CurrentPlaylistFolder;
    bool AutoSelectFolder = true;
    bool FirstRun = true;
    // The worker threads folders are scanned on ("Scan Threads" in
    // [Settings]), 1 to MaxScanThreads.
    qint32 ScanThreads = DefaultScanThreads;
    // The code page of ID3v1 tags and of ID3v2 frames that claim ISO-8859-1
    // ("Legacy Tag Encoding" in [Settings]), one of LegacyTagEncodings().
    // Takes effect through SetLegacyTagEncoding.
    QString LegacyTagEncoding = QStringLiteral("windows-1252");

private:
    const TMountTable &m_mounts;
};
