#include "core/settings/prefs.h"

#include "core/base/legacytext.h"
#include "core/settings/generalhelpers.h"
#include "core/settings/inisettingsstore.h"

#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString Folders = QStringLiteral("Folders");
const QString Settings = QStringLiteral("Settings");
const QString ScanThreadsKey = QStringLiteral("Scan Threads");
const QString LegacyTagEncodingKey = QStringLiteral("Legacy Tag Encoding");
const QString Databases = QStringLiteral("Databases");
const QString ParseFormatsSection = QStringLiteral("ParseFormats");
const QString RenameFormatsSection = QStringLiteral("RenameFormats");
const QString CollectionFileExtension = QStringLiteral("tbx");

// A stored folder, or the default when none (or an empty one) is stored.
QString readFolder(const TSettingsStore &store, const QString &section, const QString &name,
                   const QString &defaultFolder)
{
    const QString folder = store.ReadString(section, name);
    return IncludeTrailingDelimiter(folder.isEmpty() ? defaultFolder : folder);
}

// "Count" missing (or -1) gives the defaults; otherwise Count entries, a
// missing value reading as an empty entry.
QStringList readFormats(const TSettingsStore &store, const QString &section, const QStringList &defaults)
{
    const qint32 count = store.ReadInteger(section, QStringLiteral("Count"), -1);
    if (count == -1)
        return defaults;
    QStringList formats;
    for (qint32 i = 0; i < std::min(count, MaxFilenameFormats); ++i)
        formats.append(store.ReadString(section, QStringLiteral("Format%1").arg(i)));
    return formats;
}

// Count is the length of the list, empty entries included; the non-empty
// entries are numbered consecutively.  Numbers left over from a longer list
// are removed: they would otherwise be read back in place of the empty
// entries.
void writeFormats(TSettingsStore &store, const QString &section, const QStringList &formats)
{
    store.WriteInteger(section, QStringLiteral("Count"), qint32(formats.size()));
    int written = 0;
    for (const QString &format : formats)
        if (!format.isEmpty())
            store.WriteString(section, QStringLiteral("Format%1").arg(written++), format);
    static const QRegularExpression formatName(QStringLiteral("^Format(\\d+)$"),
                                               QRegularExpression::CaseInsensitiveOption);
    for (const QString &name : store.ValueNames(section)) {
        const QRegularExpressionMatch match = formatName.match(name);
        if (match.hasMatch() && match.captured(1).toLongLong() >= written)
            store.DeleteValue(section, name);
    }
}

} // namespace

QString DefaultSettingsFileName()
{
    const QString configured = qEnvironmentVariable("TUNEBASE_CONFIG");
    if (!configured.isEmpty())
        return configured;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Brimlow/Tunebase.ini");
}

QString GetDefaultDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Brimlow/Tunebase/Data/");
}

const QStringList &DefaultParseFormats()
{
    static const QStringList formats{
        QStringLiteral("%al\\%ix - %t"),        QStringLiteral("%ar\\%al\\%ix - %t"),
        QStringLiteral("%ar - %t"),             QStringLiteral("%ar - %al\\%ix - %t"),
        QStringLiteral("%al\\%ix %t"),          QStringLiteral("%al\\%ix %ar - %t"),
        QStringLiteral("%al\\%ix - %ar - %t"),  QStringLiteral("%ar - %al - %ix - %t"),
        QStringLiteral("%ar - %al - %t"),       QStringLiteral("%al\\%ar - %t"),
        QStringLiteral("%ix - %ar - %t"),       QStringLiteral("%ix. %t"),
        QStringLiteral("%al - %ix - %ar - %t"), QStringLiteral("%ix_%ar - %t"),
        QStringLiteral("%ar - %al\\%ix. %t"),   QStringLiteral("(%ar) - %t"),
        QStringLiteral("%ix-%ar-%t"),           QStringLiteral("%ar-%t"),
        QStringLiteral("%ix %t"),               QStringLiteral("%al\\%ix. %t"),
        QStringLiteral("%al\\%t"),              QStringLiteral("%ar - %al\\%t"),
        QStringLiteral("%ar - %al\\%ix %t"),
    };
    return formats;
}

