#pragma once
// Everything drawn on a page: the view base (background, frame), stretchable views, memos,
// lines, shapes, pictures and subreports.
//
// Drawing (SetupDrawing, FillBackground, PaintFrame, Draw) lives in view_drawing.cpp and the
// memo measurements (CalcHeight, CalcWidth) in memo_measure.cpp, the memo parts of split bands in
// memo_split.cpp; memo evaluation is in memo_evaluate.cpp.
#include "engine/component.h"
#include "engine/frame.h"

#include <QImage>
#include <QStringList>

class TfrxDataSet;
class TfrxReportPage;

class TfrxView : public TfrxReportComponent {
public:
    using TfrxReportComponent::TfrxReportComponent;
    QString ClassName() const override { return QStringLiteral("TfrxView"); }

    // SetupDrawing, FillBackground, PaintFrame, in this order.
    void Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY) override;
    // Device rectangle FX, FY, FX1, FY1 (rounded, ties to even), FDX, FDY and the device frame width.
    virtual void SetupDrawing(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY);
    virtual void FillBackground();
    virtual void PaintFrame();

    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;

    TfrxAlign Align = baNone;
    bool Printable = true;
    TfrxShiftMode ShiftMode = smAlways;
    int GroupIndex = 0;
    int Restrictions = 0;
    QString OnAfterData, OnAfterPrint, OnBeforePrint, OnPreviewClick, OnPreviewDblClick;
    QString Hint;
    bool ShowHint = true;
    TColor Color = clNone;
    TBrushStyle BrushStyle = bsSolid;
    TfrxFrame Frame;
    int Cursor = 0;
    QString TagStr;
    QString URL;

    bool IsPrinting = false;  // drawn on a printer (Printable decides whether it is drawn at all)

protected:
    QPainter *FCanvas = nullptr;
    int FX = 0, FY = 0, FX1 = 0, FY1 = 0, FDX = 0, FDY = 0;
    int FFrameWidth = 0;
    double FScaleX = 1, FScaleY = 1, FOffsetX = 0, FOffsetY = 0;
};

class TfrxStretcheable : public TfrxView {
public:
    using TfrxView::TfrxView;
    QString ClassName() const override { return QStringLiteral("TfrxStretcheable"); }

    // Height the content needs; the base keeps the design height.
    virtual double CalcHeight() { return Height(); }
    // Splitting over pages, for a band output in parts. BeginSplit starts from the whole
    // content. SplitPart makes the view the part of what is left that fits into `space` pixels
    // below its top (with `atLeastOne`, the smallest part even when it does not fit) and returns
    // the part's height, or 0 and leaves the view as it was when nothing fits. After the part
    // is output, NextPart makes the view what is left, while HasMoreParts. The defaults split
    // nothing, so such a view goes on a page whole.
    virtual void BeginSplit() {}
    virtual double SplitPart(double space, bool atLeastOne) { (void)space; (void)atLeastOne; return 0; }
    virtual bool HasMoreParts() { return false; }
    virtual void NextPart() {}

    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;

    TfrxStretchMode StretchMode = smDontStretch;
};

class TfrxCustomMemoView : public TfrxStretcheable {
public:
    explicit TfrxCustomMemoView(TfrxComponent *AParent = nullptr);
    QString ClassName() const override { return QStringLiteral("TfrxCustomMemoView"); }

