#include "core/settings/fileassociation.h"
#include "core/base/writeall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QLatin1String DefaultGroup("[Default Applications]");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString xmlEscaped(const QString &text)
{
    return text.toHtmlEscaped();
}

// Values of a desktop entry may not hold line breaks; backslashes are escaped.
QString desktopValue(const QString &text)
{
    QString value = text;
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    value.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    value.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return value;
}

bool isGroupHeader(const QByteArray &line)
{
    const QByteArray t = line.trimmed();
    return t.startsWith('[') && t.endsWith(']');
}

} // namespace

TXdgPaths TXdgPaths::FromEnvironment()
{
    TXdgPaths p;
    p.DataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    p.ConfigHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    p.DataDirs = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    p.DataDirs.removeAll(p.DataHome);
    p.ConfigDirs = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    p.ConfigDirs.removeAll(p.ConfigHome);
    return p;
}

bool TProcessRunner::Run(const QString &program, const QStringList &arguments)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return false;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(path, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
           && process.exitCode() == 0;
}

TAssociate::TAssociate(TXdgPaths paths, TCommandRunner &runner)
    : m_paths(std::move(paths)), m_runner(runner)
{
}

QString TAssociate::NormalizeExtension(const QString &extension)
{
    const qsizetype dot = extension.indexOf(QLatin1Char('.'));
    if (dot > 0)
        return extension.mid(dot);
    return dot == 0 ? extension : QLatin1Char('.') + extension;
}

QString TAssociate::QuoteExecArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const bool needsQuotes = std::any_of(argument.cbegin(), argument.cend(),
                                         [](QChar c) { return reserved.contains(c); });
    if (!needsQuotes && !argument.isEmpty())
        return argument;
    QString quoted;
    for (QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString TAssociate::desktopFileId() const
{
    return AppName.toLower() + QLatin1String(".desktop");
}

QString TAssociate::iconName() const
{
    return AppName.toLower();
}

QString TAssociate::documentIconName() const
{
    return QString(MimeType).replace(QLatin1Char('/'), QLatin1Char('-'));
}

QString TAssociate::DesktopEntryPath() const
{
    return m_paths.DataHome + QLatin1String("/applications/") + desktopFileId();
}

QString TAssociate::MimePackagePath() const
{
    return m_paths.DataHome + QLatin1String("/mime/packages/") + AppName.toLower() + QLatin1String(".xml");
}

QString TAssociate::AppIconPath() const
{
    return m_paths.DataHome + QLatin1String("/icons/hicolor/scalable/apps/") + iconName() + QLatin1String(".svg");
}

QString TAssociate::DocumentIconPath() const
{
    return m_paths.DataHome + QLatin1String("/icons/hicolor/scalable/mimetypes/") + documentIconName()
           + QLatin1String(".svg");
}

QString TAssociate::UserMimeAppsPath() const
{
    return m_paths.ConfigHome + QLatin1String("/mimeapps.list");
}

QByteArray TAssociate::DesktopEntryContents() const
{
    QString text;
    text += QLatin1String("[Desktop Entry]\n");
    text += QLatin1String("Type=Application\n");
    text += QLatin1String("Name=") + desktopValue(AppName) + QLatin1Char('\n');
    text += QLatin1String("GenericName=MP3 Collection Manager\n");
    text += QLatin1String("Comment=Catalogue your MP3 files\n");
    text += QLatin1String("Exec=") + desktopValue(Command) + QLatin1Char('\n');
    if (!ExeName.isEmpty())
        text += QLatin1String("TryExec=") + desktopValue(ExeName) + QLatin1Char('\n');
    text += QLatin1String("Icon=") + iconName() + QLatin1Char('\n');
    text += QLatin1String("Terminal=false\n");
    text += QLatin1String("Categories=AudioVideo;Audio;Qt;\n");
    text += QLatin1String("MimeType=") + MimeType + QLatin1String(";\n");
    return text.toUtf8();
}

QByteArray TAssociate::MimePackageContents(const QString &extension) const
{
    QString text;
    text += QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    text += QLatin1String("<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n");
    text += QLatin1String("  <mime-type type=\"") + xmlEscaped(MimeType) + QLatin1String("\">\n");
    text += QLatin1String("    <comment>") + xmlEscaped(Description) + QLatin1String("</comment>\n");
    text += QLatin1String("    <icon name=\"") + xmlEscaped(documentIconName()) + QLatin1String("\"/>\n");
    text += QLatin1String("    <glob pattern=\"*") + xmlEscaped(NormalizeExtension(extension))
            + QLatin1String("\"/>\n");
    text += QLatin1String("  </mime-type>\n");
    text += QLatin1String("</mime-info>\n");
    return text.toUtf8();
}

void TAssociate::RegisterFileType()
{
    if (fileassociation::WriteIfChanged(DesktopEntryPath(), DesktopEntryContents()))
        m_desktopChanged = true;
    if (!IconFile.isEmpty())
        fileassociation::WriteIfChanged(AppIconPath(), readAll(IconFile));
}

void TAssociate::RegisterExtension(const QString &extension)
{
    if (fileassociation::WriteIfChanged(MimePackagePath(), MimePackageContents(extension)))
        m_mimeChanged = true;
    if (!DocumentIconFile.isEmpty())
        fileassociation::WriteIfChanged(DocumentIconPath(), readAll(DocumentIconFile));
    if (!hasDefaultApplication())
        setDefaultApplication();
}

void TAssociate::NotifyAssociationChanged()
{
    if (m_mimeChanged)
        m_runner.Run(QStringLiteral("update-mime-database"), {m_paths.DataHome + QLatin1String("/mime")});
    if (m_desktopChanged)
        m_runner.Run(QStringLiteral("update-desktop-database"),
                     {m_paths.DataHome + QLatin1String("/applications")});
    m_mimeChanged = false;
    m_desktopChanged = false;
}

bool TAssociate::hasDefaultApplication() const
{
    // The lists in the order the desktop consults them.
    QStringList lists{UserMimeAppsPath()};
    for (const QString &dir : m_paths.ConfigDirs)
        lists << dir + QLatin1String("/mimeapps.list");
    lists << m_paths.DataHome + QLatin1String("/applications/mimeapps.list");
    for (const QString &dir : m_paths.DataDirs)
        lists << dir + QLatin1String("/applications/mimeapps.list");
    return std::any_of(lists.cbegin(), lists.cend(), [this](const QString &path) {
        return !fileassociation::DefaultApplicationIn(readAll(path), MimeType).isEmpty();
    });
}

void TAssociate::setDefaultApplication()
{
    const QString path = UserMimeAppsPath();
    fileassociation::WriteIfChanged(
        path, fileassociation::WithDefaultApplication(readAll(path), MimeType, desktopFileId()));
}

namespace fileassociation {

bool WriteIfChanged(const QString &path, const QByteArray &contents)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == contents)
        return false;
    existing.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !writeAll(file, contents))
        return false;
    return file.commit();
}

