#include "engine/xml_tree.h"

#include "platform/erro/Erro.h"

#include <QIODevice>

namespace {

bool needsEscape(char16_t c) {
    return c == u'"' || c == u'&' || c == u'<' || c == u'>' || c == u'\r' || c == u'\n';
}

}  // namespace

void frxAppendXML(QString &out, QStringView s) {
    qsizetype plain = 0;  // start of the run not yet appended
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (!needsEscape(c)) continue;
        out += s.mid(plain, i - plain);
        plain = i + 1;
        switch (c) {
        // Every ampersand is escaped, also in short values and before "quot;": writing it raw
        // would turn a literal "&amp;" or "&#65;" in a memo into another text when read back.
        case u'"': out += QLatin1String("&#34;"); break;
        case u'&': out += QLatin1String("&#38;"); break;
        case u'<': out += QLatin1String("&#60;"); break;
        case u'>': out += QLatin1String("&#62;"); break;
        case u'\r': out += QLatin1String("&#13;"); break;
        default: out += QLatin1String("&#10;"); break;
        }
    }
    out += s.mid(plain);
}

QString frxStrToXML(QStringView s) {
    QString out;
    out.reserve(s.size() + 8);
    frxAppendXML(out, s);
    return out;
}

QString frxXMLToStr(QStringView s) {
    if (!s.contains(u'&')) return s.toString();
    QString out;
    out.reserve(s.size());
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        QChar c = s[i];
        if (c != u'&') {
            out += c;
            continue;
        }
        if (i + 1 < n && s[i + 1] == u'#') {
            qsizetype j = i + 2;
            uint code = 0;
            while (j < n && s[j].isDigit() && j - i < 10) code = code * 10 + (s[j++].unicode() - '0');
            if (j > i + 2 && j < n && s[j] == u';') {
                if (code > 0xFFFF) {
                    char32_t cp = code;
                    out += QString::fromUcs4(&cp, 1);
                } else {
                    out += QChar(static_cast<char16_t>(code));
                }
                i = j;
                continue;
            }
        }
        static const struct { const char16_t *name; int len; char16_t ch; } named[] = {
            {u"quot;", 5, u'"'}, {u"amp;", 4, u'&'}, {u"lt;", 3, u'<'}, {u"gt;", 3, u'>'}};
        bool done = false;
        for (const auto &e : named) {
            if (s.mid(i + 1, e.len) == QStringView(e.name, e.len)) {
                out += QChar(e.ch);
                i += e.len;
                done = true;
                break;
            }
        }
        if (!done) out += c;
    }
    return out;
}

std::vector<std::pair<QString, QString>> frxParseAttributes(QStringView t) {
    std::vector<std::pair<QString, QString>> out;
    const qsizetype n = t.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && t[i].isSpace()) ++i;
        qsizetype nameStart = i;
        while (i < n && t[i] != u'=' && !t[i].isSpace()) ++i;
        if (i >= n) break;
        QStringView name = t.mid(nameStart, i - nameStart);
        while (i < n && t[i].isSpace()) ++i;
        if (i >= n || t[i] != u'=') break;
        ++i;
        while (i < n && t[i].isSpace()) ++i;
        if (i >= n || t[i] != u'"') break;
        qsizetype v = ++i;
        while (i < n && t[i] != u'"') ++i;
        out.emplace_back(name.toString(), frxXMLToStr(t.mid(v, i - v)));
        ++i;
    }
    return out;
}

TfrxXMLItem *TfrxXMLItem::Add(const QString &name) {
    auto item = std::make_unique<TfrxXMLItem>(name);
    TfrxXMLItem *p = item.get();
    Append(std::move(item));
    return p;
}

void TfrxXMLItem::Insert(int index, std::unique_ptr<TfrxXMLItem> item) {
    item->FParent = this;
    FItems.insert(FItems.begin() + index, std::move(item));
}

std::unique_ptr<TfrxXMLItem> TfrxXMLItem::Take(int index) {
    std::unique_ptr<TfrxXMLItem> item = std::move(FItems[index]);
    FItems.erase(FItems.begin() + index);
    item->FParent = nullptr;
    return item;
}

void TfrxXMLItem::Clear() { FItems.clear(); }

