// SPDX-License-Identifier: MIT
#pragma once

#include <QProxyStyle>

// The application's style with Windows' sizes for a radio button: a circle of 13 pixels and a
// gap of 4 between it and the caption. A layout made on Windows gives its radio buttons room
// for those and for its captions in MS Sans Serif; in the wider face that stands in for it, a
// caption keeps its last letters only with the narrower gap.
class WindowsMetricsStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // A style drawing everything as the application's style does. `parent` owns it.
    explicit WindowsMetricsStyle(QObject *parent);

    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
};