QString DefaultApplicationIn(const QByteArray &mimeApps, const QString &mimeType)
{
    bool inDefaults = false;
    const QByteArray key = mimeType.toUtf8();
    for (const QByteArray &rawLine : mimeApps.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (isGroupHeader(line)) {
            inDefaults = line == QByteArray(DefaultGroup.data(), DefaultGroup.size());
            continue;
        }
        if (!inDefaults)
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq > 0 && line.left(eq).trimmed() == key) {
            const QString value = QString::fromUtf8(line.mid(eq + 1)).trimmed();
            const QString first = value.section(QLatin1Char(';'), 0, 0).trimmed();
            if (!first.isEmpty())
                return first;
        }
    }
    return QString();
}

QByteArray WithDefaultApplication(const QByteArray &mimeApps, const QString &mimeType,
                                  const QString &desktopId)
{
    const QByteArray entry = (mimeType + QLatin1Char('=') + desktopId + QLatin1Char(';')).toUtf8();
    QList<QByteArray> lines = mimeApps.split('\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    const QByteArray group(DefaultGroup.data(), DefaultGroup.size());
    const qsizetype header = lines.indexOf(group);
    if (header < 0) {
        if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty())
            lines << QByteArray();
        lines << group << entry;
    } else {
        // After the group's last entry, before any blank lines that end it.
        qsizetype at = header + 1;
        while (at < lines.size() && !isGroupHeader(lines.at(at)))
            ++at;
        while (at > header + 1 && lines.at(at - 1).trimmed().isEmpty())
            --at;
        lines.insert(at, entry);
    }
    return lines.join('\n') + '\n';
}

} // namespace fileassociation
