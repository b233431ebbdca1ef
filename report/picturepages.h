// SPDX-License-Identifier: MIT
#pragma once

#include "report/reportpages.h"

#include <QPicture>
#include <QVector>

// Pages recorded as pictures in report units: what a report file holds.
class PicturePages : public ReportPages
{
public:
    PicturePages(QSizeF pageSize, QVector<QPicture> pictures)
        : m_pageSize(pageSize), m_pictures(std::move(pictures))
    {
    }

    // Records every page of `pages`.
    static PicturePages record(const ReportPages &pages);

    const QVector<QPicture> &pictures() const { return m_pictures; }

    int pageCount() const override { return int(m_pictures.size()); }
    QSizeF pageSize() const override { return m_pageSize; }
    void paintPage(QPainter &painter, int index) const override;
    // A picture replays its text at the size it was recorded only on a device of the
    // resolution pictures are made at (the PDF and print engines scale replayed text by the
    // ratio of the two); lines and positions follow any transform.
    int requiredResolution() const override;

private:
    QSizeF m_pageSize;
    QVector<QPicture> m_pictures;
};
