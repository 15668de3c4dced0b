// `tunebase-cli info` over a generated tree, as plain text and as JSON: the
// JSON report must cost at most a fifth more than the plain one.  Argument:
// the number of files (default 10,000).

#include "mp3tree.h"
#include "scanrun.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

// The best of three runs, in seconds; -1 when the program failed.
double timeInfo(const QString &root, const QStringList &options, const QString &config)
{
    double best = -1;
    for (int run = 0; run < 3; ++run) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TUNEBASE_CONFIG"), config);
        process.setProcessEnvironment(env);
        process.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(TUNEBASE_CLI_PATH), QStringList{QStringLiteral("info")} + options + QStringList{root});
        if (!process.waitForFinished(600'000) || process.exitStatus() != QProcess::NormalExit
            || process.exitCode() != 0)
            return -1;
        const double seconds = timer.nsecsElapsed() / 1e9;
        best = best < 0 ? seconds : std::min(best, seconds);
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    QTextStream out(stdout);
    const int count = BenchFileCount(argc, argv, 10000);
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("tree"));
    if (!PrepareMp3Tree(root, count, out))
        return 1;
    const QString config = dir.filePath(QStringLiteral("settings.ini"));  // none: the defaults
    out << "tunebase-cli info over " << Figure(count) << " files (best of 3 runs, page cache warm)\n";
    timeInfo(root, {}, config);  // warms the caches of the file system
    const double plain = timeInfo(root, {}, config);
    const double json = timeInfo(root, {QStringLiteral("--json")}, config);
    if (plain <= 0 || json <= 0) {
        out << "tunebase-cli info failed\n";
        return 1;
    }
    out << "  plain: " << Figure(plain, 3) << " s\n"
        << "  json:  " << Figure(json, 3) << " s\n"
        << "  ratio json / plain: " << Figure(json / plain, 2) << "x (target at most 1.2x)\n";
    return 0;
}
