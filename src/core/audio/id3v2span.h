#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// Bytes taken by the ID3v2 tag whose 10-byte header starts `header`:
// header, body and (ID3v2.4) footer.  0 when the bytes are no ID3v2 header
// or its size is corrupt (a size byte with the high bit set).
qint64 id3v2TagSpan(QByteArrayView header);
