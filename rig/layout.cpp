#include "layout.h"

#include <cmath>

namespace rig {

int twipsToPixels(int twips, double dotsPerInch) {
    return static_cast<int>(std::lround(twips * dotsPerInch / 1440.0));
}

namespace {

struct Substitute {
    const char *requested;
    const char *alternatives[3];
};

// Liberation Sans has Arial's metrics; MS Sans Serif is closest to it too. DejaVu Sans Mono
// is a fixed-pitch face close to Lucida Console.
constexpr Substitute substitutes[] = {
    {"Arial", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
    {"MS Sans Serif", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
    {"Lucida Console", {"DejaVu Sans Mono", "Liberation Mono", "Monospace"}},
};

bool has(const QStringList &available, const QString &family) {
    return available.contains(family, Qt::CaseInsensitive);
}

}  // namespace

QString fontFamilyFor(const QString &requested, const QStringList &available) {
    if (has(available, requested))
        return requested;
    for (const Substitute &entry : substitutes) {
        if (requested.compare(QLatin1String(entry.requested), Qt::CaseInsensitive) != 0)
            continue;
        for (const char *alternative : entry.alternatives) {
            if (alternative && has(available, QLatin1String(alternative)))
                return QLatin1String(alternative);
        }
    }
    return QString();
}

}  // namespace rig
