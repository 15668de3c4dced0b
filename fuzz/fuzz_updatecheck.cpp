// The version information document the update check downloads.
#include "fuzzsupport.h"

#include "core/settings/updatecheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body = fuzz::bytesOf(data, size).left(updatecheck::MaxDocumentSize);
    const QStringList lines = updatecheck::SplitLines(body);
    const updatecheck::Result result =
        updatecheck::Judge(lines, QStringLiteral(TUNEBASE_VERSION), QStringLiteral("4"));
    FUZZ_CHECK(result >= updatecheck::NotRetrieved && result <= updatecheck::NewerBuild);
    FUZZ_CHECK((result == updatecheck::NotRetrieved)
               == updatecheck::ValueOf(lines, QStringLiteral("LatestVersion")).isEmpty());
    for (const char *name : {"LatestBuild", "DownloadURL", "InfoURL", "WhatsNewURL", "SupportEmail",
                             "UpgradeDescription", "BuildDescription"})
        updatecheck::ValueOf(lines, QLatin1String(name));
    updatecheck::DocumentUrl(QString::fromUtf8(body.left(2048)));
    return 0;
}
