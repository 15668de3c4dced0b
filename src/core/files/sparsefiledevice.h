#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <vector>

// A file opened for reading its information: reads only the ranges asked
// for (at least a few kilobytes at a time, so that walking the frames of a
// tag costs one read), keeps them for reading again, and takes its size,
// modification time and write permission from the one open file.  The tag
// and stream readers read through it as through any device; skipping over
// a picture is a seek that reads nothing.
class TSparseFileDevice : public QIODevice {
public:
    TSparseFileDevice() = default;
    ~TSparseFileDevice() override;
    TSparseFileDevice(const TSparseFileDevice &) = delete;
    TSparseFileDevice &operator=(const TSparseFileDevice &) = delete;

    // Opens the file read-only; false (with errorString) when it cannot be
    // opened or is no regular file.
    bool openFile(const QString &path);
    void close() override;

    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }
    // Milliseconds since the epoch, as the file system stores them.
    qint64 modifiedTime() const { return m_modifiedMs; }
    // Whether the owner may write the file (the read-only attribute).
    bool ownerMayWrite() const { return m_ownerMayWrite; }
    // Whether a read from the file failed since it was opened.
    bool readFailed() const { return m_readFailed; }
    // The bytes taken from the file so far.
    qint64 bytesFetched() const { return m_bytesFetched; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    struct Chunk {
        qint64 start = 0;
        QByteArray bytes;
        qint64 end() const { return start + bytes.size(); }
    };
    // The chunk holding [pos, pos + length), read from the file if need
    // be; nullptr on a read error.
    const Chunk *chunkFor(qint64 pos, qint64 length);
    bool fetch(qint64 pos, qint64 length, QByteArray &into);

    int m_fd = -1;
    qint64 m_size = 0;
    qint64 m_modifiedMs = 0;
    bool m_ownerMayWrite = false;
    bool m_readFailed = false;
    qint64 m_bytesFetched = 0;
    std::vector<Chunk> m_chunks;
};
