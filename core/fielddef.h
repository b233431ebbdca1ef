// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <Qt>

// The kinds of value a field holds. In memory (QVariant): String -> QString, Integer and
// AutoInc -> int, Date -> int day number (days from 30/12/1899), Float -> double.
// An empty value is an invalid QVariant.
enum class FieldType { String, Integer, AutoInc, Date, Float };

struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0;     // characters for String; 0 otherwise
    int decimals = 0; // dBase number fields: decimals on disk
    bool required = false;
    bool calculated = false;
    bool readOnly = false;
    Qt::Alignment alignment = Qt::AlignLeft;
    QString displayFormat; // picture for showing a number, e.g. "##,###,##0.00"
    QString editFormat;    // picture for editing a number, e.g. "#######0.00"
    QString editMask;      // e.g. "!99/99/9999;1;_"
};

// A field of the given kind, the other properties left as they are by default.
inline FieldDef MakeFieldDef(const QString &name, FieldType type, int size = 0, int decimals = 0)
{
    FieldDef def;
    def.name = name;
    def.type = type;
    def.size = size;
    def.decimals = decimals;
    return def;
}

// An index as a table file declares it.
struct IndexDef {
    QString name;       // tag or index name; empty for a Paradox primary index
    QStringList fields; // key fields in order
    bool primary = false;
    bool unique = false;
    bool caseInsensitive = false;
};

// The stored values of one record, in the order of the file's fields.
using RecordValues = QVector<QVariant>;
