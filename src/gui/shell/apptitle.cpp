#include "gui/shell/apptitle.h"

namespace {

QString &title()
{
    static QString value = QStringLiteral("Brimlow Tunebase");
    return value;
}

} // namespace

QString ApplicationTitle()
{
    return title();
}

void SetApplicationTitle(const QString &text)
{
    title() = text;
}
