// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

// One open table or index file, written in place at given offsets. Every failure throws
// EngineError naming the file. Writes go straight to the system (no buffering in the program),
// so a write that returned is in the file even if the process dies right after.
class DiskFile
{
public:
    DiskFile() = default;
    DiskFile(const DiskFile &) = delete;
    DiskFile &operator=(const DiskFile &) = delete;
    ~DiskFile() { close(); }

    // Opens an existing file for reading and writing. A replacement of it that a process left
    // unfinished (see replace) is removed first.
    void open(const QString &path);
    // The same without throwing; returns false and sets `error` (if given) on failure.
    bool tryOpen(const QString &path, QString *error = nullptr);
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    QString path() const { return m_path; }

    qint64 size() const;
    QByteArray readAll();
    void writeAt(qint64 offset, QByteArrayView bytes);
    void truncate(qint64 size);

    // Puts a whole new file in place of `path` at once: written beside it under one fixed name
    // (partPath), then renamed over it, so the old file stays intact until the new one is
    // complete. A process that dies before the rename leaves only that one file behind.
    // A data file is on the disk before it takes the name, so that a power cut cannot leave the
    // name on an empty file; an index file, which is checked on every open and rebuilt from its
    // data, does not wait for the disk.
    enum class Durability { Disk, Checked };
    static void replace(const QString &path, QByteArrayView bytes,
                        Durability durability = Durability::Disk);
    static QString partPath(const QString &path);

private:
    [[noreturn]] void fail(const char *what, const QString &reason) const;

    QFile m_file;
    QString m_path;
};
