#include "core/data/dataexceptions.h"

TMessageException::TMessageException(const QString &message)
    : m_message(message)
    , m_utf8(message.toUtf8())
{
}
