#pragma once

#include <QString>

class QAbstractItemView;
class TDataField;

// Columns that show their caption and a typical value whole.  The widths of
// the field catalogue are pixels chosen for a small font: in today's fonts
// they cut "Bitrate" to "Bitr..." and a size to "4,8...".

// A value as wide as most values of field show ("12,345 KB" for a size);
// empty for fields whose values vary too much to have one (titles, names).
QString TypicalColumnValue(const TDataField *field);

// The width a column of view needs to show caption in its header, with room
// for the sort picture, and value in its cells, in the fonts of the view.
int FittingColumnWidth(const QAbstractItemView &view, const QString &caption, const QString &value);

// The width to show for a column of field: width, unless it is the field's
// default width, which stands for a width the user never chose (the
// default was stored back by every earlier run) and grows until caption
// and a typical value fit.
int ShownColumnWidth(const QAbstractItemView &view, const TDataField *field, const QString &caption, int width);
