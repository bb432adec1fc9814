#pragma once
// Text layout of memos. Lines are broken and measured at a fixed reference of 600 dots per inch,
// whatever the output device, so that a memo breaks into the same lines on screen, on paper and
// in a PDF file; drawing then stretches or squeezes character and line spacing on the device to
// match the reference (Wysiwyg).
//
// Use under the process-wide lock, in this order: SetFont, SetOptions, SetGaps, SetDimensions,
// SetText, then queries or DrawText. Results stay valid until the next SetText or SetFont.
#include "engine/font.h"
#include "engine/units.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

class QPainter;
class TfrxCustomMemoView;
namespace fontes { class FaceFonte; }

// A rectangle of whole device pixels with the platform's convention: Right and Bottom lie just
// outside (Width = Right − Left).
struct TfrxTextRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TfrxTextRect &) const = default;
};

// Report colours (0x00BBGGRR, system colours, clNone) as drawing colours; clNone is transparent.
QColor frxColor(TColor color);

// Character attributes switched by HTML tags.
struct TfrxCharStyle {
    enum : quint8 { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8, Sub = 16, Sup = 32, NoWrap = 64 };
    quint8 Flags = 0;
    TColor Color = clNone;  // clNone: the font's colour
    bool operator==(const TfrxCharStyle &) const = default;
};

enum TfrxParagraphFlag { pfFirstLine = 1, pfLastLine = 2 };

struct TfrxWrappedLine {
    QString Text;
    int Flags = 0;           // TfrxParagraphFlag bits
    int Width = 0;           // measured advance at 600 dpi, without character spacing
    std::vector<TfrxCharStyle> Styles;  // one per character, only for text with HTML tags
    // Where the line came from: the index of its source line, and the characters Start .. End − 1
    // of that paragraph once its HTML tags are taken out (a blank dropped at the break and an
    // added hyphen lie outside), so a memo cut between two lines can be given back as text.
    int Paragraph = 0;
    int Start = 0, End = 0;
};

class TfrxDrawText {
public:
    static constexpr int ReferenceDPI = 600;
    static constexpr int ScreenDPI = 96;
    static constexpr double Ratio = 6.25;  // reference dots per screen pixel

    // The one text layout lock of the process, shared by every layout object. Recursive: the PDF
    // writer holds it around a memo whose own measuring takes it again.
    static std::recursive_mutex &Lock();
    // The layout object of memos that belong to no report.
    static TfrxDrawText &Global();

    TfrxDrawText();

    void SetFont(const TfrxFont &font);
    void SetOptions(bool WordWrap, bool HTMLTags, int Rotation, bool Wysiwyg, bool Clipped,
                    bool WordBreak, bool RTLReading);
    void SetGaps(double LineSpacing, double CharSpacing, double ParagraphGap);
    // layout: the text rectangle at scale 1 in 96-dpi pixels; clip: the text rectangle on the
    // output device. PrintScale only matters on a printer.
    void SetDimensions(const TfrxTextRect &Layout, const TfrxTextRect &Clip, double PrintScale,
                       double ScaleY, double ScaleX);
    // Breaks the lines (one source line is one paragraph).
    void SetText(const QStringList &lines);
    // Memos continued from or into another part: the first line does not start a paragraph,
    // the last does not end one.
    void ApplyParaBreaks(bool FirstParaBreak, bool LastParaBreak);

    // In 96-dpi pixels.
    double TextHeight() const;
    // Height the first `count` wrapped lines would take, as TextHeight measures all of them.
    double LinesHeight(int count) const;
    double MaxLineWidth() const;
    double LineHeight() const;
    double RemainingSpace() const;

    void DrawText(QPainter *Canvas, TfrxHAlign HAlign, TfrxVAlign VAlign);

    QStringList WrappedText() const;
    // Width of one line of text in 96-dpi pixels, measured as MaxLineWidth measures a line but
    // without any paragraph indent; the wrapped lines are left as they are.
    double TextWidth(const QString &line);
    QString PlainText() const { return FPlainText; }
    const std::vector<TfrxWrappedLine> &Lines() const { return FLines; }

    const TfrxFont &Font() const { return FFont; }
    int FontSize() const { return FFont.Size; }
    // Negative, in reference dots: −83 for 10 points, −75 for 9.
    int MeasuringHeight() const { return FMeasuringHeight; }
    fontes::FaceFonte &Face() const { return *FFaces[FBaseFace]; }
    int Rotation() const { return FRotation; }
    bool RTLReading() const { return FRTLReading; }
    bool Wysiwyg() const { return FWysiwyg; }
    double LineSpacing() const { return FLineSpacing; }
    double CharSpacing() const { return FCharSpacing; }
    double ParagraphGap() const { return FParagraphGap; }
    const TfrxTextRect &LayoutRect() const { return FLayout; }
    const TfrxTextRect &ClipRect() const { return FClip; }

private:
    void BreakParagraph(const QString &source, int firstMax, int fullMax, int charSpacing);
    int Measure(const QString &text, const std::vector<TfrxCharStyle> &styles, int charSpacing);
    fontes::FaceFonte &FaceFor(quint8 styleFlags);
    int AdvanceAt(const QString &text, int i, const std::vector<TfrxCharStyle> &styles, int ppem);
    int LayoutWidth() const;
    int LayoutHeight() const;
    void DrawLine(QPainter *Canvas, const TfrxWrappedLine &line, int x, int baseline, int width,
                  int ppem, const std::vector<int> &advances);

    TfrxFont FFont;
    int FMeasuringHeight = -83;
    // Faces by bold (1) and italic (2); FBaseFace is the font's own style.
    std::array<fontes::FaceFonte *, 4> FFaces{};
    int FBaseFace = 0;
    bool FWordWrap = true, FHTMLTags = false, FWysiwyg = true, FClipped = true;
    bool FWordBreak = false, FRTLReading = false;
    int FRotation = 0;
    double FLineSpacing = 2, FCharSpacing = 0, FParagraphGap = 0;
    TfrxTextRect FLayout, FClip;
    double FPrintScale = 1, FScaleX = 1, FScaleY = 1;
    std::vector<TfrxWrappedLine> FLines;
    QString FPlainText;
    // Cumulative advances of the paragraph being measured, reference dots; 32768 preallocated
    // and reused, grown only for a longer paragraph.
    std::vector<std::int32_t> FAdvances;
};

// Memo text with HTML tags taken out: the plain characters and their attributes. Unknown or
// malformed tags stay as text.
void frxParseHTMLTags(const QString &source, QString &text, std::vector<TfrxCharStyle> &styles,
                      bool baseBold = false, bool baseItalic = false);

// The layout of a memo, shared by its measuring, its drawing and the PDF writer's placing of its
// lines. Use under TfrxDrawText::Lock().
//
// Font (the highlight's when the highlight is active), options and gaps of the memo.
void frxPrepareMemoLayout(TfrxDrawText &layout, const TfrxCustomMemoView &memo);
// The text rectangle inside the memo's device rectangle X, Y, X1, Y1: the gaps and the frame
// sides taken off.
TfrxTextRect frxMemoTextRect(const TfrxCustomMemoView &memo, int X, int Y, int X1, int Y1,
                             double ScaleX, double ScaleY);
// The text rectangle at scale 1 and offset 0: where lines are broken, whatever the device.
TfrxTextRect frxMemoLayoutRect(const TfrxCustomMemoView &memo);
// What the memo adds around its text, in 96-dpi pixels.
double frxMemoVerticalExtra(const TfrxCustomMemoView &memo);
double frxMemoHorizontalExtra(const TfrxCustomMemoView &memo);
