#include "gui/shell/columnfit.h"

#include "core/data/datafield.h"
#include "core/mp3model/mp3fieldids.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLocale>
#include <QStyle>
#include <QTableView>
#include <QTreeView>

#include <algorithm>

namespace {

// The sort picture a header shows beside the caption.
constexpr int SortPictureWidth = 16;

const QHeaderView *headerOf(const QAbstractItemView &view)
{
    if (const auto *table = qobject_cast<const QTableView *>(&view))
        return table->horizontalHeader();
    if (const auto *tree = qobject_cast<const QTreeView *>(&view))
        return tree->header();
    return nullptr;
}

} // namespace

QString TypicalColumnValue(const TDataField *field)
{
    if (!field)
        return {};
    namespace F = Mp3FieldIds;
    switch (field->ID) {
    case F::Size:
        return QLocale().toString(12345.0, 'f', 0) + QStringLiteral(" KB");
    case F::Length:
        return QStringLiteral("00:00");
    case F::Bitrate:
        return QStringLiteral("320kbps(VBR)");
    case F::SampleRate:
        return QStringLiteral("44kHz");
    case F::Frames:
    case F::HeaderPosition:
        return QStringLiteral("000000");
    case F::TrackIndex:
    case F::DiskIndex:
    case F::BPM:
    case F::PlaylistIndex:
        return QStringLiteral("000");
    case F::Year:
    case F::YearText:
        return QStringLiteral("0000");
    case F::Mode:
        return QStringLiteral("Joint Stereo");
    case F::Emphasis:
        return QStringLiteral("50/15 ms");
    case F::MpegVersion:
        return QStringLiteral("2.5");
    default:
        return {};
    }
}

int FittingColumnWidth(const QAbstractItemView &view, const QString &caption, const QString &value)
{
    const QStyle *style = view.style();
    int captionWidth = 0;
    if (const QHeaderView *header = headerOf(view)) {
        const int margin = style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        captionWidth = header->fontMetrics().horizontalAdvance(caption) + 3 * margin + SortPictureWidth;
    }
    // A cell keeps a focus frame's margin on either side of its text, and
    // the grid line.
    const int cellMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
    const int valueWidth = value.isEmpty() ? 0 : view.fontMetrics().horizontalAdvance(value) + 2 * cellMargin + 1;
    return std::max(captionWidth, valueWidth);
}

int ShownColumnWidth(const QAbstractItemView &view, const TDataField *field, const QString &caption, int width)
{
    if (!field || width != field->DefaultWidth)
        return width;
    return std::max(width, FittingColumnWidth(view, caption, TypicalColumnValue(field)));
}
