#pragma once

#include <QDialog>
#include <QScrollArea>

class QLabel;
class QProgressBar;
class QToolButton;
class TReportDocument;
class TSettingsStore;
class TfmPreview;

// The page of the preview, painted at the window's zoom.
class TPreviewPage : public QWidget {
    Q_OBJECT
public:
    TPreviewPage(const TReportDocument &document, QWidget *parent = nullptr);

    void SetPage(int index) { m_index = index; update(); }
    void SetZoom(double zoom);
    double Zoom() const { return m_zoom; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const TReportDocument &m_document;
    int m_index = 0;
    double m_zoom = 1.0;
};

// The scrolling view of the page; hands the page keys to the window before
// scrolling with them.
class TPreviewView : public QScrollArea {
    Q_OBJECT
public:
    explicit TPreviewView(TfmPreview *window);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    TfmPreview *m_window;
};

// The preview of a list report: page by page, at three zooms, with printing
// and saving as PDF at hand.
class TfmPreview : public QDialog {
    Q_OBJECT
public:
    enum class TZoom { Fit, Actual, Width };

    TfmPreview(const TReportDocument &document, TSettingsStore &store, QWidget *owner = nullptr);
    ~TfmPreview() override;

    QToolButton *btFirst;
    QToolButton *btPrior;
    QToolButton *btNext;
    QToolButton *btLast;
    QToolButton *btZoomFit;
    QToolButton *btZoom100;
    QToolButton *btZoomWidth;
    QToolButton *btPrint;
    QToolButton *btPdf;
    QToolButton *btClose;
    QLabel *pnPage;
    QProgressBar *pbProgress;

    // The page shown, counted from 1.
    int PageNumber() const { return m_page; }
    // Shows a page; a number outside the report is ignored.
    void ShowPage(int number);
    void SetZoom(TZoom zoom);
    TZoom Zoom() const { return m_zoom; }
    // A page key (Page Up and Down, Home, End); false for other keys.
    bool HandlePageKey(int key, Qt::KeyboardModifiers modifiers);
    // Fits the page to the view again (the view's size changed).
    void ApplyZoom();

    void done(int result) override;

Q_SIGNALS:
    void PrintRequested();
    void PdfRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void updateNavigation();

    const TReportDocument &m_document;
    TSettingsStore &m_store;
    TPreviewView *m_view = nullptr;
    TPreviewPage *m_pageView = nullptr;
    int m_page = 1;
    TZoom m_zoom = TZoom::Width;
};
