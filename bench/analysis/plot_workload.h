#pragma once

#include <QVector>
#include <cmath>

// The workload both plotting libraries are measured on: eleven traces of a
// 10000-point scanner run, drawn into a window-sized image.
namespace bench {

inline constexpr int kTraces = 11;
inline constexpr int kPoints = 10000;
inline constexpr int kWidth = 1200;
inline constexpr int kHeight = 800;

// A plausible, deterministic trace: a slow sine per channel with ripple.
inline void fillTrace(int trace, int points, QVector<double>& keys, QVector<double>& values) {
    keys.resize(points);
    values.resize(points);
    for (int i = 0; i < points; ++i) {
        keys[i] = i * 0.1;
        values[i] = (trace + 1) * std::sin(i * 0.003 * (trace + 1)) + 0.05 * std::sin(i * 1.7);
    }
}

// The x range of zoom step `step`: the view narrows and widens around the
// middle of the run and moves sideways, as a wheel zoom and a drag would.
inline std::pair<double, double> zoomRange(long step) {
    const double full = kPoints * 0.1;
    const double width = full / (1 + (step % 20));
    const double centre = full / 2 + (step % 7 - 3) * width / 10;
    return {centre - width / 2, centre + width / 2};
}

}  // namespace bench
