// SPDX-License-Identifier: MIT
#include "core/diskfile.h"

#include "core/errors.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

namespace
{

QString openFailure(const QString &path, const QFile &file)
{
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return QStringLiteral("Cannot open table %1: the folder does not exist").arg(path);
    if (!info.exists())
        return QStringLiteral("Table does not exist: %1").arg(path);
    if (info.isDir())
        return QStringLiteral("Cannot open file %1: it is a folder").arg(path);
    return QStringLiteral("Cannot open file %1: %2").arg(path, file.errorString());
}

} // namespace

void DiskFile::open(const QString &path)
{
    QString error;
    if (!tryOpen(path, &error))
        throw EngineError(error);
}

bool DiskFile::tryOpen(const QString &path, QString *error)
{
    close();
    // A replacement that a process did not finish: the file itself is still the old one whole.
    const QString part = partPath(path);
    if (QFileInfo::exists(part))
        QFile::remove(part);
    m_file.setFileName(path);
    // QFile would create a missing file; a table file must exist already.
    if (!QFileInfo::exists(path) || QFileInfo(path).isDir() ||
        !m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        if (error)
            *error = openFailure(path, m_file);
        return false;
    }
    m_path = path;
    return true;
}

void DiskFile::close()
{
    if (m_file.isOpen())
        m_file.close();
}

qint64 DiskFile::size() const
{
    return m_file.size();
}

QByteArray DiskFile::readAll()
{
    if (!m_file.seek(0))
        fail("read", m_file.errorString());
    QByteArray bytes = m_file.readAll();
    if (m_file.error() != QFileDevice::NoError)
        fail("read", m_file.errorString());
    return bytes;
}

void DiskFile::writeAt(qint64 offset, QByteArrayView bytes)
{
#ifdef Q_OS_UNIX
    // One positioned write per call keeps a change to a single system call.
    const int fd = m_file.handle();
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(left), off_t(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("write", qt_error_string(errno));
        }
        data += n;
        offset += n;
        left -= n;
    }
#else
    if (!m_file.seek(offset) || m_file.write(bytes.data(), bytes.size()) != bytes.size())
        fail("write", m_file.errorString());
#endif
}

void DiskFile::truncate(qint64 size)
{
    if (!m_file.resize(size))
        fail("write", m_file.errorString());
}

QString DiskFile::partPath(const QString &path)
{
    return path + QStringLiteral(".part");
}

void DiskFile::replace(const QString &path, QByteArrayView bytes, Durability durability)
{
    const QString part = partPath(path);
    auto failed = [&](const QString &reason) {
        QFile::remove(part);
        throw EngineError(QStringLiteral("Cannot write file %1: %2").arg(path, reason));
    };
    QFile file(part);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        failed(file.errorString());
    if (file.write(bytes.data(), bytes.size()) != bytes.size())
        failed(file.errorString());
    if (QFileInfo::exists(path))
        file.setPermissions(QFile::permissions(path));
#ifdef Q_OS_UNIX
    if (durability == Durability::Disk && ::fdatasync(file.handle()) != 0)
        failed(qt_error_string(errno));
#else
    Q_UNUSED(durability)
#endif
    file.close();
    std::error_code error;
#ifdef Q_OS_WIN
    std::filesystem::rename(part.toStdWString(), path.toStdWString(), error);
#else
    std::filesystem::rename(QFile::encodeName(part).toStdString(),
                            QFile::encodeName(path).toStdString(), error);
#endif
    if (error)
        failed(QString::fromStdString(error.message()));
}

void DiskFile::fail(const char *what, const QString &reason) const
{
    throw EngineError(
        QStringLiteral("Cannot %1 file %2: %3").arg(QLatin1String(what), m_path, reason));
}
