// Drawing of views on any paint device (widget, image, printer). Coordinates are rounded to
// whole device pixels once, in SetupDrawing, and everything after works on those integers so
// that a frame or a rule lands on the same pixels on every device of the same resolution.
#include "engine/views.h"

#include "engine/text_layout.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace {

// The platform's cosmetic dash patterns, in device pixels: on, off, on, off...
const std::vector<int> &DashPattern(TfrxFrameStyle style)
{
    static const std::vector<int> dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6},
        dashDotDot{9, 3, 3, 3, 3, 3}, solid{};
    switch (style) {
    case fsDash: return dash;
    case fsDot: return dot;
    case fsDashDot: return dashDot;
    case fsDashDotDot: return dashDotDot;
    default: return solid;
    }
}

Qt::BrushStyle HatchOf(TBrushStyle style)
{
    switch (style) {
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::FDiagPattern;
    case bsBDiagonal: return Qt::BDiagPattern;
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
    default: return Qt::NoBrush;
    }
}

// A pen of `width` device pixels centred on the line: a width-0 pen still draws one pixel.
int PenWidth(double width, double scale) { return std::max(1, nint(width * scale)); }

// A horizontal or vertical stroke from (x0, y0) to (x1, y1), the end point excluded, `w` pixels
// thick and centred on the line; dashed styles are w parallel one-pixel dashed lines.
void Stroke(QPainter *canvas, int x0, int y0, int x1, int y1, int w, TfrxFrameStyle style,
            const QColor &color)
{
    const bool vertical = x0 == x1;
    const int from = vertical ? std::min(y0, y1) : std::min(x0, x1);
    const int to = vertical ? std::max(y0, y1) : std::max(x0, x1);
    const int across = (vertical ? x0 : y0) - w / 2;
    const std::vector<int> &pattern = DashPattern(style);
    if (pattern.empty()) {
        // Wide solid pens reach half their width past both ends, so that sides meet at corners.
        const int ext = w > 1 ? w / 2 : 0;
        const QRect r = vertical ? QRect(across, from - ext, w, to - from + 2 * ext)
                                 : QRect(from - ext, across, to - from + 2 * ext, w);
        canvas->fillRect(r, color);
        return;
    }
    for (int k = 0; k < w; ++k) {
        std::size_t p = 0;
        for (int pos = from; pos < to;) {
            const int len = std::min(pattern[p], to - pos);
            if (p % 2 == 0)
                canvas->fillRect(vertical ? QRect(across + k, pos, 1, len) : QRect(pos, across + k, len, 1), color);
            pos += pattern[p];
            p = (p + 1) % pattern.size();
        }
    }
}

Qt::PenStyle QtPenStyle(TfrxFrameStyle style)
{
    switch (style) {
    case fsDash: return Qt::DashLine;
    case fsDot: return Qt::DotLine;
    case fsDashDot: return Qt::DashDotLine;
    case fsDashDotDot: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
    }
}

} // namespace

void TfrxView::SetupDrawing(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY)
{
    FCanvas = Canvas;
    FScaleX = ScaleX;
    FScaleY = ScaleY;
    FOffsetX = OffsetX;
    FOffsetY = OffsetY;
    FX = nint(OffsetX + ScaleX * AbsLeft());
    FY = nint(OffsetY + ScaleY * AbsTop());
    FX1 = nint(OffsetX + ScaleX * (AbsLeft() + Width()));
    FY1 = nint(OffsetY + ScaleY * (AbsTop() + Height()));
    if (Frame.DropShadow) {
        FX1 -= nint(ScaleX * Frame.ShadowWidth);
        FY1 -= nint(ScaleY * Frame.ShadowWidth);
    }
    FDX = FX1 - FX;
    FDY = FY1 - FY;
    FFrameWidth = nint(ScaleX * Frame.Width());
}

