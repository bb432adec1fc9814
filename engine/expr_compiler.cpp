#include "engine/expr_compiler.h"

#include "engine/bands.h"
#include "engine/component.h"
#include "engine/expressions.h"
#include "engine/pages.h"
#include "engine/report.h"
#include "engine/resources.h"
#include "engine/views.h"

#include <QDateTime>

#include <cmath>
#include <functional>

Q_DECLARE_METATYPE(TfrxComponent *)

QVariant frxObjectVariant(TfrxComponent *c) { return QVariant::fromValue(c); }

TfrxComponent *frxVariantObject(const QVariant &v) {
    return v.canConvert<TfrxComponent *>() && v.userType() == qMetaTypeId<TfrxComponent *>() ? v.value<TfrxComponent *>()
                                                                                            : nullptr;
}

namespace {

// ---- values ----------------------------------------------------------------------------

[[noreturn]] void Fail(const QString &m) { throw TfrxExprError{m}; }

bool IsString(const QVariant &v) { return v.typeId() == QMetaType::QString; }
bool IsBool(const QVariant &v) { return v.typeId() == QMetaType::Bool; }
bool IsInt(const QVariant &v) {
    const int t = v.typeId();
    return t == QMetaType::Int || t == QMetaType::LongLong || t == QMetaType::UInt || t == QMetaType::ULongLong ||
           t == QMetaType::Short || t == QMetaType::UShort;
}
bool IsFloat(const QVariant &v) { return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float; }
bool IsDateTime(const QVariant &v) {
    const int t = v.typeId();
    return t == QMetaType::QDateTime || t == QMetaType::QDate || t == QMetaType::QTime;
}

QString TypeName(const QVariant &v) {
    if (v.isNull()) return QStringLiteral("Null");
    if (IsString(v)) return QStringLiteral("UnicodeString");
    if (IsBool(v)) return QStringLiteral("Boolean");
    if (IsInt(v)) return v.typeId() == QMetaType::LongLong ? QStringLiteral("Int64") : QStringLiteral("Integer");
    if (IsFloat(v)) return QStringLiteral("Double");
    if (IsDateTime(v)) return QStringLiteral("Date");
    return QStringLiteral("Dispatch");
}

[[noreturn]] void ConvertFail(const QVariant &v, const char *to) {
    Fail(QStringLiteral("Could not convert variant of type (%1) into type (%2)").arg(TypeName(v), QLatin1String(to)));
}

// Days since 30 December 1899, the platform's date-time number.
double DateTimeToDouble(const QVariant &v) {
    static const QDateTime base(QDate(1899, 12, 30), QTime(0, 0));
    QDateTime dt;
    if (v.typeId() == QMetaType::QDate) dt = QDateTime(v.toDate(), QTime(0, 0));
    else if (v.typeId() == QMetaType::QTime) dt = QDateTime(QDate(1899, 12, 30), v.toTime());
    else dt = v.toDateTime();
    return base.msecsTo(dt) / 86400000.0;
}

double ToDouble(const QVariant &v) {
    if (IsFloat(v) || IsInt(v)) return v.toDouble();
    if (IsBool(v)) return v.toBool() ? -1 : 0;
    if (IsDateTime(v)) return DateTimeToDouble(v);
    if (IsString(v)) {
        QString s = v.toString().trimmed();
        s.replace(frxFormatSettings().DecimalSeparator, u'.');
        bool ok = false;
        double d = s.toDouble(&ok);
        if (ok) return d;
        ConvertFail(v, "Double");
    }
    ConvertFail(v, "Double");
}

qint64 ToInt(const QVariant &v) {
    if (IsInt(v)) return v.toLongLong();
    if (IsBool(v)) return v.toBool() ? -1 : 0;
    if (IsFloat(v)) {
        const double d = v.toDouble();
        if (!std::isfinite(d) || std::fabs(d) > 9.2e18) ConvertFail(v, "Int64");
        return static_cast<qint64>(std::nearbyint(d));
    }
    if (IsString(v)) {
        bool ok = false;
        qint64 k = v.toString().trimmed().toLongLong(&ok);
        if (ok) return k;
        ConvertFail(v, "Int64");
    }
    ConvertFail(v, "Int64");
}

bool ToBool(const QVariant &v) {
    if (IsBool(v)) return v.toBool();
    if (IsInt(v) || IsFloat(v)) return v.toDouble() != 0;
    if (IsString(v)) {
        const QString s = v.toString().trimmed();
        if (s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
        if (s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
        bool ok = false;
        double d = s.toDouble(&ok);
        if (ok) return d != 0;
    }
    ConvertFail(v, "Boolean");
}

QString ToText(const QVariant &v) { return frxVariantToText(v); }

QVariant IntResult(qint64 k) {
    if (k >= INT_MIN && k <= INT_MAX) return QVariant(static_cast<int>(k));
    return QVariant(k);
}

enum class Op { Add, Sub, Or, Xor, Mul, Div, IntDiv, Mod, And, Shl, Shr, Eq, Ne, Lt, Le, Gt, Ge, In, Is };

// Exact integer arithmetic with overflow turning into floating point, as variants do.
QVariant Arith(Op op, const QVariant &a, const QVariant &b) {
    if (a.isNull() || b.isNull()) return {};
    if (op == Op::Add && IsString(a) && IsString(b)) return a.toString() + b.toString();
    const bool ints = (IsInt(a) || IsBool(a)) && (IsInt(b) || IsBool(b)) && !(IsBool(a) && IsBool(b));
    switch (op) {
    case Op::Add: case Op::Sub: case Op::Mul: {
        const bool bothInt = (IsInt(a) || (IsString(a) && IsInt(b))) && (IsInt(b) || (IsString(b) && IsInt(a)));
        if (ints || bothInt) {
            bool okA = true, okB = true;
            qint64 x = 0, y = 0;
            try { x = ToInt(a); } catch (const TfrxExprError &) { okA = false; }
            try { y = ToInt(b); } catch (const TfrxExprError &) { okB = false; }
            if (okA && okB) {
                qint64 r;
                bool overflow = op == Op::Add ? __builtin_add_overflow(x, y, &r)
                              : op == Op::Sub ? __builtin_sub_overflow(x, y, &r)
                                              : __builtin_mul_overflow(x, y, &r);
                if (!overflow) return IntResult(r);
            }
        }
        const double x = ToDouble(a), y = ToDouble(b);
        return op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;
    }
    case Op::Div: {
        const double x = ToDouble(a), y = ToDouble(b);
        if (y == 0) Fail(QLatin1String(frxFloatDivisionByZero));
        return x / y;
    }
    case Op::IntDiv: case Op::Mod: {
        const qint64 x = ToInt(a), y = ToInt(b);
        if (y == 0) Fail(QLatin1String(frxDivisionByZero));
        if (x == LLONG_MIN && y == -1) return op == Op::IntDiv ? QVariant(-static_cast<double>(x)) : QVariant(0);
        return IntResult(op == Op::IntDiv ? x / y : x % y);
    }
    case Op::And: case Op::Or: case Op::Xor:
        if (IsBool(a) || IsBool(b)) {
            const bool x = ToBool(a), y = ToBool(b);
            return op == Op::And ? (x && y) : op == Op::Or ? (x || y) : (x != y);
        } else {
            const qint64 x = ToInt(a), y = ToInt(b);
            return IntResult(op == Op::And ? (x & y) : op == Op::Or ? (x | y) : (x ^ y));
        }
    case Op::Shl: case Op::Shr: {
        const qint64 x = ToInt(a), y = ToInt(b);
        const int s = static_cast<int>(y & 63);
        return IntResult(op == Op::Shl ? static_cast<qint64>(static_cast<quint64>(x) << s)
                                       : static_cast<qint64>(static_cast<quint64>(x) >> s));
    }
    default: return {};
    }
}

int Compare(const QVariant &a, const QVariant &b) {
    if (IsString(a) && IsString(b)) {
        const int c = QString::compare(a.toString(), b.toString(), Qt::CaseSensitive);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    if (IsBool(a) && IsBool(b)) return static_cast<int>(a.toBool()) - static_cast<int>(b.toBool());
    if (TfrxComponent *x = frxVariantObject(a)) {
        TfrxComponent *y = frxVariantObject(b);
        return x == y ? 0 : 1;
    }
    const double x = ToDouble(a), y = ToDouble(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

QVariant Relation(Op op, const QVariant &a, const QVariant &b) {
    if (a.isNull() || b.isNull()) {
        const bool same = a.isNull() && b.isNull();
        if (op == Op::Eq) return same;
        if (op == Op::Ne) return !same;
        return false;
    }
    const int c = Compare(a, b);
    switch (op) {
    case Op::Eq: return c == 0;
    case Op::Ne: return c != 0;
    case Op::Lt: return c < 0;
    case Op::Le: return c <= 0;
    case Op::Gt: return c > 0;
    case Op::Ge: return c >= 0;
    default: return {};
    }
}

bool ClassIs(const TfrxComponent *c, const QString &cls) {
    if (!c) return false;
    const QString n = cls.toLower();
    auto is = [&](const char *name) { return n == QLatin1String(name); };
    if (is("tfrxcomponent")) return true;
    if (is("tfrxreportcomponent")) return dynamic_cast<const TfrxReportComponent *>(c);
    if (is("tfrxview")) return dynamic_cast<const TfrxView *>(c);
    if (is("tfrxstretcheable")) return dynamic_cast<const TfrxStretcheable *>(c);
    if (is("tfrxcustommemoview")) return dynamic_cast<const TfrxCustomMemoView *>(c);
    if (is("tfrxcustomlineview")) return dynamic_cast<const TfrxCustomLineView *>(c);
    if (is("tfrxband")) return dynamic_cast<const TfrxBand *>(c);
    if (is("tfrxdataband")) return dynamic_cast<const TfrxDataBand *>(c);
    if (is("tfrxpage")) return dynamic_cast<const TfrxPage *>(c);
    return c->ClassName().compare(cls, Qt::CaseInsensitive) == 0;
}

// ---- tree ------------------------------------------------------------------------------

struct Node;
using NodeP = std::unique_ptr<Node>;

struct Node {
    enum Kind { Const, Ident, Member, Index, Call, Unary, Binary, Set, Range, ReportValue, ClassRef } kind;
    QVariant value;
    QString name;
    Op op = Op::Add;
    bool negate = false;  // Unary: '-' (true) or 'not' (false)
    std::vector<NodeP> kids;
};

// ---- functions -------------------------------------------------------------------------

struct Function {
    const char *name;
    int minArgs, maxArgs;
};
const Function kFunctions[] = {
    {"Get", 1, 1}, {"Set", 2, 2}, {"IIF", 3, 3}, {"SUM", 1, 3}, {"AVG", 1, 3}, {"MIN", 1, 3}, {"MAX", 1, 3},
    {"COUNT", 0, 2}, {"IntToStr", 1, 1}, {"FloatToStr", 1, 1}, {"StrToInt", 1, 1}, {"StrToFloat", 1, 1},
    {"Copy", 3, 3}, {"Length", 1, 1}, {"Pos", 2, 2}, {"UpperCase", 1, 1}, {"LowerCase", 1, 1},
    {"Trim", 1, 1}, {"FormatFloat", 2, 2}, {"FormatDateTime", 2, 2}, {"Date", 0, 0}, {"Time", 0, 0},
    {"Now", 0, 0}, {"Round", 1, 1}, {"Trunc", 1, 1}, {"Abs", 1, 1}, {"Chr", 1, 1}, {"Ord", 1, 1},
    {"VarToStr", 1, 1}, {"DateToStr", 1, 1}, {"TimeToStr", 1, 1}, {"Frac", 1, 1}, {"Int", 1, 1}};

const Function *FindFunction(const QString &name) {
    for (const Function &f : kFunctions)
        if (name.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0) return &f;
    return nullptr;
}

// ---- lexer -----------------------------------------------------------------------------

struct Token {
    enum Kind { End, Ident, Int, Float, Str, Angle, Sym } kind = End;
    QString text;  // identifier (as written), symbol, string value, angle text
    qint64 i = 0;
    double f = 0;
    qsizetype pos = 0;
};

class Lexer {
public:
    explicit Lexer(const QString &s) : s(s) {}

    Token Next(bool angleAllowed) {
        SkipBlanksAndComments();
        Token t;
        t.pos = i;
        if (i >= s.size()) return t;
        const QChar c = s[i];
        if (c.isLetter() || c == u'_') {
            const qsizetype b = i;
            while (i < s.size() && (s[i].isLetterOrNumber() || s[i] == u'_')) ++i;
            t.kind = Token::Ident;
            t.text = s.mid(b, i - b);
            return t;
        }
        if (c.isDigit()) return Number(t);
        if (c == u'$') {
            const qsizetype b = ++i;
            while (i < s.size() && IsHex(s[i])) ++i;
            if (i == b) Fail(QStringLiteral("Expression expected"));
            bool ok = false;
            t.i = static_cast<qint64>(s.mid(b, i - b).toULongLong(&ok, 16));
            if (!ok) Fail(QStringLiteral("Integer constant too large"));
            t.kind = Token::Int;
            return t;
        }
        if (c == u'\'' || c == u'#') return String(t);
        if (c == u'<' && angleAllowed) {
            const qsizetype e = s.indexOf(u'>', i + 1);
            if (e < 0) Fail(QStringLiteral("'>' expected"));
            t.kind = Token::Angle;
            t.text = s.mid(i + 1, e - i - 1);
            i = e + 1;
            return t;
        }
        static const char *const two[] = {":=", "<=", ">=", "<>", ".."};
        for (const char *op : two)
            if (QStringView(s).mid(i).startsWith(QLatin1String(op))) {
                t.kind = Token::Sym;
                t.text = QLatin1String(op);
                i += 2;
                return t;
            }
        static const QString single = QStringLiteral("+-*/=<>()[],.;:@^");
        if (single.contains(c)) {
            t.kind = Token::Sym;
            t.text = c;
            ++i;
            return t;
        }
        Fail(QStringLiteral("Expression expected"));
    }

    qsizetype i = 0;

private:
    static bool IsHex(QChar c) {
        return c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f');
    }

    void SkipBlanksAndComments() {
        for (;;) {
            while (i < s.size() && s[i].isSpace()) ++i;
            if (QStringView(s).mid(i).startsWith(u"//")) {
                while (i < s.size() && s[i] != u'\n' && s[i] != u'\r') ++i;
            } else if (i < s.size() && s[i] == u'{') {
                const qsizetype e = s.indexOf(u'}', i + 1);
                i = e < 0 ? s.size() : e + 1;
            } else if (QStringView(s).mid(i).startsWith(u"(*")) {
                const qsizetype e = s.indexOf(QLatin1String("*)"), i + 2);
                i = e < 0 ? s.size() : e + 2;
            } else {
                return;
            }
        }
    }

    Token Number(Token &t) {
        const qsizetype b = i;
        while (i < s.size() && s[i].isDigit()) ++i;
        bool isFloat = false;
        if (i + 1 < s.size() && s[i] == u'.' && s[i + 1].isDigit()) {
            isFloat = true;
            ++i;
            while (i < s.size() && s[i].isDigit()) ++i;
        }
        if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
            qsizetype k = i + 1;
            if (k < s.size() && (s[k] == u'+' || s[k] == u'-')) ++k;
            if (k < s.size() && s[k].isDigit()) {
                isFloat = true;
                i = k;
                while (i < s.size() && s[i].isDigit()) ++i;
            }
        }
        const QString text = s.mid(b, i - b);
        if (!isFloat) {
            bool ok = false;
            t.i = text.toLongLong(&ok);
            if (ok) {
                t.kind = Token::Int;
                return t;
            }
        }
        t.kind = Token::Float;
        t.f = text.toDouble();
        return t;
    }

    // 'text' with '' for a quote, and #nn character codes, in any sequence.
    Token String(Token &t) {
        t.kind = Token::Str;
        for (;;) {
            if (i < s.size() && s[i] == u'\'') {
                ++i;
                for (;;) {
                    if (i >= s.size()) Fail(QStringLiteral("Unterminated string"));
                    if (s[i] == u'\'') {
                        if (i + 1 < s.size() && s[i + 1] == u'\'') {
                            t.text += u'\'';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    t.text += s[i++];
                }
            } else if (i < s.size() && s[i] == u'#') {
                const qsizetype b = ++i;
                uint code = 0;
                if (i < s.size() && s[i] == u'$') {
                    ++i;
                    const qsizetype h = i;
                    while (i < s.size() && IsHex(s[i]) && i - h < 6) ++i;
                    code = s.mid(h, i - h).toUInt(nullptr, 16);
                    if (i == h) Fail(QStringLiteral("Expression expected"));
                } else {
                    while (i < s.size() && s[i].isDigit() && i - b < 7) code = code * 10 + (s[i++].unicode() - '0');
                }
                if (i == b) Fail(QStringLiteral("Expression expected"));
                t.text += QChar(static_cast<char16_t>(code & 0xFFFF));
            } else {
                return t;
            }
        }
    }

    const QString &s;
};

// ---- parser ----------------------------------------------------------------------------

bool IsKeyword(const Token &t, const char *kw) {
    return t.kind == Token::Ident && t.text.compare(QLatin1String(kw), Qt::CaseInsensitive) == 0;
}
bool IsSym(const Token &t, const char *sym) { return t.kind == Token::Sym && t.text == QLatin1String(sym); }

class Parser {
public:
    Parser(const QString &s, const TfrxExprScope &scope) : lex(s), scope(scope) { Advance(); }

    NodeP Program() {
        ExpectKeyword("function");
        ExpectIdent();
        ExpectSym(":", "':' expected");
        ExpectIdent();
        ExpectSym(";", "';' expected");
        ExpectKeyword("begin");
        if (!IsKeyword(tok, "Result")) Fail(QStringLiteral("Identifier expected"));
        Advance();
        ExpectSym(":=", "':=' expected");
        NodeP e = Expression();
        if (IsSym(tok, ";")) Advance();
        if (!IsKeyword(tok, "end")) Fail(QStringLiteral("';' expected"));
        Advance();
        ExpectSym(";", "';' expected");
        ExpectKeyword("begin");
        ExpectKeyword("end");
        ExpectSym(".", "'.' expected");
        if (tok.kind != Token::End) Fail(QStringLiteral("Unexpected text after the end of the program"));
        return e;
    }

    NodeP Bare() {
        NodeP e = Expression();
        if (tok.kind != Token::End) Fail(QStringLiteral("';' expected"));
        return e;
    }

private:
    void Advance() { tok = lex.Next(angleAllowed); }

    void ExpectKeyword(const char *kw) {
        if (!IsKeyword(tok, kw)) Fail(QStringLiteral("'%1' expected").arg(QLatin1String(kw)));
        Advance();
    }
    void ExpectIdent() {
        if (tok.kind != Token::Ident) Fail(QStringLiteral("Identifier expected"));
        Advance();
    }
    void ExpectSym(const char *sym, const char *message) {
        if (!IsSym(tok, sym)) Fail(QLatin1String(message));
        Advance();
    }

    static bool RelOp(const Token &t, Op &op) {
        if (IsSym(t, ">=")) op = Op::Ge;
        else if (IsSym(t, "<>")) op = Op::Ne;
        else if (IsSym(t, "<=")) op = Op::Le;
        else if (IsSym(t, ">")) op = Op::Gt;
        else if (IsSym(t, "<")) op = Op::Lt;
        else if (IsSym(t, "=")) op = Op::Eq;
        else if (IsKeyword(t, "in")) op = Op::In;
        else if (IsKeyword(t, "is")) op = Op::Is;
        else return false;
        return true;
    }

    NodeP Binary(Op op, NodeP a, NodeP b) {
        auto n = std::make_unique<Node>();
        n->kind = Node::Binary;
        n->op = op;
        n->kids.push_back(std::move(a));
        n->kids.push_back(std::move(b));
        return n;
    }

    // Deep nesting in hostile input is a compile error, not a stack overflow.
    struct Depth {
        int &d;
        explicit Depth(int &d) : d(d) {
            if (++d > 200) Fail(QStringLiteral("Expression too complex"));
        }
        ~Depth() { --d; }
    };

    NodeP Expression() {
        Depth guard(depth);
        NodeP left = Simple();
        Op op;
        // Relations come after a complete operand, where '<' is an operator, never a report value.
        while (RelOp(tok, op)) {
            Advance();
            if (op == Op::Is) {
                if (tok.kind != Token::Ident) Fail(QStringLiteral("Identifier expected"));
                auto c = std::make_unique<Node>();
                c->kind = Node::ClassRef;
                c->name = tok.text;
                Advance();
                left = Binary(op, std::move(left), std::move(c));
            } else {
                left = Binary(op, std::move(left), Simple());
            }
        }
        return left;
    }

    NodeP Simple() {
        bool neg = false;
        if (IsSym(tok, "-")) {
            neg = true;
            Advance();
        } else if (IsSym(tok, "+")) {
            Advance();
        }
        NodeP left = Term();
        if (neg) {
            auto n = std::make_unique<Node>();
            n->kind = Node::Unary;
            n->negate = true;
            n->kids.push_back(std::move(left));
            left = std::move(n);
        }
        for (;;) {
            Op op;
            if (IsSym(tok, "+")) op = Op::Add;
            else if (IsSym(tok, "-")) op = Op::Sub;
            else if (IsKeyword(tok, "or")) op = Op::Or;
            else if (IsKeyword(tok, "xor")) op = Op::Xor;
            else return left;
            Advance();
            left = Binary(op, std::move(left), Term());
        }
    }

    NodeP Term() {
        NodeP left = Factor();
        for (;;) {
            Op op;
            if (IsSym(tok, "*")) op = Op::Mul;
            else if (IsSym(tok, "/")) op = Op::Div;
            else if (IsKeyword(tok, "div")) op = Op::IntDiv;
            else if (IsKeyword(tok, "mod")) op = Op::Mod;
            else if (IsKeyword(tok, "and")) op = Op::And;
            else if (IsKeyword(tok, "shl")) op = Op::Shl;
            else if (IsKeyword(tok, "shr")) op = Op::Shr;
            else return left;
            Advance();
            left = Binary(op, std::move(left), Factor());
        }
    }

    // After an operand the next token may be an operator: '<' then is "less than".
    void AdvanceAfterOperand() {
        angleAllowed = false;
        Advance();
        angleAllowed = true;
    }

    NodeP Factor() {
        Depth guard(depth);
        auto n = std::make_unique<Node>();
        switch (tok.kind) {
        case Token::Int:
            n->kind = Node::Const;
            n->value = IntResult(tok.i);
            AdvanceAfterOperand();
            return n;
        case Token::Float:
            n->kind = Node::Const;
            n->value = tok.f;
            AdvanceAfterOperand();
            return n;
        case Token::Str:
            n->kind = Node::Const;
            n->value = tok.text;
            AdvanceAfterOperand();
            return n;
        case Token::Angle:
            n->kind = Node::ReportValue;
            n->name = tok.text;
            AdvanceAfterOperand();
            return n;
        case Token::Ident:
            if (IsKeyword(tok, "not")) {
                Advance();
                n->kind = Node::Unary;
                n->negate = false;
                n->kids.push_back(Factor());
                return n;
            }
            if (IsReserved(tok)) Fail(QStringLiteral("Expression expected"));
            return Designator();
        case Token::Sym:
            if (IsSym(tok, "@")) {
                Advance();
                if (tok.kind != Token::Ident) Fail(QStringLiteral("Identifier expected"));
                return Designator();
            }
            if (IsSym(tok, "(")) {
                Advance();
                NodeP e = Expression();
                if (!IsSym(tok, ")")) Fail(QStringLiteral("')' expected"));
                AdvanceAfterOperand();
                return e;
            }
            if (IsSym(tok, "[")) {
                Advance();
                n->kind = Node::Set;
                if (!IsSym(tok, "]")) {
                    for (;;) {
                        NodeP a = Expression();
                        if (IsSym(tok, "..")) {
                            Advance();
                            auto r = std::make_unique<Node>();
                            r->kind = Node::Range;
                            r->kids.push_back(std::move(a));
                            r->kids.push_back(Expression());
                            a = std::move(r);
                        }
                        n->kids.push_back(std::move(a));
                        if (!IsSym(tok, ",")) break;
                        Advance();
                    }
                }
                if (!IsSym(tok, "]")) Fail(QStringLiteral("']' expected"));
                AdvanceAfterOperand();
                return n;
            }
            Fail(QStringLiteral("Expression expected"));
        case Token::End:
            Fail(QStringLiteral("Expression expected"));
        }
        Fail(QStringLiteral("Expression expected"));
    }

    static bool IsReserved(const Token &t) {
        static const char *const words[] = {"and", "or", "xor", "div", "mod", "shl", "shr", "in", "is",
                                            "begin", "end", "then", "else", "do", "of", "to", "function"};
        for (const char *w : words)
            if (IsKeyword(t, w)) return true;
        return false;
    }

    NodeP Designator() {
        const QString name = tok.text;
        auto n = std::make_unique<Node>();
        if (IsKeyword(tok, "True") || IsKeyword(tok, "False")) {
            n->kind = Node::Const;
            n->value = IsKeyword(tok, "True");
            AdvanceAfterOperand();
            return n;
        }
        if (IsKeyword(tok, "Null") || IsKeyword(tok, "nil")) {
            n->kind = Node::Const;
            AdvanceAfterOperand();
            return n;
        }
        const Function *fn = FindFunction(name);
        if (!fn && !scope.IsIdentifier(name))
            Fail(frxGet(QStringLiteral("SIdUndeclared")) + QLatin1String(" '") + name + u'\'');
        AdvanceAfterOperand();
        if (fn) {
            n->kind = Node::Call;
            n->name = QLatin1String(fn->name);
            if (IsSym(tok, "(")) {
                Advance();
                if (!IsSym(tok, ")")) {
                    for (;;) {
                        n->kids.push_back(Expression());
                        if (!IsSym(tok, ",")) break;
                        Advance();
                    }
                }
                if (!IsSym(tok, ")")) Fail(QStringLiteral("')' expected"));
                AdvanceAfterOperand();
            }
            const int k = static_cast<int>(n->kids.size());
            if (k < fn->minArgs) Fail(QStringLiteral("Not enough actual parameters"));
            if (k > fn->maxArgs) Fail(QStringLiteral("Too many actual parameters"));
            return n;
        }
        n->kind = Node::Ident;
        n->name = name;
        for (;;) {
            if (IsSym(tok, ".")) {
                Advance();
                if (tok.kind != Token::Ident || IsReserved(tok)) Fail(QStringLiteral("Identifier expected"));
                auto m = std::make_unique<Node>();
                m->kind = Node::Member;
                m->name = tok.text;
                m->kids.push_back(std::move(n));
                n = std::move(m);
                AdvanceAfterOperand();
            } else if (IsSym(tok, "[")) {
                Advance();
                auto m = std::make_unique<Node>();
                m->kind = Node::Index;
                m->kids.push_back(std::move(n));
                for (;;) {
                    m->kids.push_back(Expression());
                    if (!IsSym(tok, ",")) break;
                    Advance();
                }
                if (!IsSym(tok, "]")) Fail(QStringLiteral("']' expected"));
                n = std::move(m);
                AdvanceAfterOperand();
            } else if (IsSym(tok, "(")) {
                // Methods of report objects are not part of the expressions this engine runs.
                Fail(QStringLiteral("';' expected"));
            } else {
                return n;
            }
        }
    }

    Lexer lex;
    const TfrxExprScope &scope;
    Token tok;
    bool angleAllowed = true;
    int depth = 0;
};

// ---- evaluation ------------------------------------------------------------------------

QVariant Eval(const Node &n, TfrxExprScope &scope);

QVariant MemberOf(const QVariant &base, const QString &name) {
    TfrxComponent *c = frxVariantObject(base);
    if (!c) Fail(QStringLiteral("Could not convert variant of type (%1) into type (Dispatch)").arg(TypeName(base)));
    const QString n = name.toLower();
    if (n == QLatin1String("name")) return c->Name();
    if (n == QLatin1String("left")) return c->Left();
    if (n == QLatin1String("top")) return c->Top();
    if (n == QLatin1String("width")) return c->Width();
    if (n == QLatin1String("height")) return c->Height();
    if (n == QLatin1String("visible")) return c->Visible();
    if (n == QLatin1String("absleft")) return c->AbsLeft();
    if (n == QLatin1String("abstop")) return c->AbsTop();
    if (auto *m = dynamic_cast<TfrxCustomMemoView *>(c)) {
        if (n == QLatin1String("text")) return m->Text();
        if (n == QLatin1String("value")) return m->Value;
        if (n == QLatin1String("memo")) return m->Text();
    }
    if (auto *b = dynamic_cast<TfrxBand *>(c)) {
        if (n == QLatin1String("linen") || n == QLatin1String("line")) return b->LineN;
    }
    Fail(frxGet(QStringLiteral("SIdUndeclared")) + QLatin1String(" '") + name + u'\'');
}

QVariant CallFunction(const Node &n, TfrxExprScope &scope) {
    const QString f = n.name;
    auto arg = [&](int i) { return Eval(*n.kids[i], scope); };
    auto is = [&](const char *name) { return f == QLatin1String(name); };
    if (is("IIF")) return ToBool(arg(0)) ? arg(1) : arg(2);
    if (is("Get")) return scope.ReportValue(ToText(arg(0)));
    if (is("Set")) {
        scope.SetReportValue(ToText(arg(0)), arg(1));
        return {};
    }
    std::vector<QVariant> args;
    for (int i = 0; i < static_cast<int>(n.kids.size()); ++i) args.push_back(arg(i));
    if (is("SUM") || is("AVG") || is("MIN") || is("MAX") || is("COUNT")) return scope.Aggregate(f, args);
    if (is("IntToStr")) return QString::number(ToInt(args[0]));
    if (is("FloatToStr")) return frxVariantToText(ToDouble(args[0]));
    if (is("VarToStr")) return args[0].isNull() ? QString() : ToText(args[0]);
    if (is("StrToInt")) {
        bool ok = false;
        const qint64 k = ToText(args[0]).trimmed().toLongLong(&ok);
        if (!ok) Fail(QStringLiteral("'%1' is not a valid integer value").arg(ToText(args[0])));
        return IntResult(k);
    }
    if (is("StrToFloat")) {
        QString s = ToText(args[0]).trimmed();
        s.replace(frxFormatSettings().DecimalSeparator, u'.');
        bool ok = false;
        const double d = s.toDouble(&ok);
        if (!ok) Fail(QStringLiteral("'%1' is not a valid floating point value").arg(ToText(args[0])));
        return d;
    }
    if (is("Copy")) {
        const QString s = ToText(args[0]);
        qint64 from = ToInt(args[1]), count = ToInt(args[2]);
        if (from < 1) from = 1;
        if (count < 0 || from > s.size()) return QString();
        return s.mid(from - 1, count);
    }
    if (is("Length")) return static_cast<int>(ToText(args[0]).size());
    if (is("Pos")) return static_cast<int>(ToText(args[1]).indexOf(ToText(args[0])) + 1);
    if (is("UpperCase")) return ToText(args[0]).toUpper();
    if (is("LowerCase")) return ToText(args[0]).toLower();
    if (is("Trim")) return ToText(args[0]).trimmed();
    if (is("FormatFloat")) return frxFormatFloat(ToText(args[0]), ToDouble(args[1]));
    if (is("FormatDateTime")) return frxFormatDateTime(ToText(args[0]), args[1].toDateTime());
    if (is("Date")) return QDate::currentDate();
    if (is("Time")) return QTime::currentTime();
    if (is("Now")) return QDateTime::currentDateTime();
    if (is("DateToStr")) return frxFormatDateTime(frxFormatSettings().ShortDateFormat, args[0].toDateTime());
    if (is("TimeToStr")) {
        QDateTime dt = args[0].typeId() == QMetaType::QTime ? QDateTime(QDate(1899, 12, 30), args[0].toTime()) : args[0].toDateTime();
        return frxFormatDateTime(frxFormatSettings().LongTimeFormat, dt);
    }
    if (is("Round") || is("Trunc") || is("Int")) {
        const double d = ToDouble(args[0]);
        if (!std::isfinite(d) || std::fabs(d) > 9.2e18) Fail(QStringLiteral("Invalid floating point operation"));
        if (is("Int")) return std::trunc(d);
        return IntResult(static_cast<qint64>(is("Round") ? std::nearbyint(d) : std::trunc(d)));
    }
    if (is("Frac")) {
        const double d = ToDouble(args[0]);
        return d - std::trunc(d);
    }
    if (is("Abs")) {
        if (IsInt(args[0])) {
            const qint64 k = ToInt(args[0]);
            return k == LLONG_MIN ? QVariant(-static_cast<double>(k)) : IntResult(k < 0 ? -k : k);
        }
        return std::fabs(ToDouble(args[0]));
    }
    if (is("Chr")) return QString(QChar(static_cast<char16_t>(ToInt(args[0]) & 0xFFFF)));
    if (is("Ord")) {
        if (IsString(args[0])) {
            const QString s = args[0].toString();
            return s.isEmpty() ? 0 : static_cast<int>(s[0].unicode());
        }
        if (IsBool(args[0])) return args[0].toBool() ? 1 : 0;
        return IntResult(ToInt(args[0]));
    }
    Fail(frxGet(QStringLiteral("SIdUndeclared")) + QLatin1String(" '") + f + u'\'');
}

bool InSet(const QVariant &v, const Node &set, TfrxExprScope &scope) {
    if (set.kind != Node::Set) Fail(QStringLiteral("Incompatible types"));
    for (const NodeP &k : set.kids) {
        if (k->kind == Node::Range) {
            const QVariant lo = Eval(*k->kids[0], scope), hi = Eval(*k->kids[1], scope);
            if (!v.isNull() && Compare(v, lo) >= 0 && Compare(v, hi) <= 0) return true;
        } else {
            const QVariant e = Eval(*k, scope);
            if (ToBool(Relation(Op::Eq, v, e))) return true;
        }
    }
    return false;
}

QVariant Eval(const Node &n, TfrxExprScope &scope) {
    switch (n.kind) {
    case Node::Const: return n.value;
    case Node::Ident: return scope.Identifier(n.name);
    case Node::ReportValue: return scope.ReportValue(n.name);
    case Node::Member: return MemberOf(Eval(*n.kids[0], scope), n.name);
    case Node::Index: {
        const QVariant base = Eval(*n.kids[0], scope);
        const qint64 k = ToInt(Eval(*n.kids[1], scope));
        if (IsString(base)) {
            const QString s = base.toString();
            if (k < 1 || k > s.size()) Fail(QStringLiteral("Range check error"));
            return QString(s[k - 1]);
        }
        Fail(QStringLiteral("Incompatible types"));
    }
    case Node::Call: return CallFunction(n, scope);
    case Node::Unary: {
        const QVariant v = Eval(*n.kids[0], scope);
        if (v.isNull()) return {};
        if (n.negate) {
            if (IsInt(v)) {
                const qint64 k = ToInt(v);
                return k == LLONG_MIN ? QVariant(-static_cast<double>(k)) : IntResult(-k);
            }
            return -ToDouble(v);
        }
        if (IsBool(v) || IsString(v)) return !ToBool(v);
        return IntResult(~ToInt(v));
    }
    case Node::Binary: {
        if (n.op == Op::Is) return ClassIs(frxVariantObject(Eval(*n.kids[0], scope)), n.kids[1]->name);
        const QVariant a = Eval(*n.kids[0], scope);
        if (n.op == Op::In) return InSet(a, *n.kids[1], scope);
        const QVariant b = Eval(*n.kids[1], scope);
        switch (n.op) {
        case Op::Eq: case Op::Ne: case Op::Lt: case Op::Le: case Op::Gt: case Op::Ge: return Relation(n.op, a, b);
        default: return Arith(n.op, a, b);
        }
    }
    case Node::Set: Fail(QStringLiteral("Incompatible types"));
    case Node::Range: Fail(QStringLiteral("Incompatible types"));
    case Node::ClassRef: return n.name;
    }
    return {};
}

class Compiled final : public TfrxCompiledExpression {
public:
    explicit Compiled(NodeP root) : root(std::move(root)) {}
    QVariant Evaluate(TfrxExprScope &scope) const override { return Eval(*root, scope); }

private:
    NodeP root;
};

}  // namespace

std::unique_ptr<TfrxCompiledExpression> frxCompileFunction(const QString &source, const TfrxExprScope &scope,
                                                           QString &error) {
    try {
        Parser p(source, scope);
        return std::make_unique<Compiled>(p.Program());
    } catch (const TfrxExprError &e) {
        error = e.Message;
        return nullptr;
    }
}

std::unique_ptr<TfrxCompiledExpression> frxCompileExpression(const QString &expr, const TfrxExprScope &scope,
                                                             QString &error) {
    try {
        Parser p(expr, scope);
        return std::make_unique<Compiled>(p.Bare());
    } catch (const TfrxExprError &e) {
        error = e.Message;
        return nullptr;
    }
}
