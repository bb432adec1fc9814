// Drawing of views on any paint device. Initial bodies: the device rectangle and the frame
// width only; the text layout and the full drawing rules come with the text layout work.
#include "engine/views.h"

#include <QPainter>

void TfrxView::SetupDrawing(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY) {
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

void TfrxView::FillBackground() {}

void TfrxView::PaintFrame() {}

void TfrxView::Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY) {
    SetupDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    FillBackground();
    PaintFrame();
}

void TfrxCustomMemoView::Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY) {
    ApplyDeferredMacros();
    TfrxView::Draw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
}

void TfrxCustomLineView::Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY) {
    SetupDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
}

void TfrxShapeView::Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY) {
    SetupDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
}

void TfrxPictureView::Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY) {
    TfrxView::Draw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
}

void TfrxSubreport::Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY) {
    SetupDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
}
