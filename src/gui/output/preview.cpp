#include "gui/output/preview.h"

#include "gui/output/reportdocument.h"
#include "gui/settings/formplacement.h"
#include "gui/shell/checkablebuttons.h"
#include "gui/shell/globaldata.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int PageGap = 12;   // around the page, in pixels

} // namespace

// ---- TPreviewPage ------------------------------------------------------------

TPreviewPage::TPreviewPage(const TReportDocument &document, QWidget *parent)
    : QWidget(parent), m_document(document)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPreviewPage::SetZoom(double zoom)
{
    m_zoom = std::clamp(zoom, 0.05, 8.0);
    resize(sizeHint());
    update();
}

QSize TPreviewPage::sizeHint() const
{
    const QSizeF paper = m_document.PaperSize() * m_zoom * logicalDpiX() / reportunits::PerInch;
    return paper.toSize() + QSize(2 * PageGap, 2 * PageGap);
}

void TPreviewPage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    const QSize paper = sizeHint() - QSize(2 * PageGap, 2 * PageGap);
    const QRect sheet(QPoint(PageGap, PageGap), paper);
    painter.fillRect(sheet.translated(3, 3), QColor(0, 0, 0, 60));
    painter.fillRect(sheet, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(sheet.topLeft());
    m_document.PaintPage(painter, *this, m_index, m_zoom);
}

// ---- TPreviewView ---------------------------------------------------------------

TPreviewView::TPreviewView(TfmPreview *window)
    : QScrollArea(window), m_window(window)
{
    setAlignment(Qt::AlignCenter);
    setFocusPolicy(Qt::StrongFocus);
}

void TPreviewView::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    m_window->ApplyZoom();
}

void TPreviewView::keyPressEvent(QKeyEvent *event)
{
    if (!m_window->HandlePageKey(event->key(), event->modifiers()))
        QScrollArea::keyPressEvent(event);
}

// ---- TfmPreview ----------------------------------------------------------------------

TfmPreview::TfmPreview(const TReportDocument &document, TSettingsStore &store, QWidget *owner)
    : QDialog(owner), m_document(document), m_store(store)
{
    setObjectName(QStringLiteral("fmPreview"));
    setWindowTitle(document.Title().isEmpty() ? tr("Preview") : document.Title());
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("tbPreview"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto tool = [this, bar](const char *name, const QString &text, const QString &hint, const char *theme) {
        auto *b = new QToolButton(bar);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(hint);
        if (theme)
            b->setIcon(QIcon::fromTheme(QLatin1String(theme)));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(true);
        bar->addWidget(b);
        return b;
    };
    btFirst = tool("btFirst", tr("First"), tr("First"), "go-first");
    btPrior = tool("btPrior", tr("Previous"), tr("Previous"), "go-previous");
    btNext = tool("btNext", tr("Next"), tr("Next"), "go-next");
    btLast = tool("btLast", tr("Last"), tr("Last"), "go-last");
    bar->addSeparator();
    btZoomFit = tool("btZoomFit", tr("Whole Page"), tr("Whole Page"), "zoom-fit-best");
    btZoom100 = tool("btZoom100", tr("100 %"), tr("Actual Size"), "zoom-original");
    btZoomWidth = tool("btZoomWidth", tr("Page Width"), tr("Page Width"), nullptr);
    auto *zooms = new QButtonGroup(this);
    for (QToolButton *b : {btZoomFit, btZoom100, btZoomWidth}) {
        b->setCheckable(true);
        zooms->addButton(b);
        MakeCheckableButtonReachable(b);
    }
    bar->addSeparator();
    btPrint = tool("btPrint", tr("Print"), tr("Print"), "document-print");
    btPdf = tool("btPdf", tr("Save as PDF"), tr("Save as PDF"), nullptr);
    bar->addSeparator();
    btClose = tool("btClose", tr("&Close"), tr("Close"), nullptr);

    connect(btFirst, &QToolButton::clicked, this, [this] { ShowPage(1); });
    connect(btPrior, &QToolButton::clicked, this, [this] { ShowPage(m_page - 1); });
    connect(btNext, &QToolButton::clicked, this, [this] { ShowPage(m_page + 1); });
    connect(btLast, &QToolButton::clicked, this, [this] { ShowPage(m_document.PageCount()); });
    // A zoom follows its button however it came down: a click, Space or an
    // assistive tool's toggle (which emits no click).
    const std::pair<QToolButton *, TZoom> zoomButtons[] = {
        {btZoomFit, TZoom::Fit}, {btZoom100, TZoom::Actual}, {btZoomWidth, TZoom::Width}};
    for (const auto &[button, zoom] : zoomButtons) {
        connect(button, &QToolButton::toggled, this, [this, zoom = zoom](bool checked) {
            if (checked && m_zoom != zoom)
                SetZoom(zoom);
        });
    }
    connect(btPrint, &QToolButton::clicked, this, &TfmPreview::PrintRequested);
    connect(btPdf, &QToolButton::clicked, this, &TfmPreview::PdfRequested);
    connect(btClose, &QToolButton::clicked, this, &QDialog::reject);

    m_view = new TPreviewView(this);
    m_view->setObjectName(QStringLiteral("pvPages"));
    m_pageView = new TPreviewPage(document, m_view);
    m_view->setWidget(m_pageView);

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar"));
    pnPage = new QLabel(status);
    pnPage->setObjectName(QStringLiteral("pnPage"));
    pbProgress = new QProgressBar(status);
    pbProgress->setObjectName(QStringLiteral("pbProgress"));
    pbProgress->setRange(0, 100);
    pbProgress->setMaximumWidth(150);
    // Pages are laid out as they are shown: there is no generation to wait
    // for.
    pbProgress->hide();
    status->addWidget(pnPage, 1);
    status->addPermanentWidget(pbProgress);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_view, 1);
    layout->addWidget(status);

    resize(800, 700);
    TFormPlacement::RestorePlacement(this, m_store);
    setWindowTitle(tr("Preview of report \"%1\"").arg(document.Title()));
    m_view->setFocus();
    m_zoom = TZoom::Width;
    btZoomWidth->setChecked(true);
    updateNavigation();
}

