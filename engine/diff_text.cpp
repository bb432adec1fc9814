#include "engine/diff_text.h"

#include <cmath>

#include "engine/bands.h"
#include "engine/stored_values.h"
#include "engine/views.h"
#include "engine/xml_tree.h"

namespace {

class DiffWriter {
public:
    void Raw(const char *name, QStringView value) {
        Open(name);
        frxAppendXML(out, value);
        out += u'"';
    }
    void Open(const char *name) {
        out += u' ';
        out += QLatin1String(name);
        out += QLatin1String("=\"");
    }
    // Floating-point values count as equal within 0.0001, so rounding noise of a run does not
    // turn into attributes.
    bool Float(const char *name, double value, double source, bool always = false) {
        if (!always && std::fabs(value - source) <= 0.0001) return false;
        Raw(name, frxFloatToStr(value));
        return true;
    }
    bool Int(const char *name, qint64 value, qint64 source) {
        if (value == source) return false;
        Raw(name, QString::number(value));
        return true;
    }
    bool Bool(const char *name, bool value, bool source) {
        if (value == source) return false;
        Raw(name, value ? QStringLiteral("1") : QStringLiteral("0"));
        return true;
    }
    bool Color(const char *name, TColor value, TColor source) {
        if (value == source) return false;
        Raw(name, QString::number(static_cast<qint32>(value)));
        return true;
    }
    bool Str(const char *name, const QString &value, const QString &source) {
        if (value == source) return false;
        Raw(name, value);
        return true;
    }

    QString out;
};

void WriteCommon(DiffWriter &w, const TfrxComponent *o, const TfrxComponent *s, TfrxDiffKind kind) {
    const bool autoWidth =
        kind == TfrxDiffKind::Memo && static_cast<const TfrxCustomMemoView *>(o)->AutoWidth;
    w.Float("l", o->Left(), s->Left());
    w.Float("t", o->Top(), s->Top(), kind == TfrxDiffKind::Band);
    if (!autoWidth) w.Float("w", o->Width(), s->Width());
    w.Float("h", o->Height(), s->Height());
    w.Bool("Visible", o->Visible(), s->Visible());
    if (!o->ParentFont()) {
        const TfrxFont &f = o->Font(), &sf = s->Font();
        w.Str("Font.Name", f.Name, sf.Name);
        w.Int("Font.Size", f.Size, sf.Size);
        w.Color("Font.Color", f.Color, sf.Color);
        w.Int("Font.Style", f.Style, sf.Style);
        w.Int("Font.Charset", f.Charset, sf.Charset);
    }
    w.Bool("ParentFont", o->ParentFont(), s->ParentFont());
    w.Int("Tag", o->Tag, s->Tag);
}

void WriteFrame(DiffWriter &w, const TfrxFrame &f, const TfrxFrame &sf) {
    const bool color = w.Color("Frame.Color", f.Color(), sf.Color());
    w.Bool("Frame.DropShadow", f.DropShadow, sf.DropShadow);
    w.Color("Frame.ShadowColor", f.ShadowColor, sf.ShadowColor);
    w.Float("Frame.ShadowWidth", f.ShadowWidth, sf.ShadowWidth);
    const bool style = w.Int("Frame.Style", f.Style(), sf.Style());
    w.Int("Frame.Typ", f.Typ, sf.Typ);
    const bool width = w.Float("Frame.Width", f.Width(), sf.Width());
    // Reading a frame-level value sets all four sides, so a side is written against the frame's
    // value when that was written, and against the source's side otherwise.
    struct Side {
        const char *color, *style, *width;
        const TfrxFrameLine &line, &source;
    };
    const Side sides[] = {
        {"Frame.LeftLine.Color", "Frame.LeftLine.Style", "Frame.LeftLine.Width", f.LeftLine,
         sf.LeftLine},
        {"Frame.TopLine.Color", "Frame.TopLine.Style", "Frame.TopLine.Width", f.TopLine,
         sf.TopLine},
        {"Frame.RightLine.Color", "Frame.RightLine.Style", "Frame.RightLine.Width", f.RightLine,
         sf.RightLine},
        {"Frame.BottomLine.Color", "Frame.BottomLine.Style", "Frame.BottomLine.Width",
         f.BottomLine, sf.BottomLine},
    };
    for (const Side &s : sides) {
        w.Color(s.color, s.line.Color, color ? f.Color() : s.source.Color);
        w.Int(s.style, s.line.Style, style ? f.Style() : s.source.Style);
        w.Float(s.width, s.line.Width, width ? f.Width() : s.source.Width);
    }
}

void WriteView(DiffWriter &w, const TfrxView *o, const TfrxView *s) {
    w.Int("BrushStyle", o->BrushStyle, s->BrushStyle);
    w.Int("Align", o->Align, s->Align);
    w.Color("Color", o->Color, s->Color);
    WriteFrame(w, o->Frame, s->Frame);
    w.Int("Cursor", o->Cursor, s->Cursor);
    w.Bool("Printable", o->Printable, s->Printable);
    w.Str("TagStr", o->TagStr, s->TagStr);
    w.Str("URL", o->URL, s->URL);
}

void WriteMemo(DiffWriter &w, TfrxCustomMemoView *o, const TfrxCustomMemoView *s) {
    w.Bool("AutoWidth", o->AutoWidth, s->AutoWidth);
    w.Float("CharSpacing", o->CharSpacing, s->CharSpacing);
    w.Float("GapX", o->GapX, s->GapX);
    w.Float("GapY", o->GapY, s->GapY);
    w.Int("HAlign", o->HAlign, s->HAlign);
    w.Bool("Highlight.Active", o->Highlight.Active, s->Highlight.Active);
    w.Float("LineSpacing", o->LineSpacing, s->LineSpacing);
    w.Bool("UseDefaultCharset", o->UseDefaultCharset, s->UseDefaultCharset);
    // The text is always written: it is what a placed memo is about, and an empty attribute
    // tells a memo printed empty from one that kept its template text.
    w.Open("u");
    for (qsizetype i = 0; i < o->Memo.size(); ++i) {
        if (i > 0) w.out += QLatin1String("&#13;&#10;");
        frxAppendXML(w.out, o->Memo[i]);
    }
    w.out += u'"';
    w.Float("ParagraphGap", o->ParagraphGap, s->ParagraphGap);
    w.Int("Rotation", o->Rotation, s->Rotation);
    w.Bool("RTLReading", o->RTLReading, s->RTLReading);
    w.Bool("Underlines", o->Underlines, s->Underlines);
    w.Int("VAlign", o->VAlign, s->VAlign);
    w.Bool("WordWrap", o->WordWrap, s->WordWrap);
    w.Int("DisplayFormat.Kind", o->DisplayFormat.Kind, s->DisplayFormat.Kind);
    w.Str("DisplayFormat.DecimalSeparator", o->DisplayFormat.DecimalSeparator,
          s->DisplayFormat.DecimalSeparator);
    w.Str("DisplayFormat.ThousandSeparator", o->DisplayFormat.ThousandSeparator,
          s->DisplayFormat.ThousandSeparator);
    w.Str("DisplayFormat.FormatStr", o->DisplayFormat.FormatStr, s->DisplayFormat.FormatStr);
    if (o->FirstParaBreak) w.out += QLatin1String(" FirstParaBreak=\"1\"");
    if (o->LastParaBreak) w.out += QLatin1String(" LastParaBreak=\"1\"");
    o->FirstParaBreak = o->LastParaBreak;
    o->LastParaBreak = false;
}

}  // namespace

