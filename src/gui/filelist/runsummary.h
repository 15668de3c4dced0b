#pragma once

#include <QString>
#include <QStringList>

// The report at the end of a batch run over files: how many were done,
// how many needed no change, and which failed and why as far as the file
// system tells.
struct TRunSummary {
    QString Action;     // past tense for the count, e.g. "renamed"
    int Done = 0;
    // Further counts shown after the first, e.g. "3 updated".
    QStringList Details;
    int Unchanged = 0;
    int NotRun = 0;     // left out by Cancel
    QStringList Failed; // paths
    // Per failed path, what is known about the cause ("" when nothing).
    QStringList Reasons;

    QString Text() const;
    // Shows the text, as an error when files failed.
    void Show() const;
};

// Why writing to or renaming a file may have failed, from what the file
// system says about it now: gone, read-only, its folder read-only; empty
// when none of these holds.
QString FileFailureReason(const QString &path, bool renaming);
