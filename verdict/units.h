// Figures with their units, as the cost table and the run page show them: a time in
// nanoseconds or a count of bytes in the largest unit it holds once, three significant
// digits at most.
#pragma once

#include <QString>
#include <cmath>

namespace verdict {

// Three significant digits at most.
inline QString figure(double value) {
    const double a = std::abs(value);
    return QString::number(value, 'f', a < 10 ? 2 : a < 100 ? 1 : 0);
}

// A quantity's units, each `step` times the one before.
struct Units {
    double step;
    const char16_t *names[4];
};
inline const Units TIME{1000, {u"ns", u"µs", u"ms", u"s"}};
inline const Units MEMORY{1024, {u"B", u"KiB", u"MiB", u"GiB"}};

// The largest of `units` that `value` holds at least once (its power of the unit's step).
inline int unitIndex(double value, const Units &units, double *scale) {
    int k = 0;
    *scale = 1;
    while (k < 3 && std::abs(value) >= *scale * units.step) {
        *scale *= units.step;
        ++k;
    }
    return k;
}

inline QString withUnit(double value, const Units &units) {
    double scale;
    const int k = unitIndex(value, units, &scale);
    const QString number =
        k == 0 ? QString::number(qint64(std::llround(value))) : figure(value / scale);
    return number + u' ' + QString::fromUtf16(units.names[k]);
}

inline QString duration(double ns) {
    return withUnit(ns, TIME);
}
inline QString bytes(double count) {
    return withUnit(count, MEMORY);
}

}  // namespace verdict