void TfrxView::FillBackground()
{
    if (!FCanvas)
        return;
    const QRect area(FX, FY, FDX, FDY);
    if (Color != clNone)
        FCanvas->fillRect(area, frxColor(Color));
    const Qt::BrushStyle hatch = HatchOf(BrushStyle);
    if (hatch != Qt::NoBrush && Frame.Color() != clNone) {
        FCanvas->save();
        FCanvas->setBrushOrigin(FX, FY);
        FCanvas->fillRect(area, QBrush(frxColor(Frame.Color()), hatch));
        FCanvas->restore();
    }
}

void TfrxView::PaintFrame()
{
    if (!FCanvas)
        return;
    if (Frame.DropShadow) {
        const int sw = nint(FScaleX * Frame.ShadowWidth);
        const QColor shadow = frxColor(Frame.ShadowColor);
        FCanvas->fillRect(QRect(FX1, FY + sw, sw, FDY), shadow);
        FCanvas->fillRect(QRect(FX + sw, FY1, FDX, sw), shadow);
    }
    if (Frame.Typ == 0 || Frame.Color() == clNone || Frame.Width() == 0)
        return;

    struct Side { TfrxFrameType flag; const TfrxFrameLine *line; int x0, y0, x1, y1; };
    // Sides end just before their end point; the right side reaches one pixel further when the
    // bottom is drawn too, so that the bottom-right corner is closed.
    const int rightEnd = (Frame.Typ & ftBottom) ? FY1 + 1 : FY1;
    const Side sides[] = {
        {ftLeft, &Frame.LeftLine, FX, FY, FX, FY1},
        {ftRight, &Frame.RightLine, FX1, FY, FX1, rightEnd},
        {ftTop, &Frame.TopLine, FX, FY, FX1, FY},
        {ftBottom, &Frame.BottomLine, FX, FY1, FX1, FY1},
    };
    for (const Side &s : sides) {
        if (!(Frame.Typ & s.flag) || s.line->Color == clNone)
            continue;
        const int w = PenWidth(s.line->Width, FScaleX);
        const QColor color = frxColor(s.line->Color);
        const bool vertical = s.x0 == s.x1;
        if (s.line->Style != fsDouble) {
            Stroke(FCanvas, s.x0, s.y0, s.x1, s.y1, w, s.line->Style, color);
            continue;
        }
        // Two strokes one pen width to either side of the edge, the view's colour between them;
        // each runs one pen width past the ends so that the outer strokes meet at the corners.
        if (Color != clNone)
            Stroke(FCanvas, s.x0, s.y0, s.x1, s.y1, w, fsSolid, frxColor(Color));
        for (int side : {-1, +1}) {
            const int d = side * w;
            if (vertical)
                Stroke(FCanvas, s.x0 + d, s.y0 - w, s.x1 + d, s.y1 + w, w, fsSolid, color);
            else
                Stroke(FCanvas, s.x0 - w, s.y0 + d, s.x1 + w, s.y1 + d, w, fsSolid, color);
        }
    }
}

void TfrxView::Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY)
{
    SetupDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    FillBackground();
    PaintFrame();
}

// ---------------------------------------------------------------------------------------------
// Lines

void TfrxCustomLineView::Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY)
{
    if (!Diagonal) {
        // A straight line is one frame side: vertical when it is not wider than high.
        if (Width() <= Height()) {
            SetWidth(0);
            Frame.Typ = ftLeft;
        } else {
            SetHeight(0);
            Frame.Typ = ftTop;
        }
    }
    SetupDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    if (!Canvas)
        return;
    const QColor color = frxColor(Frame.Color());
    if (Diagonal) {
        if (Frame.Color() == clNone)
            return;
        Canvas->save();
        Canvas->setRenderHint(QPainter::Antialiasing, false);
        Canvas->setPen(QPen(color, 1));
        Canvas->drawLine(FX, FY, FX1, FY1);
        Canvas->restore();
    } else {
        PaintFrame();
    }
    if ((ArrowStart || ArrowEnd) && Frame.Color() != clNone) {
        const double dx = FX1 - FX, dy = FY1 - FY;
        const double len = std::hypot(dx, dy);
        if (len <= 0)
            return;
        const double ux = dx / len, uy = dy / len;
        const double al = ArrowLength * ScaleX, aw = ArrowWidth * ScaleX;
        auto head = [&](double tipX, double tipY, double dirX, double dirY) {
            const QPointF tip(tipX, tipY);
            const QPointF back(tipX - dirX * al, tipY - dirY * al);
            const QPointF a(back.x() - dirY * aw, back.y() + dirX * aw);
            const QPointF b(back.x() + dirY * aw, back.y() - dirX * aw);
            Canvas->save();
            Canvas->setPen(QPen(color, std::max(1, FFrameWidth)));
            if (ArrowSolid) {
                Canvas->setBrush(color);
                Canvas->drawPolygon(QPolygonF{tip, a, b});
            } else {
                Canvas->drawLine(tip, a);
                Canvas->drawLine(tip, b);
            }
            Canvas->restore();
        };
        if (ArrowEnd)
            head(FX1, FY1, ux, uy);
        if (ArrowStart)
            head(FX, FY, -ux, -uy);
    }
}

