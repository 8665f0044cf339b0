#pragma once

#include <QString>

// The generated 200,000-headword bundle the benchmarks run on. Made once,
// on first use, from tools/gen_large_source.py and our own compiler, and
// kept under the build directory; $WL_BENCH_BUNDLE names another bundle.
namespace WLBenchBundle {

inline constexpr int kEntries = 200000;

// The folder of the source the bundle is compiled from (generated if absent).
QString sourcePath();
// The bundle folder; empty (after a message) if it could not be made.
QString bundlePath();

} // namespace WLBenchBundle
