#pragma once

#include <QtGlobal>

// A row of a sectioned list.
struct WLIndexPath {
    qsizetype section = 0;
    qsizetype row = 0;

    bool operator==(const WLIndexPath &) const = default;
};
