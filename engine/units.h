#pragma once
// Units, colours, enumerations and roundings shared by every part of the report engine.
//
// Coordinates are screen pixels at 96 per inch held as double; paper sizes and margins are
// millimetres. Colours are 0x00BBGGRR values; they become QColor only where something is drawn.
#include <QtGlobal>
#include <cmath>

// 3.77953 pixels per millimetre, not 96/25.4: stored reports were laid out with this figure, and
// every band width of a stored template (1209.4496 for 320 mm) only comes out with it.
inline constexpr double fr01cm = 3.77953;
inline constexpr double fr1cm = 37.7953;
inline constexpr double fr01in = 9.6;
inline constexpr int fr1in = 96;
inline constexpr double fr1CharX = 9.6;
inline constexpr int fr1CharY = 17;

using TColor = quint32;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clWhite = 0x00FFFFFF;
inline constexpr TColor clMoneyGreen = 0x00C0DCC0;
// System colours are 0xFF000000 plus the system colour index; the platform resolves them when drawn.
inline constexpr TColor clSystemColor = 0xFF000000;
inline constexpr TColor clGradientActiveCaption = clSystemColor | 27;

inline bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == clSystemColor; }

// Device pixels: nearest integer, ties to even (the platform's Round).
inline int nint(double v) { return static_cast<int>(std::nearbyint(v)); }
// Half away from zero, where a rule asks for it (font sizes from heights).
inline int roundHalfAway(double v) { return static_cast<int>(std::round(v)); }

inline constexpr int DEFAULT_CHARSET = 1;

enum TfrxFrameStyle { fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble };
enum TfrxFrameType : quint8 { ftLeft = 1, ftRight = 2, ftTop = 4, ftBottom = 8 };
using TfrxFrameTypes = quint8;
enum TfrxFontStyle : quint8 { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = quint8;
enum TfrxHAlign { haLeft, haRight, haCenter, haBlock };
enum TfrxVAlign { vaTop, vaBottom, vaCenter };
enum TfrxStretchMode { smDontStretch, smActualHeight, smMaxHeight };
enum TfrxShiftMode { smDontShift, smAlways, smWhenOverlapped };
enum TfrxAlign { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient };
enum TfrxSilentMode { simMessageBoxes, simSilent, simReThrow };
enum TfrxShapeKind { skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, skDiagonal2 };
enum TfrxFormatKind { fkText, fkNumeric, fkDateTime, fkBoolean };
enum TfrxFieldType { fftNumeric, fftString, fftBoolean };
enum TfrxRangeBegin { rbFirst, rbCurrent };
enum TfrxRangeEnd { reLast, reCurrent, reCount };
enum TPrinterOrientation { poPortrait, poLandscape };
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
