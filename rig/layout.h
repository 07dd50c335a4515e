// The window's measures and fonts, kept apart from the widgets.
#pragma once

#include <QString>
#include <QStringList>

namespace rig {

// Twips (1/1440 inch) to pixels at `dotsPerInch`, rounded to the nearest pixel:
// 15 twips are one pixel at 96 dots per inch.
int twipsToPixels(int twips, double dotsPerInch);

// The font family to use for `requested` on a system whose families are `available`: the
// family itself when present, else a metric-compatible or close one that is present, else
// an empty text (let the toolkit choose).
QString fontFamilyFor(const QString &requested, const QStringList &available);

// The window's client area in twips.
inline constexpr int FORM_WIDTH_TWIPS = 12000;
inline constexpr int FORM_HEIGHT_TWIPS = 6945;

}  // namespace rig