    void Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY) override;
    double CalcHeight() override;
    // Width the text needs on one line per paragraph (AutoWidth).
    virtual double CalcWidth();
    // A part is the whole wrapped lines that fit, given back as the memo's text: the paragraph
    // cut between two lines ends the part (LastParaBreak) and starts the rest (FirstParaBreak).
    // A rotated memo does not split.
    void BeginSplit() override;
    double SplitPart(double space, bool atLeastOne) override;
    bool HasMoreParts() override { return !FSplitRest.isEmpty(); }
    void NextPart() override;
    // Expands the text in place (data field, bracketed expressions, highlight, SuppressRepeated).
    void EvaluateData() override;
    // The text with its first "[TOTALPAGES]" (any case) replaced by the page count.
    QString ComponentText() const override;
    // Replaces the first "[TotalPages#]" by TotalPages and the first "[CopyName#]" by the copy's
    // name; called by every consumer of prepared pages before the memo is drawn or exported.
    void ApplyDeferredMacros();

    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;

    // Text as one string: every line followed by CR LF (empty for no lines).
    QString Text() const;
    // Splits at CR LF, LF or CR; a final line break adds no empty line.
    void SetText(const QString &value);

    TfrxDataSet *DataSet() const { return FDataSet; }
    void SetDataSet(TfrxDataSet *value);
    QString DataSetName() const;
    void SetDataSetName(const QString &value);

    QStringList Memo;
    bool AutoWidth = false;
    bool AllowExpressions = true;
    bool AllowHTMLTags = false;
    double CharSpacing = 0;
    bool Clipped = true;
    QString DataField;
    TfrxFormat DisplayFormat;
    QString ExpressionDelimiters = QStringLiteral("[,]");
    TfrxCustomMemoView *FlowTo = nullptr;
    QString FlowToName;  // kept until the memo can be found after loading
    double GapX = 2;
    double GapY = 1;
    TfrxHAlign HAlign = haLeft;
    bool HideZeros = false;
    TfrxHighlight Highlight;
    double LineSpacing = 2;
    double ParagraphGap = 0;
    int Rotation = 0;
    bool RTLReading = false;
    QString Style;
    bool SuppressRepeated = false;
    bool Underlines = false;
    bool UseDefaultCharset = false;
    bool WordBreak = false;
    bool WordWrap = true;
    bool Wysiwyg = true;
    TfrxVAlign VAlign = vaTop;
    bool FirstParaBreak = false;
    bool LastParaBreak = false;

    // Run time: the value of the last expression (or the field), the last printed text for
    // SuppressRepeated (null at the start of a run), and what output needs for the markers.
    QVariant Value;
    QVariant LastValue;
    int TotalPages = 0;
    int CopyNo = 0;
    double PrintScale = 1;

    // The part of the text between delimiters (text expansion); public for the table tests.
    static QString ExpandText(TfrxCustomMemoView *memo, const QString &text);

private:
    TfrxDataSet *FDataSet = nullptr;
    QString FDataSetName;
    // Split state: the text not yet output, whether it starts inside a paragraph, and whether
    // the whole memo ends inside one (its own LastParaBreak when the split began).
    QStringList FSplitRest;
    bool FSplitRestContinues = false;
    bool FSplitEndsOpen = false;
};

class TfrxMemoView : public TfrxCustomMemoView {
public:
    using TfrxCustomMemoView::TfrxCustomMemoView;
    QString ClassName() const override { return QStringLiteral("TfrxMemoView"); }
};

class TfrxSysMemoView : public TfrxCustomMemoView {
public:
    using TfrxCustomMemoView::TfrxCustomMemoView;
    QString ClassName() const override { return QStringLiteral("TfrxSysMemoView"); }
};

class TfrxCustomLineView : public TfrxStretcheable {
public:
    explicit TfrxCustomLineView(TfrxComponent *AParent = nullptr);
    QString ClassName() const override { return QStringLiteral("TfrxCustomLineView"); }

    // Only the frame side (or the diagonal) and the arrow heads.
    void Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY) override;

    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;

    bool Diagonal = false;
    bool ArrowStart = false;
    bool ArrowEnd = false;
    bool ArrowSolid = false;
    int ArrowLength = 20;
    int ArrowWidth = 5;
};

class TfrxLineView : public TfrxCustomLineView {
public:
    using TfrxCustomLineView::TfrxCustomLineView;
    QString ClassName() const override { return QStringLiteral("TfrxLineView"); }
};

class TfrxShapeView : public TfrxView {
public:
    explicit TfrxShapeView(TfrxComponent *AParent = nullptr);
    QString ClassName() const override { return QStringLiteral("TfrxShapeView"); }

    // The figure filled with Color and outlined with the frame pen, instead of background and sides.
    void Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY) override;

    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;

    int Curve = 0;
    TfrxShapeKind Shape = skRectangle;
};

class TfrxPictureView : public TfrxView {
public:
    explicit TfrxPictureView(TfrxComponent *AParent = nullptr);
    QString ClassName() const override { return QStringLiteral("TfrxPictureView"); }

    void Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY) override;

    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;

    QImage Picture;
    bool AutoSize = false;
    bool Center = false;
    bool KeepAspectRatio = true;
    bool Stretched = true;
    bool Transparent = false;
    int ImageIndex = -1;  // entry in the prepared pages' picture cache
};

class TfrxSubreport : public TfrxView {
public:
    using TfrxView::TfrxView;
    QString ClassName() const override { return QStringLiteral("TfrxSubreport"); }
    void Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY) override;

    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;

    TfrxReportPage *SubreportPage = nullptr;  // the report page it runs ("Page" when stored)
    QString PageName;                // kept until the page can be found
    bool PrintOnParent = false;
};
