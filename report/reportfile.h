// SPDX-License-Identifier: MIT
#pragma once

#include "report/picturepages.h"

#include <QString>

// The report file: the pages of a report as a stream of pictures behind a small header
// (docs/report-file.md). Saving replaces an existing file only when the new one is complete.
// Both throw Error with a message for the user.
void SaveReportFile(const ReportPages &pages, const QString &path);
PicturePages LoadReportFile(const QString &path);
