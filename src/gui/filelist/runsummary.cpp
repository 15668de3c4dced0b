#include "gui/filelist/runsummary.h"

#include "core/base/desktopservices.h"
#include "core/base/filereplacement.h"
#include "core/base/localfiles.h"

#include <QCoreApplication>

namespace {

// More names than this make a message box taller than a screen.
constexpr int MaxNamesShown = 15;

QString tr(const char *text)
{
    return QCoreApplication::translate("TRunSummary", text);
}

QString files(int count)
{
    return count == 1 ? tr("1 file") : tr("%1 files").arg(count);
}

} // namespace

QString TRunSummary::Text() const
{
    QStringList parts;
    parts << tr("%1 %2").arg(files(Done), Action);
    parts << Details;
    if (Unchanged > 0)
        parts << tr("%1 unchanged").arg(Unchanged);
    parts << tr("%1 failed").arg(Failed.size());
    if (NotRun > 0)
        parts << tr("%1 not done (cancelled)").arg(NotRun);
    QString text = parts.join(QStringLiteral(", ")) + QLatin1Char('.');
    if (Failed.isEmpty())
        return text;
    text += QLatin1Char('\n');
    for (int i = 0; i < Failed.size() && i < MaxNamesShown; ++i) {
        const QString reason = i < Reasons.size() ? Reasons.at(i) : QString();
        text += QLatin1Char('\n') + Failed.at(i);
        if (!reason.isEmpty())
            text += QStringLiteral(" (") + reason + QLatin1Char(')');
    }
    if (Failed.size() > MaxNamesShown)
        text += QLatin1Char('\n') + tr("... and %1 more").arg(Failed.size() - MaxNamesShown);
    return text;
}

void TRunSummary::Show() const
{
    if (Failed.isEmpty())
        ShowInfo(Text());
    else
        ShowError(Text());
}

QString FileFailureReason(const QString &path, bool renaming)
{
    if (!LocalPathExists(path))
        return tr("the file is gone");
    if (!OwnerMayWrite(path))
        return tr("the file is read-only");
    if (renaming && !MayWriteLocal(LocalParentFolder(path)))
        return tr("its folder cannot be changed");
    if (!renaming && !MayWriteLocal(path))
        return tr("no permission to write");
    return QString();
}
