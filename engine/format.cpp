// The platform's value formats, written for the engine: number pictures ("#,##0.00"),
// printf-style formats ("%2.2f", "%d") and date-time pictures ("dd/mm/yyyy hh:nn").
#include "engine/expressions.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>

TfrxFormatSettings &frxFormatSettings() {
    static TfrxFormatSettings settings;
    return settings;
}

namespace {

struct FormatFailure {};

// Plain decimal digits of |v| rounded to 'decimals' places, split at the point.
void FixedDigits(double v, int decimals, QString &intPart, QString &fracPart) {
    QString s = QString::number(std::fabs(v), 'f', decimals);
    const qsizetype dot = s.indexOf(u'.');
    intPart = dot < 0 ? s : s.left(dot);
    fracPart = dot < 0 ? QString() : s.mid(dot + 1);
}

QString Group(const QString &digits, QChar sep) {
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += sep;
        out += digits[i];
    }
    return out;
}

// One section of a number picture.
QString FormatSection(const QString &pic, double v, bool withSign) {
    const TfrxFormatSettings &fs = frxFormatSettings();
    // Literal parts are kept where they stand; digits fill the placeholder run.
    QString prefix, suffix;
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < pic.size(); ++i) {
        const QChar c = pic[i];
        if (c == u'"' || c == u'\'') {
            const qsizetype e = pic.indexOf(c, i + 1);
            i = e < 0 ? pic.size() : e;
            continue;
        }
        if (c == u'0' || c == u'#' || c == u'.' || c == u',') {
            if (first < 0) first = i;
            last = i;
        }
    }
    auto literal = [](const QString &t) {
        QString out;
        for (qsizetype i = 0; i < t.size(); ++i) {
            const QChar c = t[i];
            if (c == u'"' || c == u'\'') {
                const qsizetype e = t.indexOf(c, i + 1);
                out += t.mid(i + 1, (e < 0 ? t.size() : e) - i - 1);
                i = e < 0 ? t.size() : e;
            } else {
                out += c;
            }
        }
        return out;
    };
    if (first < 0) return literal(pic);
    prefix = literal(pic.left(first));
    suffix = literal(pic.mid(last + 1));
    const QString body = pic.mid(first, last - first + 1);
    const qsizetype point = body.indexOf(u'.');
    const QString intPic = point < 0 ? body : body.left(point);
    const QString fracPic = point < 0 ? QString() : body.mid(point + 1);
    const bool grouping = intPic.contains(u',');
    int minInt = 0;
    for (QChar c : intPic)
        if (c == u'0') ++minInt;
    int minFrac = 0, maxFrac = 0;
    for (QChar c : fracPic) {
        if (c == u'0') { ++maxFrac; minFrac = maxFrac; }
        else if (c == u'#') ++maxFrac;
    }
    QString ip, fp;
    FixedDigits(v, maxFrac, ip, fp);
    while (fp.size() > minFrac && fp.endsWith(u'0')) fp.chop(1);
    if (ip == QLatin1String("0")) ip.clear();
    while (ip.size() < minInt) ip.prepend(u'0');
    if (grouping) ip = Group(ip, fs.ThousandSeparator);
    QString out = ip;
    if (!fp.isEmpty()) out += fs.DecimalSeparator + fp;
    const bool negative = withSign && v < 0 && (ip.contains(QRegularExpression(QStringLiteral("[1-9]"))) || fp.contains(QRegularExpression(QStringLiteral("[1-9]"))));
    return (negative ? QStringLiteral("-") : QString()) + prefix + out + suffix;
}

const char *const kShortMonths[] = {"jan", "fev", "mar", "abr", "mai", "jun", "jul", "ago", "set", "out", "nov", "dez"};
const char *const kLongMonths[] = {"janeiro", "fevereiro", "março", "abril", "maio", "junho",
                                   "julho", "agosto", "setembro", "outubro", "novembro", "dezembro"};
