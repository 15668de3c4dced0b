#pragma once

#include "core/files/process.h"

#include <QList>
#include <QString>

// A progress display that records what the process asked of it.  The
// counters live in a shared record so a test can still read them after the
// process (which owns the window) is gone.
struct TProcessWindowRecord {
    bool Visible = false;
    int ShowCount = 0;
    int HideCount = 0;
    int Pumps = 0;
    QString Caption;
    QString Message;
    int Percent = 0;
    QList<int> PercentsSet;
};

class TRecordingProcessWindow : public TProcessWindow {
public:
    explicit TRecordingProcessWindow(TProcessWindowRecord &record) : m_record(record) {}

    void showProgress() override { m_record.Visible = true; ++m_record.ShowCount; }
    void hideProgress() override { m_record.Visible = false; ++m_record.HideCount; }
    void setCaption(const QString &caption) override { m_record.Caption = caption; }
    void setMessage(const QString &message) override { m_record.Message = message; }
    int percent() const override { return m_record.Percent; }
    void setPercent(int percent) override
    {
        m_record.Percent = percent;
        m_record.PercentsSet.append(percent);
    }
    void pumpEvents() override { ++m_record.Pumps; }

private:
    TProcessWindowRecord &m_record;
};
