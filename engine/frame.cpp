#include "engine/frame.h"

void TfrxFrame::SetColor(TColor value) {
    FColor = value;
    LeftLine.Color = TopLine.Color = RightLine.Color = BottomLine.Color = value;
}

void TfrxFrame::SetStyle(TfrxFrameStyle value) {
    FStyle = value;
    LeftLine.Style = TopLine.Style = RightLine.Style = BottomLine.Style = value;
}

void TfrxFrame::SetWidth(double value) {
    FWidth = value;
    LeftLine.Width = TopLine.Width = RightLine.Width = BottomLine.Width = value;
}
