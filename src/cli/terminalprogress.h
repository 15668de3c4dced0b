#pragma once

#include "core/files/process.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

// The command line's progress display: one line on the terminal, rewritten
// in place ("Export to HTML: Exporting... 42%") and cleared at the end.  When
// the stream is not a terminal (a pipe, a log file) it shows nothing.
class TTerminalProgress : public TProcessWindow {
public:
    explicit TTerminalProgress(FILE *stream = stderr);

    void showProgress() override;
    void hideProgress() override;
    void setCaption(const QString &caption) override;
    void setMessage(const QString &message) override;
    int percent() const override { return m_percent; }
    void setPercent(int percent) override;
    void pumpEvents() override {}

    bool enabled() const { return m_enabled; }
    // Work without a total (reading folders) shows no percentage.
    void setPercentShown(bool shown) { m_percentShown = shown; }

private:
    // Rewrites the line; messages alone redraw at most ten times a second.
    void draw(bool force);

    FILE *m_stream;
    bool m_enabled;
    bool m_visible = false;
    QString m_caption;
    QString m_message;
    int m_percent = 0;
    bool m_percentShown = true;
    QElapsedTimer m_lastDraw;
};
