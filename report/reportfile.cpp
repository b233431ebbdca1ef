// SPDX-License-Identifier: MIT
#include "report/reportfile.h"

#include "core/errors.h"
#include "report/reportunits.h"

#include <QDataStream>
#include <QFile>
#include <QPainter>
#include <QSaveFile>

namespace
{

const QByteArray kMagic("CHQREL\r\n", 8);
constexpr quint16 kVersion = 1;
constexpr quint16 kUnitsPerMm = quint16(kReportUnitsPerMm);
constexpr quint32 kMaxPages = 100000;
constexpr qint64 kMaxFileSize = qint64(512) * 1024 * 1024;
constexpr double kMaxPageSideMm = 10000;

void prepare(QDataStream &stream)
{
    stream.setVersion(QDataStream::Qt_6_0);
    stream.setByteOrder(QDataStream::BigEndian);
    stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
}

Error invalidFile(const QString &path)
{
    return Error(QStringLiteral("O arquivo \"%1\" não é um relatório válido.").arg(path));
}

// A picture checks its own header, version and checksum when it first plays; replaying it into
// a throwaway picture finds a damaged page at load time instead of at printing.
bool isPlayable(QPicture &picture)
{
    QPicture sink;
    QPainter painter(&sink);
    return picture.play(&painter);
}

} // namespace

void SaveReportFile(const ReportPages &pages, const QString &path)
{
    const PicturePages recorded = PicturePages::record(pages);
    QByteArray bytes = kMagic;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly | QIODevice::Append);
        prepare(out);
        out << kVersion << kUnitsPerMm << double(recorded.pageSize().width())
            << double(recorded.pageSize().height()) << quint32(recorded.pageCount());
        for (const QPicture &picture : recorded.pictures()) {
            out << quint32(picture.size());
            out.writeRawData(picture.data(), int(picture.size()));
        }
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Error(QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2.")
                        .arg(path, file.errorString()));
}

PicturePages LoadReportFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Não foi possível abrir o arquivo \"%1\": %2.")
                        .arg(path, file.errorString()));
    if (file.size() > kMaxFileSize)
        throw invalidFile(path);
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith(kMagic))
        throw invalidFile(path);

    QDataStream in(bytes.mid(kMagic.size()));
    prepare(in);
    quint16 version = 0, units = 0;
    double width = 0, height = 0;
    quint32 count = 0;
    in >> version >> units >> width >> height >> count;
    if (in.status() != QDataStream::Ok || version != kVersion || units != kUnitsPerMm ||
        !(width > 0 && width <= kMaxPageSideMm) || !(height > 0 && height <= kMaxPageSideMm) ||
        count > kMaxPages)
        throw invalidFile(path);

    QVector<QPicture> pictures;
    for (quint32 i = 0; i < count; ++i) {
        quint32 length = 0;
        in >> length;
        if (in.status() != QDataStream::Ok || length == 0 || length > quint32(bytes.size()))
            throw invalidFile(path);
        QByteArray data(int(length), Qt::Uninitialized);
        if (in.readRawData(data.data(), int(length)) != int(length))
            throw invalidFile(path);
        QPicture picture;
        picture.setData(data.constData(), length);
        if (!isPlayable(picture))
            throw invalidFile(path);
        pictures.append(picture);
    }
    if (!in.atEnd())
        throw invalidFile(path);
    return PicturePages(QSizeF(width, height), pictures);
}