// ---------------------------------------------------------------------------------------------
// Shapes

void TfrxShapeView::Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY)
{
    SetupDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    if (!Canvas)
        return;
    const int w = std::max(1, FFrameWidth);
    const bool outline = Frame.Color() != clNone;
    const QColor penColor = frxColor(Frame.Color());

    auto figure = [&](int inset, const QBrush &brush) {
        const int x = FX + inset, y = FY + inset, x1 = FX1 - inset, y1 = FY1 - inset;
        if (x1 < x || y1 < y)
            return;
        Canvas->save();
        Canvas->setRenderHint(QPainter::Antialiasing, false);
        if (Shape == skRectangle) {
            // Both corners are included: the figure covers x..x1, y..y1.
            if (brush.style() != Qt::NoBrush) {
                Canvas->setBrushOrigin(FX, FY);
                Canvas->fillRect(QRect(x, y, x1 - x + 1, y1 - y + 1), brush);
            }
            if (outline) {
                const TfrxFrameStyle style = Frame.Style() == fsDouble ? fsSolid : Frame.Style();
                Stroke(Canvas, x, y, x, y1 + 1, w, style, penColor);
                Stroke(Canvas, x1, y, x1, y1 + 1, w, style, penColor);
                Stroke(Canvas, x, y, x1 + 1, y, w, style, penColor);
                Stroke(Canvas, x, y1, x1 + 1, y1, w, style, penColor);
            }
            Canvas->restore();
            return;
        }
        QPen pen = outline ? QPen(penColor, w, Frame.Style() == fsDouble ? Qt::SolidLine : QtPenStyle(Frame.Style()))
                           : QPen(Qt::NoPen);
        pen.setJoinStyle(Qt::MiterJoin);
        Canvas->setPen(pen);
        Canvas->setBrush(brush);
        Canvas->setBrushOrigin(FX, FY);
        const QRect r(x, y, x1 - x, y1 - y);
        switch (Shape) {
        case skRoundRectangle: {
            const double corner = Curve > 0 ? Curve * ScaleX * 10 : std::min(r.width(), r.height()) / 4.0;
            Canvas->drawRoundedRect(r, corner / 2, corner / 2);
            break;
        }
        case skEllipse:
            Canvas->drawEllipse(r);
            break;
        case skTriangle:
            Canvas->drawPolygon(QPolygon{QPoint((x + x1) / 2, y), QPoint(x1, y1), QPoint(x, y1)});
            break;
        case skDiamond:
            Canvas->drawPolygon(QPolygon{QPoint((x + x1) / 2, y), QPoint(x1, (y + y1) / 2),
                                         QPoint((x + x1) / 2, y1), QPoint(x, (y + y1) / 2)});
            break;
        case skDiagonal1:
            Canvas->drawLine(x, y1, x1, y);
            break;
        case skDiagonal2:
            Canvas->drawLine(x, y, x1, y1);
            break;
        default:
            break;
        }
        Canvas->restore();
    };

    const QBrush fill = Color != clNone ? QBrush(frxColor(Color)) : QBrush(Qt::NoBrush);
    const Qt::BrushStyle hatch = HatchOf(BrushStyle);
    for (int inset : {0, 2 * w}) {
        if (inset > 0 && Frame.Style() != fsDouble)
            break;
        figure(inset, fill);
        if (hatch != Qt::NoBrush && outline)
            figure(inset, QBrush(penColor, hatch));
    }
}

