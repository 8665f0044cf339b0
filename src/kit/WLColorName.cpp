#include "WLColorName.h"

#include <cmath>

namespace {
int channel(double value)
{
    return int(std::lround(qBound(0.0, value, 1.0) * 255));
}
} // namespace

QString wlColorName(const std::optional<WLColor> &color)
{
    if (!color)
        return {};
    return QStringLiteral("#%1%2%3%4")
        .arg(channel(color->alpha), 2, 16, QLatin1Char('0'))
        .arg(channel(color->red), 2, 16, QLatin1Char('0'))
        .arg(channel(color->green), 2, 16, QLatin1Char('0'))
        .arg(channel(color->blue), 2, 16, QLatin1Char('0'));
}
