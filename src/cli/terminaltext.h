#pragma once

#include <QString>

// A value as plain text for a terminal or a line-based file: control
// characters (ESC that starts terminal commands, CR that overwrites the
// line, line breaks that fake further lines, DEL, the C1 controls) and the
// characters that reorder text (U+202E and its kin) are written as escapes
// such as "\x1B", "\r", "\n" and "\u202E"; everything else stays as it is.
QString EscapeControls(const QString &value);
