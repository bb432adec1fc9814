// The stored form of a component tree: property writing and reading per class, the class
// factory, and the node tree of a component with its children.
#include "engine/bands.h"
#include "engine/component.h"
#include "engine/datasets.h"
#include "engine/pages.h"
#include "engine/report.h"
#include "engine/stored_values.h"
#include "engine/views.h"
#include "engine/xml_tree.h"

#include "platform/erro/Erro.h"

#include <QBuffer>
#include <QDateTime>
#include <QIODevice>
#include <QLocale>

#include <charconv>
#include <cmath>
#include <functional>

// ---- value encodings -------------------------------------------------------------------

QString frxFloatToStr(double v) {
    if (v == 0) return QStringLiteral("0");
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

double frxStrToFloat(const QString &s) {
    // Stored numbers are short ASCII texts; reading them without QString::toDouble's locale
    // machinery makes rebuilding prepared pages half again as fast. Anything else (other
    // blanks, a sign, non-ASCII) takes the general path below.
    if (s.size() < 40) {
        char plain[40];
        int n = 0;
        bool ascii = true;
        for (QChar c : s) {
            const char16_t u = c.unicode();
            if (u == u' ' || u == u'\t') continue;
            if (u > 127 || u == u'+') {
                ascii = false;
                break;
            }
            plain[n++] = u == u',' ? '.' : static_cast<char>(u);
        }
        double v = 0;
        if (ascii) {
            const auto [end, ec] = std::from_chars(plain, plain + n, v);
            if (ec == std::errc() && end == plain + n && std::isfinite(v)) return v;
        }
    }
    QString t;
    t.reserve(s.size());
    for (QChar c : s) {
        if (c.isSpace()) continue;
        t += c == u',' ? u'.' : c;
    }
    bool ok = false;
    double v = t.toDouble(&ok);
    return ok ? v : 0;
}

bool frxStrToBool(const QString &s) {
    const QString t = s.trimmed();
    return t == QLatin1String("1") || t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

qint64 frxStrToInt(const QString &s) {
    const QString t = s.trimmed();
    bool ok = false;
    qint64 v = t.toLongLong(&ok);
    if (ok) return v;
    if (t.startsWith(u'$')) return t.mid(1).toLongLong(&ok, 16);
    return static_cast<qint64>(frxStrToFloat(t));
}

TColor frxStrToColor(const QString &s) {
    static const struct { const char *name; TColor value; } named[] = {
        {"clNone", clNone}, {"clBlack", clBlack}, {"clWhite", clWhite}, {"clMoneyGreen", clMoneyGreen},
        {"clGradientActiveCaption", clGradientActiveCaption}, {"clRed", 0x0000FF}, {"clGreen", 0x008000},
        {"clBlue", 0xFF0000}, {"clSilver", 0xC0C0C0}, {"clGray", 0x808080}, {"clYellow", 0x00FFFF}};
    const QString t = s.trimmed();
    for (const auto &e : named)
        if (t.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0) return e.value;
    // Stored as the platform's signed 32-bit colour value; unsigned text is accepted too.
    return static_cast<TColor>(static_cast<quint32>(frxStrToInt(t)));
}

int frxStrToEnum(const QString &s, std::initializer_list<const char *> names) {
    const QString t = s.trimmed();
    bool ok = false;
    int v = t.toInt(&ok);
    if (ok) return (v >= 0 && v < static_cast<int>(names.size())) ? v : -1;
    int i = 0;
    for (const char *n : names) {
        if (t.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) return i;
        ++i;
    }
    return -1;
}

QString frxVariantTypeCode(const QVariant &v) {
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::Short: case QMetaType::UShort: return QStringLiteral("i");
    case QMetaType::LongLong: case QMetaType::ULongLong: return QStringLiteral("l");
    case QMetaType::Double: case QMetaType::Float: return QStringLiteral("f");
    case QMetaType::Bool: return QStringLiteral("b");
    case QMetaType::QDateTime: case QMetaType::QDate: case QMetaType::QTime: return QStringLiteral("d");
    default: return {};
    }
}

QString frxVariantToStored(const QVariant &v) {
    const QString code = frxVariantTypeCode(v);
    if (code == QLatin1String("f")) return frxFloatToStr(v.toDouble());
    if (code == QLatin1String("b")) return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    if (code == QLatin1String("d")) return v.toDateTime().toString(Qt::ISODateWithMs);
    return v.toString();
}

QVariant frxStoredToVariant(const QString &text, const QString &code) {
    if (code == QLatin1String("i")) return QVariant(static_cast<int>(frxStrToInt(text)));
    if (code == QLatin1String("l")) return QVariant(frxStrToInt(text));
    if (code == QLatin1String("f")) return QVariant(frxStrToFloat(text));
    if (code == QLatin1String("b")) return QVariant(frxStrToBool(text));
    if (code == QLatin1String("d")) return QVariant(QDateTime::fromString(text, Qt::ISODateWithMs));
    return QVariant(text);
}

// ---- writer ----------------------------------------------------------------------------

void TfrxPropWriter::Str(const char *name, const QString &value) {
    Items.push_back({QString::fromLatin1(name), value, Force});
}
void TfrxPropWriter::Float(const char *name, double value) { Str(name, frxFloatToStr(value)); }
void TfrxPropWriter::Int(const char *name, qint64 value) { Str(name, QString::number(value)); }
void TfrxPropWriter::Bool(const char *name, bool value) {
    Str(name, value ? QStringLiteral("1") : QStringLiteral("0"));
}
void TfrxPropWriter::Color(const char *name, TColor value) {
    Str(name, QString::number(static_cast<qint32>(value)));
}

namespace {

// Names are compared length first: a property is looked for through a chain of some sixty
// names, and rebuilding every page of a prepared report reads each placed object's properties.
template <size_t N>
bool Is(const QString &name, const char (&lower)[N]) {
    return name.size() == qsizetype(N - 1) && name == QLatin1String(lower, qsizetype(N - 1));
}

void WriteFont(TfrxPropWriter &w, const char *prefix, const TfrxFont &f) {
    const QString p = QString::fromLatin1(prefix);
    auto key = [&](const char *k) { return (p + QLatin1String(k)).toLatin1(); };
    w.Str(key(".Name").constData(), f.Name);
    w.Int(key(".Size").constData(), f.Size);
    w.Color(key(".Color").constData(), f.Color);
    w.Int(key(".Style").constData(), f.Style);
    w.Int(key(".Charset").constData(), f.Charset);
}

// name is lower case and already stripped of the prefix and the full stop.
bool ReadFont(TfrxFont &f, const QString &name, const QString &value) {
    if (Is(name, "name")) f.Name = value;
    else if (Is(name, "size")) f.Size = static_cast<int>(frxStrToInt(value));
    else if (Is(name, "height")) f.SetHeight(static_cast<int>(frxStrToInt(value)));
    else if (Is(name, "color")) f.Color = frxStrToColor(value);
    else if (Is(name, "style")) f.Style = static_cast<TFontStyles>(frxStrToInt(value) & 15);
    else if (Is(name, "charset")) f.Charset = static_cast<int>(frxStrToInt(value));
    else return false;
    return true;
}

template <class E>
bool ReadEnum(E &target, const QString &value, std::initializer_list<const char *> names) {
    int v = frxStrToEnum(value, names);
    if (v >= 0) target = static_cast<E>(v);
    return true;
}

#define FRX_ENUM_NAMES_FRAMESTYLE {"fsSolid", "fsDash", "fsDot", "fsDashDot", "fsDashDotDot", "fsDouble"}
#define FRX_ENUM_NAMES_BRUSH {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"}

QString JoinLines(const QStringList &lines) { return lines.join(QLatin1String("\r\n")); }

QStringList SplitLines(const QString &text) {
    if (text.isEmpty()) return {};
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(u'\r', u'\n');
    QStringList lines = t.split(u'\n');
    if (lines.size() > 1 && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

// Names of objects that a loaded component refers to, resolved once the whole tree is there.
void ResolveReferences(TfrxComponent *root) {
    std::vector<TfrxComponent *> all = root->AllObjects();
    all.insert(all.begin(), root);
    auto find = [&](const QString &name) -> TfrxComponent * {
        for (TfrxComponent *c : all)
            if (c->Name().compare(name, Qt::CaseInsensitive) == 0) return c;
        return nullptr;
    };
    for (TfrxComponent *c : all) {
        if (auto *b = dynamic_cast<TfrxBand *>(c); b && !b->ChildName.isEmpty())
            b->Child = dynamic_cast<TfrxChild *>(find(b->ChildName));
        if (auto *m = dynamic_cast<TfrxCustomMemoView *>(c); m && !m->FlowToName.isEmpty())
            m->FlowTo = dynamic_cast<TfrxCustomMemoView *>(find(m->FlowToName));
        if (auto *s = dynamic_cast<TfrxSubreport *>(c); s && !s->PageName.isEmpty())
            s->SubreportPage = dynamic_cast<TfrxReportPage *>(find(s->PageName));
    }
}

}  // namespace

// ---- component -------------------------------------------------------------------------

void TfrxComponent::WriteProperties(TfrxPropWriter &w) const {
    if (!FName.isEmpty()) {
        w.Force = true;
        w.Str("Name", FName);
        w.Force = false;
    }
    w.Float("Left", FLeft);
    w.Float("Top", FTop);
    w.Float("Width", FWidth);
    w.Float("Height", FHeight);
    w.Bool("Visible", FVisible);
    if (!FParentFont) {
        w.Force = true;
        WriteFont(w, "Font", FFont);
        w.Force = false;
    }
    w.Bool("ParentFont", FParentFont);
    w.Int("Tag", Tag);
}

bool TfrxComponent::ReadProperty(const QString &name, const QString &value) {
    if (Is(name, "name")) SetName(value);
    else if (Is(name, "left") || Is(name, "l")) SetLeft(frxStrToFloat(value));
    else if (Is(name, "top") || Is(name, "t")) SetTop(frxStrToFloat(value));
    else if (Is(name, "width") || Is(name, "w")) SetWidth(frxStrToFloat(value));
    else if (Is(name, "height") || Is(name, "h")) SetHeight(frxStrToFloat(value));
    else if (Is(name, "visible")) SetVisible(frxStrToBool(value));
    else if (name.startsWith(QLatin1String("font."))) {
        TfrxFont f = FFont;
        if (!ReadFont(f, name.mid(5), value)) return false;
        SetFont(f);
    } else if (Is(name, "parentfont")) SetParentFont(frxStrToBool(value));
    else if (Is(name, "tag")) Tag = static_cast<int>(frxStrToInt(value));
    else return false;
    return true;
}

QString TfrxComponent::PropertiesText() const {
    TfrxPropWriter mine;
    WriteProperties(mine);
    std::unique_ptr<TfrxComponent> fresh(frxCreateComponent(ClassName(), nullptr));
    TfrxPropWriter defaults;
    if (fresh) fresh->WriteProperties(defaults);
    QString out;
    for (const auto &it : mine.Items) {
        bool same = false;
        if (!it.Forced)
            for (const auto &d : defaults.Items)
                if (d.Name == it.Name) {
                    same = d.Value == it.Value;
                    break;
                }
        if (same) continue;
        out += u' ' + it.Name + QLatin1String("=\"") + frxStrToXML(it.Value) + u'"';
    }
    return out;
}

void TfrxComponent::ApplyPropertiesText(QStringView text) {
    for (const auto &[name, value] : frxParseAttributes(text)) ReadProperty(name.toLower(), value);
}

void TfrxComponent::WriteNode(TfrxXMLItem &Item, bool SaveChildren) const {
    Item.Name = ClassName();
    Item.Text = PropertiesText();
    if (!SaveChildren) return;
    for (TfrxComponent *c : FObjects) c->WriteNode(*Item.Add(), true);
}

void TfrxComponent::ReadNode(const TfrxXMLItem &Item) {
    ApplyPropertiesText(Item.Text);
    for (int i = 0; i < Item.Count(); ++i) {
        const TfrxXMLItem &ci = *Item.Items(i);
        TfrxComponent *c = frxCreateComponent(ci.Name, this);
        if (!c) continue;  // a class this engine does not know (designer-only objects)
        c->ReadNode(ci);
    }
}

void TfrxComponent::SaveToStream(QIODevice *Stream, bool SaveChildren) const {
    TfrxXMLDocument doc;
    doc.AutoIndent = true;
    WriteNode(*doc.Root(), SaveChildren);
    doc.SaveToStream(Stream);
}

void TfrxComponent::LoadFromStream(QIODevice *Stream) {
    TfrxXMLDocument doc;
    doc.LoadFromStream(Stream);  // fails before anything of this object changes
    if (doc.Root()->Name.compare(ClassName(), Qt::CaseInsensitive) != 0)
        throw Erro(QStringLiteral("Arquivo inválido: esperado %1, encontrado %2").arg(ClassName(), doc.Root()->Name));
    Clear();
    ReadNode(*doc.Root());
    ResolveReferences(this);
}

// ---- views -----------------------------------------------------------------------------

void TfrxView::WriteProperties(TfrxPropWriter &w) const {
    TfrxReportComponent::WriteProperties(w);
    w.Enum("Align", Align);
    w.Enum("BrushStyle", BrushStyle);
    w.Color("Color", Color);
    w.Int("Cursor", Cursor);
    w.Color("Frame.Color", Frame.Color());
    w.Bool("Frame.DropShadow", Frame.DropShadow);
    w.Color("Frame.ShadowColor", Frame.ShadowColor);
    w.Float("Frame.ShadowWidth", Frame.ShadowWidth);
    w.Enum("Frame.Style", Frame.Style());
    w.Int("Frame.Typ", Frame.Typ);
    w.Float("Frame.Width", Frame.Width());
    // A side is written when it differs from the frame-level value, which reading sets first.
    w.Force = true;
    const std::pair<const char *, const TfrxFrameLine *> sides[] = {
        {"Frame.LeftLine", &Frame.LeftLine}, {"Frame.TopLine", &Frame.TopLine},
        {"Frame.RightLine", &Frame.RightLine}, {"Frame.BottomLine", &Frame.BottomLine}};
    for (const auto &[prefix, line] : sides) {
        const QByteArray p(prefix);
        if (line->Color != Frame.Color()) w.Color((p + ".Color").constData(), line->Color);
        if (line->Style != Frame.Style()) w.Enum((p + ".Style").constData(), line->Style);
        if (line->Width != Frame.Width()) w.Float((p + ".Width").constData(), line->Width);
    }
    w.Force = false;
    w.Int("GroupIndex", GroupIndex);
    w.Str("Hint", Hint);
    w.Bool("Printable", Printable);
    w.Int("Restrictions", Restrictions);
    w.Enum("ShiftMode", ShiftMode);
    w.Bool("ShowHint", ShowHint);
    w.Str("TagStr", TagStr);
    w.Str("URL", URL);
    w.Str("OnAfterData", OnAfterData);
    w.Str("OnAfterPrint", OnAfterPrint);
    w.Str("OnBeforePrint", OnBeforePrint);
    w.Str("OnPreviewClick", OnPreviewClick);
    w.Str("OnPreviewDblClick", OnPreviewDblClick);
}

static bool ReadFrame(TfrxFrame &f, const QString &n, const QString &value) {
    if (Is(n, "color")) f.SetColor(frxStrToColor(value));
    else if (Is(n, "dropshadow")) f.DropShadow = frxStrToBool(value);
    else if (Is(n, "shadowcolor")) f.ShadowColor = frxStrToColor(value);
    else if (Is(n, "shadowwidth")) f.ShadowWidth = frxStrToFloat(value);
    else if (Is(n, "style")) { TfrxFrameStyle s = f.Style(); ReadEnum(s, value, FRX_ENUM_NAMES_FRAMESTYLE); f.SetStyle(s); }
    else if (Is(n, "typ")) {
        QString v = value.trimmed();
        if (v.startsWith(u'[')) {  // a set written by name: [ftLeft,ftTop]
            TfrxFrameTypes t = 0;
            const QStringList parts = v.mid(1, v.size() - 2).split(u',', Qt::SkipEmptyParts);
            for (const QString &p : parts) {
                int k = frxStrToEnum(p, {"ftLeft", "ftRight", "ftTop", "ftBottom"});
                if (k >= 0) t |= static_cast<TfrxFrameTypes>(1 << k);
            }
            f.Typ = t;
        } else {
            f.Typ = static_cast<TfrxFrameTypes>(frxStrToInt(v) & 15);
        }
    } else if (Is(n, "width")) f.SetWidth(frxStrToFloat(value));
    else {
        const std::pair<const char *, TfrxFrameLine *> sides[] = {
            {"leftline.", &f.LeftLine}, {"topline.", &f.TopLine}, {"rightline.", &f.RightLine}, {"bottomline.", &f.BottomLine}};
        for (const auto &[prefix, line] : sides) {
            if (!n.startsWith(QLatin1String(prefix))) continue;
            const QString k = n.mid(static_cast<int>(strlen(prefix)));
            if (Is(k, "color")) line->Color = frxStrToColor(value);
            else if (Is(k, "style")) ReadEnum(line->Style, value, FRX_ENUM_NAMES_FRAMESTYLE);
            else if (Is(k, "width")) line->Width = frxStrToFloat(value);
            else return false;
            return true;
        }
        return false;
    }
    return true;
}

bool TfrxView::ReadProperty(const QString &name, const QString &value) {
    if (TfrxReportComponent::ReadProperty(name, value)) return true;
    if (Is(name, "align")) return ReadEnum(Align, value, {"baNone", "baLeft", "baRight", "baCenter", "baWidth", "baBottom", "baClient"});
    if (Is(name, "brushstyle")) return ReadEnum(BrushStyle, value, FRX_ENUM_NAMES_BRUSH);
    if (Is(name, "color")) { Color = frxStrToColor(value); return true; }
    if (Is(name, "cursor")) { Cursor = static_cast<int>(frxStrToInt(value)); return true; }
    if (name.startsWith(QLatin1String("frame."))) return ReadFrame(Frame, name.mid(6), value);
    if (Is(name, "groupindex")) { GroupIndex = static_cast<int>(frxStrToInt(value)); return true; }
    if (Is(name, "hint")) { Hint = value; return true; }
    if (Is(name, "printable")) { Printable = frxStrToBool(value); return true; }
    if (Is(name, "restrictions")) { Restrictions = static_cast<int>(frxStrToInt(value)); return true; }
    if (Is(name, "shiftmode")) return ReadEnum(ShiftMode, value, {"smDontShift", "smAlways", "smWhenOverlapped"});
    if (Is(name, "showhint")) { ShowHint = frxStrToBool(value); return true; }
    if (Is(name, "tagstr")) { TagStr = value; return true; }
    if (Is(name, "url")) { URL = value; return true; }
    if (Is(name, "onafterdata")) { OnAfterData = value; return true; }
    if (Is(name, "onafterprint")) { OnAfterPrint = value; return true; }
    if (Is(name, "onbeforeprint")) { OnBeforePrint = value; return true; }
    if (Is(name, "onpreviewclick")) { OnPreviewClick = value; return true; }
    if (Is(name, "onpreviewdblclick")) { OnPreviewDblClick = value; return true; }
    return false;
}

void TfrxStretcheable::WriteProperties(TfrxPropWriter &w) const {
    TfrxView::WriteProperties(w);
    w.Enum("StretchMode", StretchMode);
}

bool TfrxStretcheable::ReadProperty(const QString &name, const QString &value) {
    if (TfrxView::ReadProperty(name, value)) return true;
    if (Is(name, "stretchmode")) return ReadEnum(StretchMode, value, {"smDontStretch", "smActualHeight", "smMaxHeight"});
    return false;
}

void TfrxCustomMemoView::WriteProperties(TfrxPropWriter &w) const {
    TfrxStretcheable::WriteProperties(w);
    w.Bool("AutoWidth", AutoWidth);
    w.Bool("AllowExpressions", AllowExpressions);
    w.Bool("AllowHTMLTags", AllowHTMLTags);
    w.Float("CharSpacing", CharSpacing);
    w.Bool("Clipped", Clipped);
    w.Str("DataField", DataField);
    w.Str("DataSetName", DataSetName());
    w.Enum("DisplayFormat.Kind", DisplayFormat.Kind);
    w.Str("DisplayFormat.DecimalSeparator", DisplayFormat.DecimalSeparator);
    w.Str("DisplayFormat.ThousandSeparator", DisplayFormat.ThousandSeparator);
    w.Str("DisplayFormat.FormatStr", DisplayFormat.FormatStr);
    w.Str("ExpressionDelimiters", ExpressionDelimiters);
    w.Str("FlowTo", FlowTo ? FlowTo->Name() : FlowToName);
    w.Float("GapX", GapX);
    w.Float("GapY", GapY);
    w.Enum("HAlign", HAlign);
    w.Bool("HideZeros", HideZeros);
    w.Bool("Highlight.Active", Highlight.Active);
    w.Color("Highlight.Color", Highlight.Color);
    w.Str("Highlight.Condition", Highlight.Condition);
    WriteFont(w, "Highlight.Font", Highlight.Font);
    w.Float("LineSpacing", LineSpacing);
    w.Str("Memo.UTF8", JoinLines(Memo));
    w.Float("ParagraphGap", ParagraphGap);
    w.Int("Rotation", Rotation);
    w.Bool("RTLReading", RTLReading);
    w.Str("Style", Style);
    w.Bool("SuppressRepeated", SuppressRepeated);
    w.Bool("Underlines", Underlines);
    w.Bool("UseDefaultCharset", UseDefaultCharset);
    w.Bool("WordBreak", WordBreak);
    w.Bool("WordWrap", WordWrap);
    w.Bool("Wysiwyg", Wysiwyg);
    w.Enum("VAlign", VAlign);
    w.Bool("FirstParaBreak", FirstParaBreak);
    w.Bool("LastParaBreak", LastParaBreak);
}

bool TfrxCustomMemoView::ReadProperty(const QString &name, const QString &value) {
    if (TfrxStretcheable::ReadProperty(name, value)) return true;
    auto flag = [&](bool &b) { b = frxStrToBool(value); return true; };
    auto num = [&](double &d) { d = frxStrToFloat(value); return true; };
    if (Is(name, "autowidth")) return flag(AutoWidth);
    if (Is(name, "allowexpressions")) return flag(AllowExpressions);
    if (Is(name, "allowhtmltags")) return flag(AllowHTMLTags);
    if (Is(name, "charspacing")) return num(CharSpacing);
    if (Is(name, "clipped")) return flag(Clipped);
    if (Is(name, "datafield")) { DataField = value; return true; }
    if (Is(name, "datasetname") || Is(name, "dataset")) { SetDataSetName(value); return true; }
    if (Is(name, "displayformat.kind")) return ReadEnum(DisplayFormat.Kind, value, {"fkText", "fkNumeric", "fkDateTime", "fkBoolean"});
    if (Is(name, "displayformat.decimalseparator")) { DisplayFormat.DecimalSeparator = value; return true; }
    if (Is(name, "displayformat.thousandseparator")) { DisplayFormat.ThousandSeparator = value; return true; }
    if (Is(name, "displayformat.formatstr")) { DisplayFormat.FormatStr = value; return true; }
    if (Is(name, "expressiondelimiters")) { ExpressionDelimiters = value; return true; }
    if (Is(name, "flowto")) { FlowToName = value; FlowTo = nullptr; return true; }
    if (Is(name, "gapx")) return num(GapX);
    if (Is(name, "gapy")) return num(GapY);
    if (Is(name, "halign")) return ReadEnum(HAlign, value, {"haLeft", "haRight", "haCenter", "haBlock"});
    if (Is(name, "hidezeros")) return flag(HideZeros);
    if (Is(name, "highlight.active")) return flag(Highlight.Active);
    if (Is(name, "highlight.color")) { Highlight.Color = frxStrToColor(value); return true; }
    if (Is(name, "highlight.condition")) { Highlight.Condition = value; return true; }
    if (name.startsWith(QLatin1String("highlight.font."))) return ReadFont(Highlight.Font, name.mid(15), value);
    if (Is(name, "linespacing")) return num(LineSpacing);
    if (Is(name, "memo.utf8") || Is(name, "memo.utf8w") || Is(name, "memo.text") || Is(name, "text") || Is(name, "u")) {
        Memo = SplitLines(value);
        return true;
    }
    if (Is(name, "paragraphgap")) return num(ParagraphGap);
    if (Is(name, "rotation")) { Rotation = static_cast<int>(frxStrToInt(value)); return true; }
    if (Is(name, "rtlreading")) return flag(RTLReading);
    if (Is(name, "style")) { Style = value; return true; }
    if (Is(name, "suppressrepeated")) return flag(SuppressRepeated);
    if (Is(name, "underlines")) return flag(Underlines);
    if (Is(name, "usedefaultcharset")) return flag(UseDefaultCharset);
    if (Is(name, "wordbreak")) return flag(WordBreak);
    if (Is(name, "wordwrap")) return flag(WordWrap);
    if (Is(name, "wysiwyg")) return flag(Wysiwyg);
    if (Is(name, "valign")) return ReadEnum(VAlign, value, {"vaTop", "vaBottom", "vaCenter"});
    if (Is(name, "firstparabreak")) return flag(FirstParaBreak);
    if (Is(name, "lastparabreak")) return flag(LastParaBreak);
    return false;
}

void TfrxCustomLineView::WriteProperties(TfrxPropWriter &w) const {
    TfrxStretcheable::WriteProperties(w);
    w.Bool("Diagonal", Diagonal);
    w.Bool("ArrowStart", ArrowStart);
    w.Bool("ArrowEnd", ArrowEnd);
    w.Bool("ArrowSolid", ArrowSolid);
    w.Int("ArrowLength", ArrowLength);
    w.Int("ArrowWidth", ArrowWidth);
}

bool TfrxCustomLineView::ReadProperty(const QString &name, const QString &value) {
    if (TfrxStretcheable::ReadProperty(name, value)) return true;
    if (Is(name, "diagonal")) Diagonal = frxStrToBool(value);
    else if (Is(name, "arrowstart")) ArrowStart = frxStrToBool(value);
    else if (Is(name, "arrowend")) ArrowEnd = frxStrToBool(value);
    else if (Is(name, "arrowsolid")) ArrowSolid = frxStrToBool(value);
    else if (Is(name, "arrowlength")) ArrowLength = static_cast<int>(frxStrToInt(value));
    else if (Is(name, "arrowwidth")) ArrowWidth = static_cast<int>(frxStrToInt(value));
    else return false;
    return true;
}

void TfrxShapeView::WriteProperties(TfrxPropWriter &w) const {
    TfrxView::WriteProperties(w);
    w.Int("Curve", Curve);
    w.Enum("Shape", Shape);
}

bool TfrxShapeView::ReadProperty(const QString &name, const QString &value) {
    if (TfrxView::ReadProperty(name, value)) return true;
    if (Is(name, "curve")) { Curve = static_cast<int>(frxStrToInt(value)); return true; }
    if (Is(name, "shape"))
        return ReadEnum(Shape, value, {"skRectangle", "skRoundRectangle", "skEllipse", "skTriangle", "skDiamond", "skDiagonal1", "skDiagonal2"});
    return false;
}

void TfrxPictureView::WriteProperties(TfrxPropWriter &w) const {
    TfrxView::WriteProperties(w);
    w.Bool("AutoSize", AutoSize);
    w.Bool("Center", Center);
    w.Bool("KeepAspectRatio", KeepAspectRatio);
    w.Bool("Stretched", Stretched);
    w.Bool("Transparent", Transparent);
    w.Int("ImageIndex", ImageIndex);
    QByteArray png;
    if (!Picture.isNull()) {
        QBuffer b(&png);
        b.open(QIODevice::WriteOnly);
        Picture.save(&b, "PNG");
    }
    w.Str("Picture.PNG", QString::fromLatin1(png.toBase64()));
}

bool TfrxPictureView::ReadProperty(const QString &name, const QString &value) {
    if (TfrxView::ReadProperty(name, value)) return true;
    if (Is(name, "autosize")) AutoSize = frxStrToBool(value);
    else if (Is(name, "center")) Center = frxStrToBool(value);
    else if (Is(name, "keepaspectratio")) KeepAspectRatio = frxStrToBool(value);
    else if (Is(name, "stretched")) Stretched = frxStrToBool(value);
    else if (Is(name, "transparent")) Transparent = frxStrToBool(value);
    else if (Is(name, "imageindex")) ImageIndex = static_cast<int>(frxStrToInt(value));
    else if (Is(name, "picture.png")) {
        Picture = QImage();
        if (!value.isEmpty()) Picture.loadFromData(QByteArray::fromBase64(value.toLatin1()), "PNG");
    } else return false;
    return true;
}

void TfrxSubreport::WriteProperties(TfrxPropWriter &w) const {
    TfrxView::WriteProperties(w);
    w.Str("Page", SubreportPage ? SubreportPage->Name() : PageName);
    w.Bool("PrintOnParent", PrintOnParent);
}

bool TfrxSubreport::ReadProperty(const QString &name, const QString &value) {
    if (TfrxView::ReadProperty(name, value)) return true;
    if (Is(name, "page")) { PageName = value; SubreportPage = nullptr; return true; }
    if (Is(name, "printonparent")) { PrintOnParent = frxStrToBool(value); return true; }
    return false;
}

// ---- bands -----------------------------------------------------------------------------

void TfrxBand::WriteProperties(TfrxPropWriter &w) const {
    TfrxReportComponent::WriteProperties(w);
    w.Bool("Vertical", Vertical);
    w.Int("Restrictions", Restrictions);
    w.Bool("AllowSplit", AllowSplit);
    w.Str("Child", Child ? Child->Name() : ChildName);
    w.Bool("KeepChild", KeepChild);
    w.Str("OutlineText", OutlineText);
    w.Bool("PrintChildIfInvisible", PrintChildIfInvisible);
    w.Bool("ReprintOnNewPage", ReprintOnNewPage);
    w.Bool("StartNewPage", StartNewPage);
    w.Bool("Stretched", Stretched);
    w.Str("OnAfterCalcHeight", OnAfterCalcHeight);
    w.Str("OnAfterPrint", OnAfterPrint);
    w.Str("OnBeforePrint", OnBeforePrint);
}

bool TfrxBand::ReadProperty(const QString &name, const QString &value) {
    if (TfrxReportComponent::ReadProperty(name, value)) return true;
    if (Is(name, "vertical")) Vertical = frxStrToBool(value);
    else if (Is(name, "restrictions")) Restrictions = static_cast<int>(frxStrToInt(value));
    else if (Is(name, "allowsplit")) AllowSplit = frxStrToBool(value);
    else if (Is(name, "child")) { ChildName = value; Child = nullptr; }
    else if (Is(name, "keepchild")) KeepChild = frxStrToBool(value);
    else if (Is(name, "outlinetext")) OutlineText = value;
    else if (Is(name, "printchildifinvisible")) PrintChildIfInvisible = frxStrToBool(value);
    else if (Is(name, "reprintonnewpage")) ReprintOnNewPage = frxStrToBool(value);
    else if (Is(name, "startnewpage")) StartNewPage = frxStrToBool(value);
    else if (Is(name, "stretched")) Stretched = frxStrToBool(value);
    else if (Is(name, "onaftercalcheight")) OnAfterCalcHeight = value;
    else if (Is(name, "onafterprint")) OnAfterPrint = value;
    else if (Is(name, "onbeforeprint")) OnBeforePrint = value;
    else return false;
    return true;
}

void TfrxDataBand::WriteProperties(TfrxPropWriter &w) const {
    TfrxBand::WriteProperties(w);
    w.Int("Columns", Columns);
    w.Float("ColumnWidth", ColumnWidth);
    w.Float("ColumnGap", ColumnGap);
    w.Str("DataSetName", DataSetName());
    w.Bool("FooterAfterEach", FooterAfterEach);
    w.Bool("KeepFooter", KeepFooter);
    w.Bool("KeepHeader", KeepHeader);
    w.Bool("KeepTogether", KeepTogether);
    w.Bool("PrintIfDetailEmpty", PrintIfDetailEmpty);
    w.Int("RowCount", RowCount);
    w.Str("OnMasterDetail", OnMasterDetail);
}

bool TfrxDataBand::ReadProperty(const QString &name, const QString &value) {
    if (TfrxBand::ReadProperty(name, value)) return true;
    if (Is(name, "columns")) Columns = static_cast<int>(frxStrToInt(value));
    else if (Is(name, "columnwidth")) ColumnWidth = frxStrToFloat(value);
    else if (Is(name, "columngap")) ColumnGap = frxStrToFloat(value);
    else if (Is(name, "datasetname") || Is(name, "dataset")) SetDataSetName(value);
    else if (Is(name, "footeraftereach")) FooterAfterEach = frxStrToBool(value);
    else if (Is(name, "keepfooter")) KeepFooter = frxStrToBool(value);
    else if (Is(name, "keepheader")) KeepHeader = frxStrToBool(value);
    else if (Is(name, "keeptogether")) KeepTogether = frxStrToBool(value);
    else if (Is(name, "printifdetailempty")) PrintIfDetailEmpty = frxStrToBool(value);
    else if (Is(name, "rowcount")) RowCount = static_cast<int>(frxStrToInt(value));
    else if (Is(name, "onmasterdetail")) OnMasterDetail = value;
    else return false;
    return true;
}

#define FRX_PLAIN_BAND_PROPS(cls, base)                                                          \
    void cls::WriteProperties(TfrxPropWriter &w) const { base::WriteProperties(w); }            \
    bool cls::ReadProperty(const QString &name, const QString &value) { return base::ReadProperty(name, value); }
FRX_PLAIN_BAND_PROPS(TfrxMasterData, TfrxDataBand)
FRX_PLAIN_BAND_PROPS(TfrxDetailData, TfrxDataBand)
FRX_PLAIN_BAND_PROPS(TfrxSubdetailData, TfrxDataBand)
FRX_PLAIN_BAND_PROPS(TfrxDataBand4, TfrxDataBand)
FRX_PLAIN_BAND_PROPS(TfrxDataBand5, TfrxDataBand)
FRX_PLAIN_BAND_PROPS(TfrxDataBand6, TfrxDataBand)
FRX_PLAIN_BAND_PROPS(TfrxReportTitle, TfrxBand)
FRX_PLAIN_BAND_PROPS(TfrxReportSummary, TfrxBand)
FRX_PLAIN_BAND_PROPS(TfrxHeader, TfrxBand)
FRX_PLAIN_BAND_PROPS(TfrxFooter, TfrxBand)
FRX_PLAIN_BAND_PROPS(TfrxChild, TfrxBand)
FRX_PLAIN_BAND_PROPS(TfrxColumnHeader, TfrxBand)
FRX_PLAIN_BAND_PROPS(TfrxColumnFooter, TfrxBand)
#undef FRX_PLAIN_BAND_PROPS

void TfrxGroupFooter::WriteProperties(TfrxPropWriter &w) const {
    TfrxBand::WriteProperties(w);
    w.Bool("HideIfSingleDataRecord", HideIfSingleDataRecord);
}
bool TfrxGroupFooter::ReadProperty(const QString &name, const QString &value) {
    if (TfrxBand::ReadProperty(name, value)) return true;
    if (Is(name, "hideifsingledatarecord")) { HideIfSingleDataRecord = frxStrToBool(value); return true; }
    return false;
}

void TfrxPageHeader::WriteProperties(TfrxPropWriter &w) const {
    TfrxBand::WriteProperties(w);
    w.Bool("PrintOnFirstPage", PrintOnFirstPage);
}
bool TfrxPageHeader::ReadProperty(const QString &name, const QString &value) {
    if (TfrxBand::ReadProperty(name, value)) return true;
    if (Is(name, "printonfirstpage")) { PrintOnFirstPage = frxStrToBool(value); return true; }
    return false;
}

void TfrxPageFooter::WriteProperties(TfrxPropWriter &w) const {
    TfrxBand::WriteProperties(w);
    w.Bool("PrintOnFirstPage", PrintOnFirstPage);
    w.Bool("PrintOnLastPage", PrintOnLastPage);
}
bool TfrxPageFooter::ReadProperty(const QString &name, const QString &value) {
    if (TfrxBand::ReadProperty(name, value)) return true;
    if (Is(name, "printonfirstpage")) { PrintOnFirstPage = frxStrToBool(value); return true; }
    if (Is(name, "printonlastpage")) { PrintOnLastPage = frxStrToBool(value); return true; }
    return false;
}

void TfrxOverlay::WriteProperties(TfrxPropWriter &w) const {
    TfrxBand::WriteProperties(w);
    w.Bool("PrintOnTop", PrintOnTop);
}
bool TfrxOverlay::ReadProperty(const QString &name, const QString &value) {
    if (TfrxBand::ReadProperty(name, value)) return true;
    if (Is(name, "printontop")) { PrintOnTop = frxStrToBool(value); return true; }
    return false;
}

void TfrxGroupHeader::WriteProperties(TfrxPropWriter &w) const {
    TfrxBand::WriteProperties(w);
    w.Str("Condition", Condition);
    w.Bool("DrillDown", DrillDown);
    w.Bool("ExpandDrillDown", ExpandDrillDown);
    w.Bool("KeepTogether", KeepTogether);
    w.Bool("ResetPageNumbers", ResetPageNumbers);
    w.Bool("ShowFooterIfDrillDown", ShowFooterIfDrillDown);
    w.Bool("ShowChildIfDrillDown", ShowChildIfDrillDown);
    w.Str("DrillName", DrillName);
}
bool TfrxGroupHeader::ReadProperty(const QString &name, const QString &value) {
    if (TfrxBand::ReadProperty(name, value)) return true;
    if (Is(name, "condition")) Condition = value;
    else if (Is(name, "drilldown")) DrillDown = frxStrToBool(value);
    else if (Is(name, "expanddrilldown")) ExpandDrillDown = frxStrToBool(value);
    else if (Is(name, "keeptogether")) KeepTogether = frxStrToBool(value);
    else if (Is(name, "resetpagenumbers")) ResetPageNumbers = frxStrToBool(value);
    else if (Is(name, "showfooterifdrilldown")) ShowFooterIfDrillDown = frxStrToBool(value);
    else if (Is(name, "showchildifdrilldown")) ShowChildIfDrillDown = frxStrToBool(value);
    else if (Is(name, "drillname")) DrillName = value;
    else return false;
    return true;
}

// ---- pages -----------------------------------------------------------------------------

void TfrxPage::WriteProperties(TfrxPropWriter &w) const { TfrxComponent::WriteProperties(w); }
bool TfrxPage::ReadProperty(const QString &name, const QString &value) {
    return TfrxComponent::ReadProperty(name, value);
}

void TfrxDialogPage::WriteProperties(TfrxPropWriter &w) const {
    TfrxPage::WriteProperties(w);
    w.Str("Caption", Caption);
}
bool TfrxDialogPage::ReadProperty(const QString &name, const QString &value) {
    if (TfrxPage::ReadProperty(name, value)) return true;
    if (Is(name, "caption")) { Caption = value; return true; }
    return false;
}

void TfrxReportPage::WriteProperties(TfrxPropWriter &w) const {
    TfrxPage::WriteProperties(w);
    // Orientation swaps the paper and rotates the margins, and paper dimensions change the
    // paper code: all of them are written, in the order that rebuilds the same page.
    w.Force = true;
    w.Enum("Orientation", FOrientation);
    w.Float("PaperWidth", FPaperWidth);
    w.Float("PaperHeight", FPaperHeight);
    w.Int("PaperSize", FPaperSize);
    w.Float("LeftMargin", LeftMargin);
    w.Float("RightMargin", RightMargin);
    w.Float("TopMargin", TopMargin);
    w.Float("BottomMargin", BottomMargin);
    w.Force = false;
    w.Bool("MirrorMargins", MirrorMargins);
    w.Int("Columns", Columns);
    w.Float("ColumnWidth", ColumnWidth);
    w.Str("ColumnPositions.Text", ColumnPositions.join(QLatin1String("\r\n")));
    w.Int("Bin", Bin);
    w.Int("BinOtherPages", BinOtherPages);
    w.Bool("BackPictureVisible", BackPictureVisible);
    w.Bool("BackPicturePrintable", BackPicturePrintable);
    w.Int("PageCount", PageCount);
    w.Color("Color", Color());
    const TfrxFrame &f = Frame();
    w.Color("Frame.Color", f.Color());
    w.Bool("Frame.DropShadow", f.DropShadow);
    w.Color("Frame.ShadowColor", f.ShadowColor);
    w.Float("Frame.ShadowWidth", f.ShadowWidth);
    w.Enum("Frame.Style", f.Style());
    w.Int("Frame.Typ", f.Typ);
    w.Float("Frame.Width", f.Width());
    w.Str("DataSetName", DataSetName());
    w.Bool("EndlessHeight", EndlessHeight);
    w.Bool("EndlessWidth", EndlessWidth);
    w.Str("OutlineText", OutlineText);
    w.Bool("PrintIfEmpty", PrintIfEmpty);
    w.Bool("PrintOnPreviousPage", PrintOnPreviousPage);
    w.Bool("ResetPageNumbers", ResetPageNumbers);
    w.Bool("TitleBeforeHeader", TitleBeforeHeader);
    w.Bool("LargeDesignHeight", LargeDesignHeight);
    w.Str("OnBeforePrint", OnBeforePrint);
    w.Str("OnAfterPrint", OnAfterPrint);
    w.Str("OnManualBuild", OnManualBuild);
    if (BackPictureView() && !BackPictureView()->Picture.isNull()) {
        TfrxPropWriter pw;
        BackPictureView()->WriteProperties(pw);
        for (const auto &it : pw.Items)
            if (it.Name == QLatin1String("Picture.PNG")) w.Str("BackPicture.PNG", it.Value);
    }
}

bool TfrxReportPage::ReadProperty(const QString &name, const QString &value) {
    // The page's own Width and Height follow from the paper; stored values are not taken.
    if (Is(name, "width") || Is(name, "height") || Is(name, "w") || Is(name, "h")) return true;
    if (TfrxPage::ReadProperty(name, value)) return true;
    if (Is(name, "orientation")) {
        TPrinterOrientation o = FOrientation;
        ReadEnum(o, value, {"poPortrait", "poLandscape"});
        SetOrientation(o);
    } else if (Is(name, "paperwidth")) SetPaperWidth(frxStrToFloat(value));
    else if (Is(name, "paperheight")) SetPaperHeight(frxStrToFloat(value));
    else if (Is(name, "papersize")) SetPaperSize(static_cast<int>(frxStrToInt(value)));
    else if (Is(name, "leftmargin")) LeftMargin = frxStrToFloat(value);
    else if (Is(name, "rightmargin")) RightMargin = frxStrToFloat(value);
    else if (Is(name, "topmargin")) TopMargin = frxStrToFloat(value);
    else if (Is(name, "bottommargin")) BottomMargin = frxStrToFloat(value);
    else if (Is(name, "mirrormargins")) MirrorMargins = frxStrToBool(value);
    else if (Is(name, "columns")) Columns = static_cast<int>(frxStrToInt(value));
    else if (Is(name, "columnwidth")) ColumnWidth = frxStrToFloat(value);
    else if (Is(name, "columnpositions.text")) ColumnPositions = SplitLines(value);
    else if (Is(name, "bin")) Bin = static_cast<int>(frxStrToInt(value));
    else if (Is(name, "binotherpages")) BinOtherPages = static_cast<int>(frxStrToInt(value));
    else if (Is(name, "backpicturevisible")) BackPictureVisible = frxStrToBool(value);
    else if (Is(name, "backpictureprintable")) BackPicturePrintable = frxStrToBool(value);
    else if (Is(name, "pagecount")) PageCount = static_cast<int>(frxStrToInt(value));
    else if (Is(name, "color")) SetColor(frxStrToColor(value));
    else if (name.startsWith(QLatin1String("frame."))) return ReadFrame(Frame(), name.mid(6), value);
    else if (Is(name, "datasetname") || Is(name, "dataset")) SetDataSetName(value);
    else if (Is(name, "endlessheight")) EndlessHeight = frxStrToBool(value);
    else if (Is(name, "endlesswidth")) EndlessWidth = frxStrToBool(value);
    else if (Is(name, "outlinetext")) OutlineText = value;
    else if (Is(name, "printifempty")) PrintIfEmpty = frxStrToBool(value);
    else if (Is(name, "printonpreviouspage")) PrintOnPreviousPage = frxStrToBool(value);
    else if (Is(name, "resetpagenumbers")) ResetPageNumbers = frxStrToBool(value);
    else if (Is(name, "titlebeforeheader")) TitleBeforeHeader = frxStrToBool(value);
    else if (Is(name, "largedesignheight")) LargeDesignHeight = frxStrToBool(value);
    else if (Is(name, "onbeforeprint")) OnBeforePrint = value;
    else if (Is(name, "onafterprint")) OnAfterPrint = value;
    else if (Is(name, "onmanualbuild")) OnManualBuild = value;
    else if (Is(name, "backpicture.png")) return BackPictureView()->ReadProperty(QStringLiteral("picture.png"), value);
    else return false;
    return true;
}

// ---- datasets --------------------------------------------------------------------------

void TfrxDataSet::WriteProperties(TfrxPropWriter &w) const {
    TfrxDialogComponent::WriteProperties(w);
    w.Force = true;
    w.Str("UserName", FUserName);
    w.Force = false;
    w.Bool("Enabled", Enabled);
    w.Enum("RangeBegin", RangeBegin);
    w.Enum("RangeEnd", RangeEnd);
    w.Int("RangeEndCount", RangeEndCount);
}

bool TfrxDataSet::ReadProperty(const QString &name, const QString &value) {
    if (TfrxDialogComponent::ReadProperty(name, value)) return true;
    if (Is(name, "username")) SetUserName(value);
    else if (Is(name, "enabled")) Enabled = frxStrToBool(value);
    else if (Is(name, "rangebegin")) ReadEnum(RangeBegin, value, {"rbFirst", "rbCurrent"});
    else if (Is(name, "rangeend")) ReadEnum(RangeEnd, value, {"reLast", "reCurrent", "reCount"});
    else if (Is(name, "rangeendcount")) RangeEndCount = static_cast<int>(frxStrToInt(value));
    else return false;
    return true;
}

void TfrxCustomDBDataSet::WriteProperties(TfrxPropWriter &w) const {
    TfrxDataSet::WriteProperties(w);
    w.Bool("CloseDataSource", CloseDataSource);
    w.Bool("OpenDataSource", OpenDataSource);
    w.Str("FieldAliases.Text", FieldAliases.join(QLatin1String("\r\n")));
}

bool TfrxCustomDBDataSet::ReadProperty(const QString &name, const QString &value) {
    if (TfrxDataSet::ReadProperty(name, value)) return true;
    if (Is(name, "closedatasource")) CloseDataSource = frxStrToBool(value);
    else if (Is(name, "opendatasource")) OpenDataSource = frxStrToBool(value);
    else if (Is(name, "fieldaliases.text")) FieldAliases = SplitLines(value);
    else return false;
    return true;
}

void TfrxDBDataset::WriteProperties(TfrxPropWriter &w) const {
    TfrxCustomDBDataSet::WriteProperties(w);
    w.Bool("BCDToCurrency", BCDToCurrency);
}

bool TfrxDBDataset::ReadProperty(const QString &name, const QString &value) {
    if (TfrxCustomDBDataSet::ReadProperty(name, value)) return true;
    if (Is(name, "bcdtocurrency")) { BCDToCurrency = frxStrToBool(value); return true; }
    return false;
}

// ---- report ----------------------------------------------------------------------------

void TfrxReport::WriteProperties(TfrxPropWriter &w) const {
    TfrxComponent::WriteProperties(w);
    w.Str("Version", Version);
    w.Str("DataSetName", DataSetName());
    w.Bool("DotMatrixReport", DotMatrixReport);
    const TfrxEngineOptions &e = EngineOptions;
    w.Bool("EngineOptions.ConvertNulls", e.ConvertNulls);
    w.Bool("EngineOptions.DoublePass", e.DoublePass);
    w.Int("EngineOptions.MaxMemSize", e.MaxMemSize);
    w.Bool("EngineOptions.PrintIfEmpty", e.PrintIfEmpty);
    w.Bool("EngineOptions.SilentMode", e.SilentMode);
    w.Enum("EngineOptions.NewSilentMode", e.NewSilentMode);
    w.Str("EngineOptions.TempDir", e.TempDir);
    w.Bool("EngineOptions.UseFileCache", e.UseFileCache);
    w.Bool("EngineOptions.IgnoreDevByZero", e.IgnoreDevByZero);
    w.Str("IniFile", IniFile);
    w.Bool("OldStyleProgress", OldStyleProgress);
    const TfrxPreviewOptions &p = PreviewOptions;
    w.Bool("PreviewOptions.AllowEdit", p.AllowEdit);
    w.Int("PreviewOptions.Buttons", p.Buttons);
    w.Bool("PreviewOptions.DoubleBuffered", p.DoubleBuffered);
    w.Bool("PreviewOptions.Maximized", p.Maximized);
    w.Bool("PreviewOptions.MDIChild", p.MDIChild);
    w.Bool("PreviewOptions.Modal", p.Modal);
    w.Bool("PreviewOptions.OutlineExpand", p.OutlineExpand);
    w.Bool("PreviewOptions.OutlineVisible", p.OutlineVisible);
    w.Int("PreviewOptions.OutlineWidth", p.OutlineWidth);
    w.Int("PreviewOptions.PagesInCache", p.PagesInCache);
    w.Bool("PreviewOptions.ShowCaptions", p.ShowCaptions);
    w.Bool("PreviewOptions.ThumbnailVisible", p.ThumbnailVisible);
    w.Float("PreviewOptions.Zoom", p.Zoom);
    w.Enum("PreviewOptions.ZoomMode", p.ZoomMode);
    const TfrxPrintOptions &o = PrintOptions;
    w.Int("PrintOptions.Copies", o.Copies);
    w.Bool("PrintOptions.Collate", o.Collate);
    w.Str("PrintOptions.PageNumbers", o.PageNumbers);
    w.Str("PrintOptions.Printer", o.Printer);
    w.Int("PrintOptions.PrintOnSheet", o.PrintOnSheet);
    w.Enum("PrintOptions.PrintPages", o.PrintPages);
    w.Bool("PrintOptions.Reverse", o.Reverse);
    w.Bool("PrintOptions.ShowDialog", o.ShowDialog);
    const TfrxReportOptions &r = ReportOptions;
    w.Str("ReportOptions.Author", r.Author);
    w.Bool("ReportOptions.Compressed", r.Compressed);
    w.Str("ReportOptions.ConnectionName", r.ConnectionName);
    w.Float("ReportOptions.CreateDate", r.CreateDate);
    w.Str("ReportOptions.Description.Text", r.Description.join(QLatin1String("\r\n")));
    w.Float("ReportOptions.LastChange", r.LastChange);
    w.Str("ReportOptions.Name", r.Name);
    w.Str("ReportOptions.Password", r.Password);
    w.Str("ReportOptions.VersionBuild", r.VersionBuild);
    w.Str("ReportOptions.VersionMajor", r.VersionMajor);
    w.Str("ReportOptions.VersionMinor", r.VersionMinor);
    w.Str("ReportOptions.VersionRelease", r.VersionRelease);
    w.Str("ScriptLanguage", ScriptLanguage);
    w.Str("ScriptText.Text", ScriptText.join(QLatin1String("\r\n")));
    w.Bool("ShowProgress", ShowProgress);
    w.Bool("StoreInDFM", StoreInDFM);
    w.Str("OnStartReport", OnStartReport);
    w.Str("OnStopReport", OnStopReport);
}

bool TfrxReport::ReadProperty(const QString &name, const QString &value) {
    if (TfrxComponent::ReadProperty(name, value)) return true;
    auto b = [&](bool &t) { t = frxStrToBool(value); return true; };
    auto i = [&](int &t) { t = static_cast<int>(frxStrToInt(value)); return true; };
    auto s = [&](QString &t) { t = value; return true; };
    if (Is(name, "version")) return s(Version);
    if (Is(name, "datasetname") || Is(name, "dataset")) { SetDataSetName(value); return true; }
    if (Is(name, "dotmatrixreport")) return b(DotMatrixReport);
    if (name.startsWith(QLatin1String("engineoptions."))) {
        const QString n = name.mid(14);
        TfrxEngineOptions &e = EngineOptions;
        if (Is(n, "convertnulls")) return b(e.ConvertNulls);
        if (Is(n, "doublepass")) return b(e.DoublePass);
        if (Is(n, "maxmemsize")) return i(e.MaxMemSize);
        if (Is(n, "printifempty")) return b(e.PrintIfEmpty);
        if (Is(n, "silentmode")) return b(e.SilentMode);
        if (Is(n, "newsilentmode")) return ReadEnum(e.NewSilentMode, value, {"simMessageBoxes", "simSilent", "simReThrow"});
        if (Is(n, "tempdir")) return s(e.TempDir);
        if (Is(n, "usefilecache")) return b(e.UseFileCache);
        if (Is(n, "ignoredevbyzero")) return b(e.IgnoreDevByZero);
        return false;
    }
    if (Is(name, "inifile")) return s(IniFile);
    if (Is(name, "oldstyleprogress")) return b(OldStyleProgress);
    if (name.startsWith(QLatin1String("previewoptions."))) {
        const QString n = name.mid(15);
        TfrxPreviewOptions &p = PreviewOptions;
        if (Is(n, "allowedit")) return b(p.AllowEdit);
        if (Is(n, "buttons")) { p.Buttons = static_cast<quint32>(frxStrToInt(value)); return true; }
        if (Is(n, "doublebuffered")) return b(p.DoubleBuffered);
        if (Is(n, "maximized")) return b(p.Maximized);
        if (Is(n, "mdichild")) return b(p.MDIChild);
        if (Is(n, "modal")) return b(p.Modal);
        if (Is(n, "outlineexpand")) return b(p.OutlineExpand);
        if (Is(n, "outlinevisible")) return b(p.OutlineVisible);
        if (Is(n, "outlinewidth")) return i(p.OutlineWidth);
        if (Is(n, "pagesincache")) return i(p.PagesInCache);
        if (Is(n, "showcaptions")) return b(p.ShowCaptions);
        if (Is(n, "thumbnailvisible")) return b(p.ThumbnailVisible);
        if (Is(n, "zoom")) { p.Zoom = frxStrToFloat(value); return true; }
        if (Is(n, "zoommode")) return ReadEnum(p.ZoomMode, value, {"zmDefault", "zmWholePage", "zmPageWidth", "zmManyPages"});
        return false;
    }
    if (name.startsWith(QLatin1String("printoptions."))) {
        const QString n = name.mid(13);
        TfrxPrintOptions &o = PrintOptions;
        if (Is(n, "copies")) return i(o.Copies);
        if (Is(n, "collate")) return b(o.Collate);
        if (Is(n, "pagenumbers")) return s(o.PageNumbers);
        if (Is(n, "printer")) return s(o.Printer);
        if (Is(n, "printonsheet")) return i(o.PrintOnSheet);
        if (Is(n, "printpages")) return ReadEnum(o.PrintPages, value, {"ppAll", "ppOdd", "ppEven"});
        if (Is(n, "reverse")) return b(o.Reverse);
        if (Is(n, "showdialog")) return b(o.ShowDialog);
        return false;
    }
    if (name.startsWith(QLatin1String("reportoptions."))) {
        const QString n = name.mid(14);
        TfrxReportOptions &r = ReportOptions;
        if (Is(n, "author")) return s(r.Author);
        if (Is(n, "compressed")) return b(r.Compressed);
        if (Is(n, "connectionname")) return s(r.ConnectionName);
        if (Is(n, "createdate")) { r.CreateDate = frxStrToFloat(value); return true; }
        if (Is(n, "description.text")) { r.Description = SplitLines(value); return true; }
        if (Is(n, "lastchange")) { r.LastChange = frxStrToFloat(value); return true; }
        if (Is(n, "name")) return s(r.Name);
        if (Is(n, "password")) return s(r.Password);
        if (Is(n, "versionbuild")) return s(r.VersionBuild);
        if (Is(n, "versionmajor")) return s(r.VersionMajor);
        if (Is(n, "versionminor")) return s(r.VersionMinor);
        if (Is(n, "versionrelease")) return s(r.VersionRelease);
        return false;
    }
    if (Is(name, "scriptlanguage")) return s(ScriptLanguage);
    if (Is(name, "scripttext.text")) { ScriptText = SplitLines(value); return true; }
    if (Is(name, "showprogress")) return b(ShowProgress);
    if (Is(name, "storeindfm")) return b(StoreInDFM);
    if (Is(name, "onstartreport")) return s(OnStartReport);
    if (Is(name, "onstopreport")) return s(OnStopReport);
    return false;
}

void TfrxReport::WriteNode(TfrxXMLItem &Item, bool SaveChildren) const {
    Item.Name = ClassName();
    Item.Text = PropertiesText();
    TfrxXMLItem *ds = Item.Add(QStringLiteral("Datasets"));
    for (int k = 0; k < DataSets.Count(); ++k) {
        const TfrxDataSetItem &it = DataSets.Items(k);
        TfrxXMLItem *n = ds->Add(QStringLiteral("item"));
        if (it.DataSet) n->SetProp(QStringLiteral("DataSet"), it.DataSet->Name());
        n->SetProp(QStringLiteral("DataSetName"), it.DataSetName());
    }
    TfrxXMLItem *vars = Item.Add(QStringLiteral("Variables"));
    for (int k = 0; k < Variables.Count(); ++k) {
        const TfrxVariable &v = Variables.Items(k);
        TfrxXMLItem *n = vars->Add(QStringLiteral("item"));
        n->SetProp(QStringLiteral("Name"), v.Name);
        if (!v.Value.isNull()) {
            n->SetProp(QStringLiteral("Value"), frxVariantToStored(v.Value));
            const QString code = frxVariantTypeCode(v.Value);
            if (!code.isEmpty()) n->SetProp(QStringLiteral("Type"), code);
        }
    }
    if (!SaveChildren) return;
    for (TfrxComponent *c : Objects()) c->WriteNode(*Item.Add(), true);
}

void TfrxReport::ReadNode(const TfrxXMLItem &Item) {
    ApplyPropertiesText(Item.Text);
    for (int i = 0; i < Item.Count(); ++i) {
        const TfrxXMLItem &ci = *Item.Items(i);
        if (ci.Name.compare(QLatin1String("Datasets"), Qt::CaseInsensitive) == 0) {
            DataSets.Clear();
            for (int k = 0; k < ci.Count(); ++k) {
                const TfrxXMLItem &n = *ci.Items(k);
                const QString user = n.Prop(QStringLiteral("DataSetName"));
                const QString comp = n.Prop(QStringLiteral("DataSet"));
                TfrxDataSet *found = nullptr;
                for (TfrxDataSet *d : TfrxDataSet::AllDataSets())
                    if (!comp.isEmpty() && d->Name().compare(comp, Qt::CaseInsensitive) == 0) found = d;
                if (!found) found = TfrxDataSet::FindGlobal(user);
                DataSets.AddName(user, found);
            }
        } else if (ci.Name.compare(QLatin1String("Variables"), Qt::CaseInsensitive) == 0) {
            Variables.Clear();
            for (int k = 0; k < ci.Count(); ++k) {
                const TfrxXMLItem &n = *ci.Items(k);
                QVariant v;
                if (n.PropExists(QStringLiteral("Value")))
                    v = frxStoredToVariant(n.Prop(QStringLiteral("Value")), n.Prop(QStringLiteral("Type")));
                Variables.Add(n.Prop(QStringLiteral("Name")), v);
            }
        } else if (TfrxComponent *c = frxCreateComponent(ci.Name, this)) {
            c->ReadNode(ci);
        }
    }
    ResolveReferences(this);
}

// ---- class factory ---------------------------------------------------------------------

TfrxComponent *frxCreateComponent(const QString &className, TfrxComponent *AParent) {
    using Maker = TfrxComponent *(*)(TfrxComponent *);
    static const std::pair<const char *, Maker> classes[] = {
#define FRX_CLASS(c) {#c, [](TfrxComponent *p) -> TfrxComponent * { return new c(p); }}
        FRX_CLASS(TfrxMemoView), FRX_CLASS(TfrxSysMemoView), FRX_CLASS(TfrxLineView),
        FRX_CLASS(TfrxShapeView), FRX_CLASS(TfrxPictureView), FRX_CLASS(TfrxSubreport),
        FRX_CLASS(TfrxReportTitle), FRX_CLASS(TfrxReportSummary), FRX_CLASS(TfrxPageHeader),
        FRX_CLASS(TfrxPageFooter), FRX_CLASS(TfrxHeader), FRX_CLASS(TfrxFooter),
        FRX_CLASS(TfrxMasterData), FRX_CLASS(TfrxDetailData), FRX_CLASS(TfrxSubdetailData),
        FRX_CLASS(TfrxDataBand4), FRX_CLASS(TfrxDataBand5), FRX_CLASS(TfrxDataBand6),
        FRX_CLASS(TfrxGroupHeader), FRX_CLASS(TfrxGroupFooter), FRX_CLASS(TfrxChild),
        FRX_CLASS(TfrxColumnHeader), FRX_CLASS(TfrxColumnFooter), FRX_CLASS(TfrxOverlay),
        FRX_CLASS(TfrxNullBand), FRX_CLASS(TfrxReportPage), FRX_CLASS(TfrxDataPage),
        FRX_CLASS(TfrxDialogPage), FRX_CLASS(TfrxReport), FRX_CLASS(TfrxUserDataSet),
        FRX_CLASS(TfrxDBDataset),
#undef FRX_CLASS
    };
    for (const auto &[name, make] : classes)
        if (className.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return make(AParent);
    return nullptr;
}
