// Measurements of memos (stretching, AutoWidth) and the memo's side of the text layout.
#include "engine/views.h"

#include "engine/text_layout.h"

void frxPrepareMemoLayout(TfrxDrawText &layout, const TfrxCustomMemoView &memo)
{
    layout.SetFont(memo.Highlight.Active ? memo.Highlight.Font : memo.Font());
    layout.SetOptions(memo.WordWrap, memo.AllowHTMLTags, memo.Rotation, memo.Wysiwyg, memo.Clipped,
                      memo.WordBreak, memo.RTLReading);
    layout.SetGaps(memo.LineSpacing, memo.CharSpacing, memo.ParagraphGap);
}

TfrxTextRect frxMemoTextRect(const TfrxCustomMemoView &memo, int X, int Y, int X1, int Y1,
                             double ScaleX, double ScaleY)
{
    const double w = memo.Frame.Width();
    const TfrxFrameTypes typ = memo.Frame.Typ;
    TfrxTextRect r;
    r.Left = X + nint(memo.GapX * ScaleX) + ((typ & ftLeft) ? nint((w * ScaleX - 1) / 2) : 0);
    r.Top = Y + nint(memo.GapY * ScaleY) + ((typ & ftTop) ? nint((w * ScaleY - 1) / 2) : 0);
    r.Right = X1 - nint(memo.GapX * ScaleX) + 1 - ((typ & ftRight) ? nint(w * ScaleX / 2) : 0);
    r.Bottom = Y1 - nint(memo.GapY * ScaleY) + 1 - ((typ & ftBottom) ? nint(w * ScaleY / 2) : 0);
    return r;
}

TfrxTextRect frxMemoLayoutRect(const TfrxCustomMemoView &memo)
{
    const int X = nint(memo.AbsLeft());
    const int Y = nint(memo.AbsTop());
    int X1 = nint(memo.AbsLeft() + memo.Width());
    int Y1 = nint(memo.AbsTop() + memo.Height());
    if (memo.Frame.DropShadow) {
        X1 -= nint(memo.Frame.ShadowWidth);
        Y1 -= nint(memo.Frame.ShadowWidth);
    }
    return frxMemoTextRect(memo, X, Y, X1, Y1, 1, 1);
}

namespace {
// Gaps, the frame's half-widths on the two sides of one axis, and the shadow: what a memo's
// box adds to its text along that axis.
double frameExtra(const TfrxCustomMemoView &memo, double gap, int nearSide, int farSide)
{
    const double w = memo.Frame.Width();
    double extra = 2 * gap;
    if (memo.Frame.Typ & nearSide)
        extra += (w - 1) / 2;
    if (memo.Frame.Typ & farSide)
        extra += w / 2;
    if (memo.Frame.DropShadow)
        extra += memo.Frame.ShadowWidth;
    return extra;
}
}  // namespace

double frxMemoVerticalExtra(const TfrxCustomMemoView &memo)
{
    return frameExtra(memo, memo.GapY, ftTop, ftBottom);
}

double frxMemoHorizontalExtra(const TfrxCustomMemoView &memo)
{
    return frameExtra(memo, memo.GapX, ftLeft, ftRight);
}

double TfrxCustomMemoView::CalcHeight()
{
    std::lock_guard<std::recursive_mutex> lock(TfrxDrawText::Lock());
    TfrxDrawText &layout = TfrxDrawText::Global();
    frxPrepareMemoLayout(layout, *this);
    const TfrxTextRect rect = frxMemoLayoutRect(*this);
    layout.SetDimensions(rect, rect, PrintScale, 1, 1);
    layout.SetText(Memo);
    return nint(layout.TextHeight() + frxMemoVerticalExtra(*this));
}

double TfrxCustomMemoView::CalcWidth()
{
    std::lock_guard<std::recursive_mutex> lock(TfrxDrawText::Lock());
    TfrxDrawText &layout = TfrxDrawText::Global();
    frxPrepareMemoLayout(layout, *this);
    const TfrxTextRect huge{0, 0, 10000, 10000};
    layout.SetDimensions(huge, huge, PrintScale, 1, 1);
    layout.SetText(Memo);
    return nint(layout.MaxLineWidth() + frxMemoHorizontalExtra(*this));
}
