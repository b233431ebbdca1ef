// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

// A temporary folder for one test; removed when the object goes.
class TempFolder
{
public:
    TempFolder() : m_dir(QDir::tempPath() + QStringLiteral("/cheques-test-XXXXXX")) {}
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