const char *const kShortDays[] = {"dom", "seg", "ter", "qua", "qui", "sex", "sáb"};
const char *const kLongDays[] = {"domingo", "segunda-feira", "terça-feira", "quarta-feira",
                                 "quinta-feira", "sexta-feira", "sábado"};

}  // namespace

QString frxFormatFloat(const QString &picture, double v) {
    if (!std::isfinite(v)) return std::isnan(v) ? QStringLiteral("NAN") : v > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    // Sections: positive;negative;zero (quotes respected).
    QStringList sections;
    QString cur;
    QChar quote;
    for (QChar c : picture) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            sections << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    sections << cur;
    if (sections.size() >= 3 && v == 0 && !sections[2].isEmpty()) return FormatSection(sections[2], v, false);
    if (sections.size() >= 2 && v < 0 && !sections[1].isEmpty()) return FormatSection(sections[1], -v, false);
    return FormatSection(sections[0], v, true);
}

QString frxFormatPrintf(const QString &format, const QVariant &v, bool &ok) {
    ok = true;
    const TfrxFormatSettings &fs = frxFormatSettings();
    QString out;
    bool used = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        bool left = false;
        if (j < format.size() && format[j] == u'-') { left = true; ++j; }
        int width = -1, prec = -1;
        qsizetype b = j;
        while (j < format.size() && format[j].isDigit()) ++j;
        if (j > b) width = format.mid(b, j - b).toInt();
        if (j < format.size() && format[j] == u'.') {
            ++j;
            b = j;
            while (j < format.size() && format[j].isDigit()) ++j;
            prec = format.mid(b, j - b).toInt();
        }
        if (j >= format.size() || used) { ok = false; return {}; }
        const QChar type = format[j].toLower();
        QString piece;
        bool isNum = false;
        const double d = v.toDouble(&isNum);
        switch (type.unicode()) {
        case 'd': case 'u': {
            if (!isNum) { ok = false; return {}; }
            const qint64 k = static_cast<qint64>(std::trunc(d));
            QString digits = QString::number(k < 0 ? -k : k);
            while (prec > 0 && digits.size() < prec) digits.prepend(u'0');
            piece = (k < 0 ? QStringLiteral("-") : QString()) + digits;
            break;
        }
        case 'f': case 'n': case 'm': {
            if (!isNum) { ok = false; return {}; }
            QString ip, fp;
            FixedDigits(d, prec < 0 ? 2 : prec, ip, fp);
            if (type != u'f') ip = Group(ip, fs.ThousandSeparator);
            piece = (d < 0 && (ip + fp).contains(QRegularExpression(QStringLiteral("[1-9]"))) ? QStringLiteral("-") : QString()) + ip;
            if (!fp.isEmpty()) piece += fs.DecimalSeparator + fp;
            break;
        }
        case 'e': {
            if (!isNum) { ok = false; return {}; }
            QString e = QString::number(d, 'E', (prec < 0 ? 15 : prec) - 1);
            // The platform writes at least three exponent digits: 1,5E+003.
            const qsizetype k = e.indexOf(u'E');
            QString mant = e.left(k), exp = e.mid(k + 2);
            while (exp.size() < 3) exp.prepend(u'0');
            mant.replace(u'.', fs.DecimalSeparator);
            piece = mant + u'E' + e[k + 1] + exp;
            break;
        }
        case 'g': {
            if (!isNum) { ok = false; return {}; }
            piece = QString::number(d, 'g', prec < 0 ? 15 : qMax(prec, 1));
            piece.replace(u'.', fs.DecimalSeparator);
            break;
        }
        case 's': piece = frxVariantToText(v); if (prec >= 0) piece = piece.left(prec); break;
        case 'x': {
            if (!isNum) { ok = false; return {}; }
            piece = QString::number(static_cast<qint64>(std::trunc(d)), 16).toUpper();
            while (prec > 0 && piece.size() < prec) piece.prepend(u'0');
            break;
        }
        default: ok = false; return {};
        }
        if (width > piece.size()) piece = left ? piece.leftJustified(width) : piece.rightJustified(width);
        out += piece;
        used = true;
        i = j;
    }
    return out;
}

