// SPDX-License-Identifier: MIT
// Writes the seed corpus of the two fuzz targets: small tables made by the file layer, each
// data file with its index files in one input (see fuzztables.h).
//
//   makecorpus <corpus folder>     writes <folder>/dbase/* and <folder>/paradox/*
#include "core/calculationstore.h"
#include "fuzztables.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace
{

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Seed {
    const char *name;
    bool paradox;
    std::function<QVector<FieldDef>()> fields;
    std::function<QVector<IndexDef>()> indexes;
    int records;
    int removed; // every n-th record deleted again; 0 for none
};

QVector<IndexDef> noIndexes()
{
    return {};
}

QVector<IndexDef> unkeyedWithTag()
{
    IndexDef tag;
    tag.name = QStringLiteral("BYNAME");
    tag.fields = {QStringLiteral("NAME"), QStringLiteral("AMOUNT")};
    tag.unique = true;
    return {tag};
}

QVector<FieldDef> otherFields()
{
    return {MakeFieldDef(QStringLiteral("NAME"), FieldType::String, 12),
            MakeFieldDef(QStringLiteral("AMOUNT"), FieldType::Float, 12, 2),
            MakeFieldDef(QStringLiteral("COUNT"), FieldType::Integer),
            MakeFieldDef(QStringLiteral("WHEN"), FieldType::Date)};
}

QVector<IndexDef> keyedOnName()
{
    IndexDef primary;
    primary.fields = {QStringLiteral("NAME")};
    primary.primary = primary.unique = true;
    IndexDef byDate;
    byDate.name = QStringLiteral("BYDATE");
    byDate.fields = {QStringLiteral("WHEN"), QStringLiteral("COUNT")};
    return {primary, byDate};
}

const Seed kSeeds[] = {
    {"header-empty", false, HeaderFileFields, HeaderFileIndexes, 0, 0},
    {"header-one", false, HeaderFileFields, HeaderFileIndexes, 1, 0},
    {"header-some-deleted", false, HeaderFileFields, HeaderFileIndexes, 6, 2},
    {"header-no-index", false, HeaderFileFields, noIndexes, 2, 0},
    {"other-unique-tag", false, otherFields, unkeyedWithTag, 4, 0},
    {"lines-empty", true, LineFileFields, LineFileIndexes, 0, 0},
    {"lines-one", true, LineFileFields, LineFileIndexes, 1, 0},
    {"lines-two-blocks", true, LineFileFields, LineFileIndexes, 100, 7},
    {"other-keyed", true, otherFields, keyedOnName, 5, 0},
    {"other-unkeyed", true, otherFields, noIndexes, 3, 0},
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makecorpus <corpus folder>\n");
        return 2;
    }
    const QDir corpus(QString::fromLocal8Bit(argv[1]));
    try {
        for (const Seed &seed : kSeeds) {
            QTemporaryDir dir;
            const QStringList names =
                seed.paradox ? QStringList{QStringLiteral("T.db"), QStringLiteral("T.px"),
                                           QStringLiteral("T.xg0"), QStringLiteral("T.yg0")}
                             : QStringList{QStringLiteral("T.dbf"), QStringLiteral("T.mdx")};
            const QString path = QDir(dir.path()).filePath(names.front());
            TableFile::create(path, seed.fields(), seed.indexes());
            std::unique_ptr<TableFile> file = TableFile::forPath(path);
            file->open(path);
            QVector<quint32> stored;
            for (int i = 0; i < seed.records; ++i) {
                RecordValues values = fuzz::sampleRecord(file->fields(), i);
                stored.append(file->append(values));
            }
            for (int i = 0; seed.removed && i < stored.size(); i += seed.removed)
                file->remove(stored[i]);
            file->close();
            QList<QByteArray> files;
            for (const QString &name : names)
                files.append(readFile(QDir(dir.path()).filePath(name)));
            while (!files.isEmpty() && files.back().isEmpty())
                files.removeLast();
            const QString kind = seed.paradox ? QStringLiteral("paradox") : QStringLiteral("dbase");
            corpus.mkpath(kind);
            QFile out(corpus.filePath(kind + QLatin1Char('/') + QLatin1String(seed.name)));
            if (!out.open(QIODevice::WriteOnly) || out.write(fuzz::joinFiles(files)) < 0)
                throw EngineError(QStringLiteral("Cannot write %1").arg(out.fileName()));
        }
    } catch (const Error &e) {
        std::fprintf(stderr, "makecorpus: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