const QStringList &DefaultRenameFormats()
{
    static const QStringList formats{
        QStringLiteral("%ix - %ar - %t"),       QStringLiteral("%ar - %t"),
        QStringLiteral("%ar - %al - %t"),       QStringLiteral("%al - %t"),
        QStringLiteral("%al - %ix - %t"),       QStringLiteral("%ar - %al - %ix - %t"),
        QStringLiteral("%al - %ix - %ar - %t"), QStringLiteral("%ix - %t"),
        QStringLiteral("%t"),                   QStringLiteral("%ar - %ix - %t"),
        QStringLiteral("%ix. %t"),              QStringLiteral("(%ar) %t"),
        QStringLiteral("%ix-%ar-%t"),           QStringLiteral("%ix %t"),
        QStringLiteral("%ar-%t"),               QStringLiteral("%ix_%ar - %t"),
    };
    return formats;
}

// ---- TPrefs

TPrefs::TPrefs(TSettingsStore &store)
    : m_store(&store)
{
}

TPrefs::TPrefs(std::unique_ptr<TSettingsStore> store)
    : m_ownedStore(std::move(store)), m_store(m_ownedStore.get())
{
}

TPrefs::~TPrefs() = default;

QString TPrefs::GetRegistryKey() const
{
    return QString();
}

void TPrefs::Load()
{
}

void TPrefs::Save()
{
    Store().WriteString(Folders, QStringLiteral("App"), GetAppFolder());
}

bool TPrefs::SaveToFile()
{
    Save();
    return Store().Flush();
}

// ---- TCuratorPrefs

TCuratorPrefs::~TCuratorPrefs()
{
    if (m_dataSettingsInstalled && &TDataSettings::Current() == &m_dataSettings)
        TDataSettings::SetCurrent(nullptr);
}

void TCuratorPrefs::InstallDataSettings()
{
    refreshDataSettings();
    TDataSettings::SetCurrent(&m_dataSettings);
    m_dataSettingsInstalled = true;
}

void TCuratorPrefs::refreshDataSettings()
{
    m_dataSettings.ShowLookupSortNames = ShowLookupSortNames;
    m_dataSettings.AutoIncrementIndex = AutoIncrementIndex;
}

void TCuratorPrefs::Load()
{
    TPrefs::Load();
    const TSettingsStore &store = Store();
    // Reading settings creates nothing: the desktop program makes the data
    // folder when it starts, and a command that only reads leaves the home
    // folder as it is.
    DataFolder = readFolder(store, Folders, QStringLiteral("Data"), GetDefaultDataFolder());
    ShowLookupSortNames = store.ReadBool(Settings, QStringLiteral("ShowLookupSortNames"), false);
    AutoIncrementIndex = store.ReadBool(Settings, QStringLiteral("AutoIncrementIndex"), true);
    ConfirmItemRemoval = store.ReadBool(Settings, QStringLiteral("ConfirmItemRemoval"), true);
    ConfirmItemCancel = store.ReadBool(Settings, QStringLiteral("ConfirmItemCancel"), true);
    ShowInCollectionIndicator = store.ReadBool(Settings, QStringLiteral("ShowInCollectionIndicator"), true);
    LookupHintShown = store.ReadBool(Settings, QStringLiteral("Lookup Hint Shown"), false);
    ImageFolder = readFolder(store, Settings, QStringLiteral("ImageBaseFolder"),
                             GetDefaultDataFolder() + QStringLiteral("Images/"));
    ProxySettings.Load(store);
    LastUpdateCheck = store.ReadDate(Settings, QStringLiteral("LastUpdateCheck"), 0);
    NrDaysBetweenUpdateChecks = store.ReadInteger(Settings, QStringLiteral("NrDaysBetweenUpdateChecks"), 7);
    refreshDataSettings();
}

// Replaces the base operation: the program folder is written among the
// other folders.
void TCuratorPrefs::Save()
{
    TSettingsStore &store = Store();
    store.WriteString(Folders, QStringLiteral("Data"), DataFolder);
    store.WriteString(Folders, QStringLiteral("App"), GetAppFolder());
    store.WriteString(Databases, QStringLiteral("CurrentDatabase"), CurrentDatabase);
    store.WriteString(Settings, QStringLiteral("ImageBaseFolder"), ImageFolder);
    refreshDataSettings();
    store.WriteBool(Settings, QStringLiteral("ShowLookupSortNames"), ShowLookupSortNames);
    store.WriteBool(Settings, QStringLiteral("AutoIncrementIndex"), AutoIncrementIndex);
    store.WriteBool(Settings, QStringLiteral("ConfirmItemRemoval"), ConfirmItemRemoval);
    store.WriteBool(Settings, QStringLiteral("ConfirmItemCancel"), ConfirmItemCancel);
    store.WriteBool(Settings, QStringLiteral("ShowInCollectionIndicator"), ShowInCollectionIndicator);
    store.WriteBool(Settings, QStringLiteral("Lookup Hint Shown"), LookupHintShown);
    store.WriteString(QStringLiteral("Version info"), QStringLiteral("Version"), GetVersionText(true));
    store.WriteDate(Settings, QStringLiteral("LastUpdateCheck"), LastUpdateCheck);
    store.WriteInteger(Settings, QStringLiteral("NrDaysBetweenUpdateChecks"), NrDaysBetweenUpdateChecks);
    ProxySettings.Save(store);
}

