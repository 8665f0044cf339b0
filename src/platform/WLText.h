#pragma once

#include <QStringView>

// The integer value of a text as stored numbers are read: leading white
// space skipped, an optional sign, decimal digits up to the first other
// character. No digits give 0; values beyond the signed 32-bit range
// saturate at its limits.
int wlIntValue(QStringView text);
