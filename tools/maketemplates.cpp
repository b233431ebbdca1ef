// SPDX-License-Identifier: MIT
// Writes the six template files of the two tables, empty and with their exact structure,
// into the folder given on the command line.
#include "core/calculationstore.h"
#include "core/errors.h"
#include "core/tablefile.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: maketemplates FOLDER\n");
        return 2;
    }
    const QDir folder(args[1]);
    try {
        QDir().mkpath(folder.path());
        TableFile::create(folder.filePath(kLineTableName), LineFileFields(), LineFileIndexes());
        TableFile::create(folder.filePath(QStringLiteral("Cal_jur1.DBF")), HeaderFileFields(),
                          HeaderFileIndexes());
    } catch (const Error &e) {
        std::fprintf(stderr, "maketemplates: %s\n", qPrintable(e.message()));
        return 1;
    }
    for (const QString &name : kSeedFiles)
        if (!QFile::exists(ResolveFileName(folder.path(), name)))
            std::fprintf(stderr, "maketemplates: %s was not written\n", qPrintable(name));
    return 0;
}
