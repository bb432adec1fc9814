// Measurements of memos for stretching and AutoWidth. Initial bodies keep the design size until
// the text layout is in place.
#include "engine/views.h"

double TfrxCustomMemoView::CalcHeight() { return Height(); }

double TfrxCustomMemoView::CalcWidth() { return Width(); }
