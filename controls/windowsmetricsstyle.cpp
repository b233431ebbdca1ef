// SPDX-License-Identifier: MIT
#include "controls/windowsmetricsstyle.h"

#include <QApplication>
#include <QStyleFactory>

WindowsMetricsStyle::WindowsMetricsStyle(QObject *parent)
    : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
{
    setParent(parent);
}

int WindowsMetricsStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                                     const QWidget *widget) const
{
    switch (metric) {
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
        return 13;
    case PM_RadioButtonLabelSpacing:
        return 4;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}