QString frxFormatDateTime(const QString &picture, const QDateTime &v) {
    const TfrxFormatSettings &fs = frxFormatSettings();
    const QString pic = picture.isEmpty() ? QStringLiteral("c") : picture;
    const QDate d = v.date();
    const QTime t = v.time();
    QString out;
    bool lastWasHour = false;
    auto two = [](int k) { return QString::number(k).rightJustified(2, u'0'); };
    for (qsizetype i = 0; i < pic.size();) {
        const QChar c = pic[i];
        const QChar lc = c.toLower();
        qsizetype run = 1;
        while (i + run < pic.size() && pic[i + run].toLower() == lc) ++run;
        if (c == u'"' || c == u'\'') {
            const qsizetype e = pic.indexOf(c, i + 1);
            out += pic.mid(i + 1, (e < 0 ? pic.size() : e) - i - 1);
            i = e < 0 ? pic.size() : e + 1;
            continue;
        }
        if (pic.mid(i, 5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0) {
            out += t.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm");
            i += 5;
            continue;
        }
        switch (lc.unicode()) {
        case 'c':
            out += frxFormatDateTime(fs.ShortDateFormat, v);
            if (t != QTime(0, 0)) out += u' ' + frxFormatDateTime(fs.LongTimeFormat, v);
            i += 1;
            continue;
        case 'd':
            if (run >= 5) out += frxFormatDateTime(fs.ShortDateFormat, v), run = 5;
            else if (run == 4) out += QString::fromUtf8(kLongDays[d.dayOfWeek() % 7]);
            else if (run == 3) out += QString::fromUtf8(kShortDays[d.dayOfWeek() % 7]);
            else if (run == 2) out += two(d.day());
            else out += QString::number(d.day());
            lastWasHour = false;
            break;
        case 'm':
            if (lastWasHour && run <= 2) {
                out += run == 2 ? two(t.minute()) : QString::number(t.minute());
                run = qMin<qsizetype>(run, 2);
            } else if (run >= 4) out += QString::fromUtf8(kLongMonths[d.month() - 1]), run = 4;
            else if (run == 3) out += QString::fromUtf8(kShortMonths[d.month() - 1]);
            else if (run == 2) out += two(d.month());
            else out += QString::number(d.month());
            lastWasHour = false;
            break;
        case 'y':
            if (run >= 3) out += QString::number(d.year()).rightJustified(4, u'0'), run = qMax<qsizetype>(run, 4);
            else out += two(d.year() % 100), run = 2;
            lastWasHour = false;
            break;
        case 'h':
            run = qMin<qsizetype>(run, 2);
            out += run == 2 ? two(t.hour()) : QString::number(t.hour());
            lastWasHour = true;
            break;
        case 'n':
            run = qMin<qsizetype>(run, 2);
            out += run == 2 ? two(t.minute()) : QString::number(t.minute());
            lastWasHour = false;
            break;
        case 's':
            run = qMin<qsizetype>(run, 2);
            out += run == 2 ? two(t.second()) : QString::number(t.second());
            lastWasHour = false;
            break;
        case 'z':
            run = run >= 3 ? 3 : 1;
            out += run == 3 ? QString::number(t.msec()).rightJustified(3, u'0') : QString::number(t.msec());
            break;
        case 't':
            out += frxFormatDateTime(run >= 2 ? fs.LongTimeFormat : QStringLiteral("hh:nn"), v);
            run = qMin<qsizetype>(run, 2);
            break;
        case '/': out += u'/'; run = 1; break;
        case ':': out += u':'; run = 1; break;
        default: out += pic.mid(i, run);
        }
        i += run;
    }
    return out;
}

QString frxVariantToText(const QVariant &v) {
    if (v.isNull()) return {};
    switch (v.typeId()) {
    case QMetaType::QString: return v.toString();
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Int: case QMetaType::LongLong: case QMetaType::UInt: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort:
        return v.toString();
    case QMetaType::Double: case QMetaType::Float: {
        const double d = v.toDouble();
        QString s = QString::number(d, 'g', 15);
        s.replace(u'.', frxFormatSettings().DecimalSeparator);
        s.replace(QLatin1String("e+"), QLatin1String("E+"));
        s.replace(QLatin1String("e-"), QLatin1String("E-"));
        return s;
    }
    case QMetaType::QDate: return frxFormatDateTime(frxFormatSettings().ShortDateFormat, QDateTime(v.toDate(), QTime(0, 0)));
    case QMetaType::QTime:
        return frxFormatDateTime(frxFormatSettings().LongTimeFormat, QDateTime(QDate(1899, 12, 30), v.toTime()));
    case QMetaType::QDateTime: return frxFormatDateTime(QStringLiteral("c"), v.toDateTime());
    default: return v.toString();
    }
}

QString frxFormatValue(const QVariant &Value, const TfrxFormat &Format) {
    if (Value.isNull()) return {};
    const TfrxFormatSettings &fs = frxFormatSettings();
    try {
        switch (Format.Kind) {
        case fkNumeric: {
            bool isNum = false;
            double d = Value.toDouble(&isNum);
            if (Value.typeId() == QMetaType::QString) {
                QString s = Value.toString().trimmed();
                s.replace(fs.DecimalSeparator, u'.');
                d = s.toDouble(&isNum);
            }
            if (!isNum) throw FormatFailure{};
            QString out;
            if (Format.FormatStr.contains(u'#')) {
                out = frxFormatFloat(Format.FormatStr, d);
            } else if (Format.FormatStr.contains(u'd') || Format.FormatStr.contains(u'u')) {
                bool ok = false;
                out = frxFormatPrintf(Format.FormatStr, QVariant(std::trunc(d)), ok);
                if (!ok) throw FormatFailure{};
            } else {
                bool ok = false;
                out = frxFormatPrintf(Format.FormatStr, QVariant(d), ok);
                if (!ok) throw FormatFailure{};
            }
            if (Format.DecimalSeparator.size() == 1 && Format.DecimalSeparator[0] != fs.DecimalSeparator) {
                const qsizetype k = out.lastIndexOf(fs.DecimalSeparator);
                if (k >= 0) out[k] = Format.DecimalSeparator[0];
            }
            if (Format.ThousandSeparator.size() == 1 && Format.ThousandSeparator[0] != fs.ThousandSeparator)
                out.replace(fs.ThousandSeparator, Format.ThousandSeparator[0]);
            return out;
        }
        case fkDateTime: {
            QDateTime dt;
            if (Value.typeId() == QMetaType::QDate) dt = QDateTime(Value.toDate(), QTime(0, 0));
            else if (Value.typeId() == QMetaType::QTime) dt = QDateTime(QDate(1899, 12, 30), Value.toTime());
            else if (Value.typeId() == QMetaType::QDateTime) dt = Value.toDateTime();
            else if (Value.typeId() == QMetaType::Double || Value.typeId() == QMetaType::Int) {
                const qint64 ms = static_cast<qint64>(std::llround(Value.toDouble() * 86400000.0));
                dt = QDateTime(QDate(1899, 12, 30), QTime(0, 0)).addMSecs(ms);
            } else {
                throw FormatFailure{};
            }
            if (!dt.isValid()) throw FormatFailure{};
            return frxFormatDateTime(Format.FormatStr, dt);
        }
        case fkBoolean: {
            const qsizetype comma = Format.FormatStr.indexOf(u',');
            const QString falseText = comma < 0 ? Format.FormatStr : Format.FormatStr.left(comma);
            const QString trueText = comma < 0 ? QString() : Format.FormatStr.mid(comma + 1).left(255);
            const bool isTrue = Value.typeId() == QMetaType::Bool ? Value.toBool()
                                : (Value.typeId() != QMetaType::QString && Value.toDouble() == -1);
            return isTrue ? trueText : falseText;
        }
        case fkText: break;
        }
    } catch (const FormatFailure &) {
    }
    return frxVariantToText(Value);
}
