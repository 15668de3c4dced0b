#pragma once

#include <QSplitter>

// A splitter with one sizing panel: the panel's size bar has a hot spot in
// its middle that collapses the panel to the bar and, clicked again, opens
// it at the size it had.
class TSizingSplitter : public QSplitter {
    Q_OBJECT
public:
    TSizingSplitter(Qt::Orientation orientation, QWidget *parent = nullptr);

    // Adds the sizing panel (first for a left or top panel, second for a
    // right or bottom one) and the rest.
    void SetWidgets(QWidget *panel, QWidget *rest, bool panelFirst);

    // The panel's width or height; while it is closed, the size it will
    // open with.
    int PanelSize() const;
    void SetPanelSize(int size);
    bool IsClosed() const { return m_closed; }
    void SetClosed(bool closed);
    void ToggleClosed() { SetClosed(!m_closed); }
    QWidget *Panel() const { return m_panel; }

protected:
    QSplitterHandle *createHandle() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int panelIndex() const { return m_panelFirst ? 0 : 1; }
    int total() const;
    void applySizes();
    void onMoved();

    QWidget *m_panel = nullptr;
    bool m_panelFirst = true;
    bool m_closed = false;
    int m_panelSize = 150;
};
