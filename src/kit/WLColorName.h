#pragma once

#include "WLColor.h"

#include <QString>

#include <optional>

// A colour as the views read it ("#aarrggbb"); empty for the default.
QString wlColorName(const std::optional<WLColor> &color);
