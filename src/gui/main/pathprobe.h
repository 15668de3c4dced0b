#pragma once

#include <QString>

// Whether the file system answers a question about the path (whether it
// exists) within the time: a network mount that no longer answers blocks
// the asking thread, so the question is put on a thread of its own and left
// to it when the time runs out.
bool PathAnswers(const QString &folder, int timeoutMs);
