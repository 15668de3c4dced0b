#pragma once

#include <QByteArray>
#include <QString>

// A folder whose path is longer than PATH_MAX, made inside `base` one level
// at a time (the system takes no longer path in one call), and removed with
// everything in it when the object goes.
class DeepFolder {
public:
    explicit DeepFolder(const QString &base, int minimumPathLength);
    ~DeepFolder();
    DeepFolder(const DeepFolder &) = delete;
    DeepFolder &operator=(const DeepFolder &) = delete;

    bool isValid() const { return m_fd >= 0; }
    QString path() const { return m_path; }
    // Writes a file into the deep folder; false when that fails.
    bool writeFile(const QString &name, const QByteArray &bytes) const;

private:
    QString m_base;
    QString m_path;
    int m_fd = -1;
};