int TfrxXMLItem::IndexOf(const TfrxXMLItem *item) const {
    for (int i = 0; i < Count(); ++i)
        if (FItems[i].get() == item) return i;
    return -1;
}

int TfrxXMLItem::Find(const QString &name) const {
    for (int i = 0; i < Count(); ++i)
        if (FItems[i]->Name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

TfrxXMLItem *TfrxXMLItem::FindItem(const QString &name) {
    int i = Find(name);
    return i >= 0 ? Items(i) : Add(name);
}

bool TfrxXMLItem::LocateProp(const QString &name, int &nameStart, int &valueStart, int &valueEnd) const {
    // Walks attribute by attribute, so that a value ending in ' x=' is never taken for an
    // attribute of that name.
    const int n = Text.size();
    int i = 0;
    while (i < n) {
        int ws = i;
        while (i < n && Text[i].isSpace()) ++i;
        int ns = i;
        while (i < n && Text[i] != u'=' && !Text[i].isSpace()) ++i;
        int ne = i;
        while (i < n && Text[i].isSpace()) ++i;
        if (i >= n || Text[i] != u'=') return false;
        ++i;
        while (i < n && Text[i].isSpace()) ++i;
        if (i >= n || Text[i] != u'"') return false;
        int vs = ++i;
        while (i < n && Text[i] != u'"') ++i;
        if (QStringView(Text).mid(ns, ne - ns).compare(name, Qt::CaseInsensitive) == 0) {
            nameStart = ws;
            valueStart = vs;
            valueEnd = i;
            return true;
        }
        ++i;
    }
    return false;
}

QString TfrxXMLItem::Prop(const QString &name) const {
    int ns, vs, ve;
    if (!LocateProp(name, ns, vs, ve)) return {};
    return frxXMLToStr(QStringView(Text).mid(vs, ve - vs));
}

bool TfrxXMLItem::PropExists(const QString &name) const {
    int ns, vs, ve;
    return LocateProp(name, ns, vs, ve);
}

void TfrxXMLItem::SetProp(const QString &name, const QString &value) {
    int ns, vs, ve;
    const QString escaped = frxStrToXML(value);
    if (LocateProp(name, ns, vs, ve)) {
        Text.replace(vs, ve - vs, escaped);
    } else {
        Text += u' ' + name + QLatin1String("=\"") + escaped + u'"';
    }
}

void TfrxXMLItem::DeleteProp(const QString &name) {
    int ns, vs, ve;
    if (LocateProp(name, ns, vs, ve)) Text.remove(ns, ve + 1 - ns);
}

std::vector<std::pair<QString, QString>> TfrxXMLItem::Attributes() const {
    return frxParseAttributes(Text);
}

void TfrxXMLDocument::Clear() { FRoot = std::make_unique<TfrxXMLItem>(); }

namespace {

// One string for the whole subtree: pages are packed into text as they are finished, and
// returning a string per node copied every node's text once per level above it.
void appendItemText(QString &out, const TfrxXMLItem &item, bool indent, int level) {
    if (indent) out += QString(level * 2, u' ');
    out += u'<';
    out += item.Name;
    out += item.Text;
    if (item.Unloadable) out += QLatin1String(" ld=\"0\"");
    if (item.Count() == 0 && item.Value.isEmpty()) {
        out += QLatin1String("/>");
        if (indent) out += QLatin1String("\r\n");
        return;
    }
    out += u'>';
    if (!item.Value.isEmpty()) frxAppendXML(out, item.Value);
    if (item.Count() > 0 && indent) out += QLatin1String("\r\n");
    for (int i = 0; i < item.Count(); ++i) appendItemText(out, *item.Items(i), indent, level + 1);
    if (item.Count() > 0 && indent) out += QString(level * 2, u' ');
    out += QLatin1String("</");
    out += item.Name;
    out += u'>';
    if (indent) out += QLatin1String("\r\n");
}

qsizetype textSizeOf(const TfrxXMLItem &item) {
    qsizetype n = 2 * item.Name.size() + item.Text.size() + item.Value.size() + 16;
    for (int i = 0; i < item.Count(); ++i) n += textSizeOf(*item.Items(i));
    return n;
}

}  // namespace

QString TfrxXMLDocument::ItemToText(const TfrxXMLItem &item, bool indent, int level) {
    QString out;
    // A close guess of the size spares the string's regrowing; indentation adds to it.
    out.reserve(textSizeOf(item) + (indent ? 64 : 0));
    appendItemText(out, item, indent, level);
    return out;
}

QByteArray TfrxXMLDocument::SaveToBytes() const {
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>");
    if (AutoIndent) text += QLatin1String("\r\n");
    text += ItemToText(*FRoot, AutoIndent);
    return text.toUtf8();
}

void TfrxXMLDocument::SaveToStream(QIODevice *stream) const {
    const QByteArray bytes = SaveToBytes();
    if (stream->write(bytes) != bytes.size())
        throw Erro(QStringLiteral("Falha ao gravar: ") + stream->errorString());
}

namespace {

class Parser {
public:
    explicit Parser(const QString &t) : s(t) {}

    std::unique_ptr<TfrxXMLItem> Document() {
        SkipBlanks();
        while (Starts(u"<?") || Starts(u"<!--")) {
            if (Starts(u"<?")) SkipPast(u"?>");
            else SkipPast(u"-->");
            SkipBlanks();
        }
        auto root = Element(0);
        SkipBlanks();
        if (i < s.size()) Fail();
        return root;
    }

private:
    std::unique_ptr<TfrxXMLItem> Element(int depth) {
        // Deeply nested input is refused instead of exhausting the stack.
        if (depth > 512 || i >= s.size() || s[i] != u'<') Fail();
        ++i;
        auto item = std::make_unique<TfrxXMLItem>();
        qsizetype ns = i;
        while (i < s.size() && !s[i].isSpace() && s[i] != u'/' && s[i] != u'>') ++i;
        if (i == ns) Fail();
        item->Name = s.mid(ns, i - ns);
        qsizetype as = i;
        bool inQuote = false;
        while (i < s.size() && (inQuote || (s[i] != u'>' && !(s[i] == u'/' && i + 1 < s.size() && s[i + 1] == u'>')))) {
            if (s[i] == u'"') inQuote = !inQuote;
            ++i;
        }
        if (i >= s.size()) Fail();
        item->Text = s.mid(as, i - as);
        while (!item->Text.isEmpty() && item->Text.back().isSpace()) item->Text.chop(1);
        if (item->PropExists(QStringLiteral("ld"))) {
            item->Unloadable = item->Prop(QStringLiteral("ld")) == QLatin1String("0");
            item->DeleteProp(QStringLiteral("ld"));
        }
        if (s[i] == u'/') {
            i += 2;
            return item;
        }
        ++i;
        for (;;) {
            qsizetype vs0 = i;
            while (i < s.size() && s[i] != u'<') ++i;
            if (i >= s.size()) Fail();
            QStringView content = QStringView(s).mid(vs0, i - vs0);
            if (!content.trimmed().isEmpty()) item->Value += frxXMLToStr(content);
            if (Starts(u"</")) {
                i += 2;
                qsizetype es = i;
                while (i < s.size() && s[i] != u'>') ++i;
                if (i >= s.size() || QStringView(s).mid(es, i - es).trimmed() != item->Name) Fail();
                ++i;
                return item;
            }
            if (Starts(u"<!--")) {
                SkipPast(u"-->");
                continue;
            }
            item->Append(Element(depth + 1));
        }
    }

    bool Starts(const char16_t *t) const { return QStringView(s).mid(i).startsWith(QStringView(t)); }
    void SkipPast(const char16_t *t) {
        qsizetype k = s.indexOf(QStringView(t), i);
        if (k < 0) Fail();
        i = k + QStringView(t).size();
    }
    void SkipBlanks() {
        while (i < s.size() && s[i].isSpace()) ++i;
    }
    [[noreturn]] void Fail() const {
        throw Erro(QStringLiteral("Arquivo inválido: estrutura XML incorreta na posição %1").arg(i + 1));
    }

    const QString &s;
    qsizetype i = 0;
};

}  // namespace

void TfrxXMLDocument::LoadFromBytes(const QByteArray &bytes) {
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    Parser p(text);
    FRoot = p.Document();
}

void TfrxXMLDocument::LoadFromStream(QIODevice *stream) { LoadFromBytes(stream->readAll()); }
