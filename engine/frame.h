#pragma once
// Value objects owned by views: the frame with its four side lines, the display format and the
// highlight.
#include "engine/font.h"
#include "engine/units.h"

#include <QString>

struct TfrxFrameLine {
    TColor Color = clBlack;
    TfrxFrameStyle Style = fsSolid;
    double Width = 1;

    bool operator==(const TfrxFrameLine &) const = default;
};

// The side lines are what is drawn; the frame-level Color, Style and Width are shortcuts that
// set all four sides, after which a side may still be given its own value.
class TfrxFrame {
public:
    TColor Color() const { return FColor; }
    TfrxFrameStyle Style() const { return FStyle; }
    double Width() const { return FWidth; }
    void SetColor(TColor value);
    void SetStyle(TfrxFrameStyle value);
    void SetWidth(double value);

    TfrxFrameTypes Typ = 0;
    bool DropShadow = false;
    TColor ShadowColor = clBlack;
    double ShadowWidth = 4;
    TfrxFrameLine LeftLine, TopLine, RightLine, BottomLine;

    bool operator==(const TfrxFrame &) const = default;

private:
    TColor FColor = clBlack;
    TfrxFrameStyle FStyle = fsSolid;
    double FWidth = 1;
};

struct TfrxFormat {
    QString DecimalSeparator;
    QString ThousandSeparator;
    QString FormatStr;
    TfrxFormatKind Kind = fkText;

    bool operator==(const TfrxFormat &) const = default;
};

struct TfrxHighlight {
    bool Active = false;
    TfrxFont Font;
    TColor Color = clNone;
    QString Condition;

    bool operator==(const TfrxHighlight &) const = default;
};