TfrxDiffKind frxDiffKindOf(const TfrxComponent *c) {
    if (dynamic_cast<const TfrxBand *>(c)) return TfrxDiffKind::Band;
    if (dynamic_cast<const TfrxCustomMemoView *>(c)) return TfrxDiffKind::Memo;
    if (dynamic_cast<const TfrxCustomLineView *>(c)) return TfrxDiffKind::Line;
    if (dynamic_cast<const TfrxShapeView *>(c)) return TfrxDiffKind::Shape;
    if (dynamic_cast<const TfrxPictureView *>(c)) return TfrxDiffKind::Picture;
    if (dynamic_cast<const TfrxView *>(c)) return TfrxDiffKind::View;
    return TfrxDiffKind::Other;
}

QString frxCommonDiffText(const TfrxComponent *object, const TfrxComponent *source,
                          TfrxDiffKind kind) {
    DiffWriter w;
    WriteCommon(w, object, source, kind);
    return w.out;
}

QString frxDiffText(TfrxComponent *object, const TfrxComponent *source, TfrxDiffKind kind,
                    bool commonOnly) {
    DiffWriter w;
    WriteCommon(w, object, source, kind);
    if (commonOnly || kind == TfrxDiffKind::Band || kind == TfrxDiffKind::Other) return w.out;
    WriteView(w, static_cast<TfrxView *>(object), static_cast<const TfrxView *>(source));
    switch (kind) {
    case TfrxDiffKind::Memo:
        WriteMemo(w, static_cast<TfrxCustomMemoView *>(object),
                  static_cast<const TfrxCustomMemoView *>(source));
        break;
    case TfrxDiffKind::Shape:
        w.Int("Shape", static_cast<TfrxShapeView *>(object)->Shape,
              static_cast<const TfrxShapeView *>(source)->Shape);
        break;
    case TfrxDiffKind::Picture:
        w.Int("ImageIndex", static_cast<TfrxPictureView *>(object)->ImageIndex,
              static_cast<const TfrxPictureView *>(source)->ImageIndex);
        break;
    default:
        break;
    }
    return w.out;
}
