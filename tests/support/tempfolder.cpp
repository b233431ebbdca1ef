// SPDX-License-Identifier: MIT
#include "tempfolder.h"
