#include "core/settings/updatecheck.h"

#include "core/base/settingsstore.h"


namespace updatecheck {

QStringList SplitLines(const QByteArray &body)
{
    QStringList lines = QString::fromUtf8(body).split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

QString ValueOf(const QStringList &lines, const QString &name)
{
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq >= 0 && QStringView(line).left(eq).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1).trimmed();
    }
    return QString();
}

Result Judge(const QStringList &lines, const QString &version, const QString &build)
{
    const QString latestVersion = ValueOf(lines, QStringLiteral("LatestVersion"));
    if (latestVersion.isEmpty())
        return NotRetrieved;
    if (latestVersion != version)
        return NewerVersion;
    if (ValueOf(lines, QStringLiteral("LatestBuild")) != build)
        return NewerBuild;
    return UpToDate;
}

bool IsAutoCheckDue(int nrDaysBetweenChecks, double lastCheck, double today)
{
    if (nrDaysBetweenChecks == -1)
        return false;
    return !(nrDaysBetweenChecks > today - lastCheck);
}

QUrl DocumentUrl(const QString &baseUrl)
{
    QString base = baseUrl.trimmed();
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return QUrl(base).resolved(QUrl(QString::fromLatin1(DocumentPath)));
}

QString BaseUrl(const TSettingsStore &store, const QString &builtInBaseUrl)
{
    const QString configured = store.ReadString(QString::fromLatin1(BaseUrlSection),
                                                QString::fromLatin1(BaseUrlValue)).trimmed();
    return configured.isEmpty() ? builtInBaseUrl : configured;
}

} // namespace updatecheck
