// SPDX-License-Identifier: MIT
#pragma once

#include "report/reportdefinition.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

// Pages as data, in millimetres from the top-left corner of the paper: what the layout decided
// and what the painter draws. Pagination is checked here without any paint device.

struct LaidOutText {
    QString element; // the name of the element that printed it
    QString text;
    ReportFont font;
    QRectF rect; // mm
    TextAlignment alignment = TextAlignment::Left;
};

struct LaidOutLine {
    QPointF from; // mm
    QPointF to;
    RuleStyle style = RuleStyle::GreySolid;
};

struct LaidOutBand {
    QString name;
    BandKind kind = BandKind::Detail;
    QRectF rect; // mm
};

struct LaidOutPage {
    QVector<LaidOutBand> bands; // in printing order
    QVector<LaidOutText> texts;
    QVector<LaidOutLine> lines;

    int bandCount(BandKind kind) const;
    const LaidOutText *findText(const QString &element) const; // the first one printed
    QStringList textsOf(const QString &element) const;         // every one, in order
};

struct LaidOutReport {
    QSizeF pageSize{215.9, 279.4}; // mm
    QVector<LaidOutPage> pages;
};
