#pragma once
// A font description as the report stores it. The size is whole points; the height in pixels is
// derived at the fixed 96 pixels per inch (−13 is 10 points), as stored reports expect.
#include "engine/units.h"

#include <QString>

struct TfrxFont {
    QString Name = QStringLiteral("Arial");
    int Size = 10;  // points
    TColor Color = clBlack;
    TFontStyles Style = 0;
    int Charset = DEFAULT_CHARSET;

    // Negative: character height without internal leading, in 96-dpi pixels.
    int Height() const { return -roundHalfAway(Size * 96.0 / 72.0); }
    void SetHeight(int height) { Size = roundHalfAway(-height * 72.0 / 96.0); }

    bool operator==(const TfrxFont &) const = default;
};
