// SPDX-License-Identifier: MIT
#include "report/picturepages.h"

#include <QPainter>

PicturePages PicturePages::record(const ReportPages &pages)
{
    QVector<QPicture> pictures;
    pictures.reserve(pages.pageCount());
    for (int i = 0; i < pages.pageCount(); ++i) {
        QPicture picture;
        QPainter painter(&picture);
        pages.paintPage(painter, i);
        painter.end();
        pictures.append(picture);
    }
    return PicturePages(pages.pageSize(), pictures);
}

void PicturePages::paintPage(QPainter &painter, int index) const
{
    if (index < 0 || index >= m_pictures.size())
        return;
    painter.save();
    painter.drawPicture(0, 0, m_pictures[index]);
    painter.restore();
}

int PicturePages::requiredResolution() const
{
    return QPicture().logicalDpiY();
}
