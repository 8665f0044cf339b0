#pragma once

// An RGBA colour with components on the scale 0.0 to 1.0, as the
// description gives them. The application turns it into a QColor.
struct WLColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    bool operator==(const WLColor &) const = default;
};