// ---------------------------------------------------------------------------------------------
// Pictures (also the page background)

void TfrxPictureView::Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY)
{
    SetupDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    if (!Canvas)
        return;
    FillBackground();
    if (!Picture.isNull() && FDX > 0 && FDY > 0) {
        QRect target(FX, FY, FDX, FDY);
        if (!Stretched) {
            const QSize natural(nint(Picture.width() * ScaleX), nint(Picture.height() * ScaleY));
            target.setSize(natural);
            if (Center)
                target.moveCenter(QRect(FX, FY, FDX, FDY).center());
        } else if (KeepAspectRatio) {
            const QSize fitted = Picture.size().scaled(FDX, FDY, Qt::KeepAspectRatio);
            target.setSize(fitted);
            if (Center)
                target.moveCenter(QRect(FX, FY, FDX, FDY).center());
        }
        Canvas->save();
        Canvas->setClipRect(QRect(FX, FY, FDX, FDY), Qt::IntersectClip);
        Canvas->setRenderHint(QPainter::SmoothPixmapTransform, true);
        Canvas->drawImage(target, Picture);
        Canvas->restore();
    }
    PaintFrame();
}

// A subreport has nothing of its own to show once its page has been run in place.
void TfrxSubreport::Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY)
{
    SetupDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    if (IsDesigning) {
        FillBackground();
        PaintFrame();
    }
}

// ---------------------------------------------------------------------------------------------
// Memos

void TfrxCustomMemoView::Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY)
{
    ApplyDeferredMacros();
    std::lock_guard<std::recursive_mutex> lock(TfrxDrawText::Lock());
    TfrxDrawText &layout = TfrxDrawText::Global();
    const TColor savedColor = Color;
    frxPrepareMemoLayout(layout, *this);
    if (Highlight.Active)
        Color = Highlight.Color;

    if (AutoWidth && !IsDesigning) {
        const TfrxTextRect huge{0, 0, 10000, 10000};
        layout.SetDimensions(huge, huge, PrintScale, 1, 1);
        layout.SetText(Memo);
        const double oldWidth = Width();
        const double newWidth = layout.MaxLineWidth() + frxMemoHorizontalExtra(*this);
        SetWidth(newWidth);
        if (HAlign == haRight)
            SetLeft(Left() + oldWidth - newWidth);
        else if (HAlign == haCenter)
            SetLeft(Left() + (oldWidth - newWidth) / 2);
        if (Parent())
            Parent()->ApplyAlignment();
    }

    SetupDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    const TfrxTextRect clip = frxMemoTextRect(*this, FX, FY, FX1, FY1, ScaleX, ScaleY);
    layout.SetDimensions(frxMemoLayoutRect(*this), clip, PrintScale, ScaleY, ScaleX);
    layout.SetText(Memo);
    layout.ApplyParaBreaks(FirstParaBreak, LastParaBreak);

    FillBackground();
    PaintFrame();
    if (Canvas && Underlines && Rotation % 360 == 0 && Frame.Color() != clNone) {
        // Ruled lines at every line position down the text rectangle.
        const double step = layout.LineHeight() * ScaleY;
        const int w = std::max(1, FFrameWidth);
        const QColor color = frxColor(Frame.Color());
        for (int k = 1; step > 0; ++k) {
            const int y = nint(clip.Top + k * step);
            if (y >= clip.Bottom)
                break;
            Stroke(Canvas, clip.Left, y, clip.Right, y, w, fsSolid, color);
        }
    }
    if (Canvas)
        layout.DrawText(Canvas, HAlign, VAlign);
    Color = savedColor;
}