TfmPreview::~TfmPreview() = default;

void TfmPreview::done(int result)
{
    TFormPlacement::SavePlacement(this, m_store);
    QDialog::done(result);
}

void TfmPreview::ShowPage(int number)
{
    if (number < 1 || number > m_document.PageCount())
        return;
    m_page = number;
    m_pageView->SetPage(number - 1);
    m_view->verticalScrollBar()->setValue(0);
    updateNavigation();
}

void TfmPreview::updateNavigation()
{
    const int count = m_document.PageCount();
    btFirst->setEnabled(m_page > 1);
    btPrior->setEnabled(m_page > 1);
    btNext->setEnabled(m_page < count);
    btLast->setEnabled(m_page < count);
    pnPage->setText(tr("   Page %1 of %2").arg(m_page).arg(count));
}

void TfmPreview::SetZoom(TZoom zoom)
{
    m_zoom = zoom;
    btZoomFit->setChecked(zoom == TZoom::Fit);
    btZoom100->setChecked(zoom == TZoom::Actual);
    btZoomWidth->setChecked(zoom == TZoom::Width);
    ApplyZoom();
}

void TfmPreview::ApplyZoom()
{
    if (!m_pageView)
        return;
    const QSizeF paper = m_document.PaperSize() * m_pageView->logicalDpiX() / reportunits::PerInch;
    const QSize room = m_view->viewport()->size() - QSize(2 * PageGap, 2 * PageGap);
    // The width zoom leaves room for the vertical scroll bar it brings.
    const int scrollBar = m_view->verticalScrollBar()->sizeHint().width();
    double zoom = 1.0;
    if (m_zoom == TZoom::Width)
        zoom = (room.width() - (m_view->verticalScrollBar()->isVisible() ? 0 : scrollBar)) / paper.width();
    else if (m_zoom == TZoom::Fit)
        zoom = std::min(room.width() / paper.width(), room.height() / paper.height());
    m_pageView->SetZoom(zoom);
}

bool TfmPreview::HandlePageKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrlAlone = (modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier))
                           == Qt::ControlModifier;
    switch (key) {
    case Qt::Key_PageUp:
        ShowPage(ctrlAlone ? 1 : m_page - 1);
        return true;
    case Qt::Key_PageDown:
        ShowPage(ctrlAlone ? m_document.PageCount() : m_page + 1);
        return true;
    case Qt::Key_Home:
        ShowPage(1);
        return true;
    case Qt::Key_End:
        ShowPage(m_document.PageCount());
        return true;
    default:
        return false;
    }
}

void TfmPreview::keyPressEvent(QKeyEvent *event)
{
    if (!HandlePageKey(event->key(), event->modifiers()))
        QDialog::keyPressEvent(event);
}