// ---- TMp3Prefs

TMp3Prefs::TMp3Prefs()
    : TMp3Prefs(DefaultSettingsFileName())
{
}

TMp3Prefs::TMp3Prefs(const QString &fileName)
    : TCuratorPrefs(std::make_unique<TIniSettingsStore>(fileName)), m_mounts(SystemMountTable())
{
    Load();
}

TMp3Prefs::TMp3Prefs(TSettingsStore &store, const TMountTable &mounts)
    : TCuratorPrefs(store), m_mounts(mounts)
{
    Load();
}

TMp3Prefs::~TMp3Prefs()
{
    SaveToFile();
}

QString TMp3Prefs::GetRegistryKey() const
{
    return QStringLiteral("\\Software\\Brimlow\\Mp3");
}

void TMp3Prefs::Load()
{
    TCuratorPrefs::Load();
    const TSettingsStore &store = Store();
    CurrentDatabase = store.ReadString(Databases, QStringLiteral("CurrentDatabase"),
                                       DataFolder + QStringLiteral("demo.") + CollectionFileExtension);
    ScanDrive = store.ReadString(QStringLiteral("Scan"), QStringLiteral("Drive"));
    if (ScanDrive.isEmpty())
        ScanDrive = FindFirstCDDrive(m_mounts);
    ParseFormats = readFormats(store, ParseFormatsSection, DefaultParseFormats());
    RenameFormats = readFormats(store, RenameFormatsSection, DefaultRenameFormats());
    CurrentRenameFormat = store.ReadString(RenameFormatsSection, QStringLiteral("Current"),
                                           RenameFormats.value(0));
    PlaylistType = store.ReadInteger(QStringLiteral("PlayLists"), QStringLiteral("DefaultType"), 0);
    if (PlaylistType != 0 && PlaylistType != 1)
        PlaylistType = 0;  // only M3U and PLS exist
    CurrentPlaylist = store.ReadString(QStringLiteral("Playlists"), QStringLiteral("Current Playlist"));
    CurrentPlaylistFolder = store.ReadString(QStringLiteral("Playlists"), QStringLiteral("Current Folder"), DataFolder);
    AutoSelectFolder = store.ReadBool(Settings, QStringLiteral("Auto Select Folder"), true);
    FirstRun = store.ReadBool(Settings, QStringLiteral("First Run of App"), true);
    ScanThreads = std::clamp<qint32>(store.ReadInteger(Settings, ScanThreadsKey, DefaultScanThreads), 1,
                                     MaxScanThreads);
    // A code page that is not offered (a typing error in the file) reads as the default.
    LegacyTagEncoding = LegacyTagEncodingNamed(store.ReadString(Settings, LegacyTagEncodingKey));
    if (LegacyTagEncoding.isEmpty())
        LegacyTagEncoding = DefaultLegacyTagEncoding();
}

void TMp3Prefs::Save()
{
    TCuratorPrefs::Save();
    TSettingsStore &store = Store();
    store.WriteString(QStringLiteral("Scan"), QStringLiteral("Drive"), ScanDrive);
    writeFormats(store, ParseFormatsSection, ParseFormats);
    writeFormats(store, RenameFormatsSection, RenameFormats);
    store.WriteString(RenameFormatsSection, QStringLiteral("Current"), CurrentRenameFormat);
    store.WriteInteger(QStringLiteral("PlayLists"), QStringLiteral("DefaultType"), PlaylistType);
    store.WriteString(QStringLiteral("Playlists"), QStringLiteral("Current Playlist"), CurrentPlaylist);
    store.WriteString(QStringLiteral("Playlists"), QStringLiteral("Current Folder"), CurrentPlaylistFolder);
    store.WriteBool(Settings, QStringLiteral("Auto Select Folder"), AutoSelectFolder);
    store.WriteBool(Settings, QStringLiteral("First Run of App"), false);
    store.WriteInteger(Settings, ScanThreadsKey, ScanThreads);
    store.WriteString(Settings, LegacyTagEncodingKey, LegacyTagEncoding);
}
