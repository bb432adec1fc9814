// Evaluation of a memo when its band is printed: data field, bracketed expressions, highlight,
// suppression of repeated values, and the markers replaced only at output time.
#include "engine/datasets.h"
#include "engine/expressions.h"
#include "engine/report.h"
#include "engine/views.h"

bool frxFindExpression(const QString &s, qsizetype q, const QString &open, const QString &close,
                       QString &expr, qsizetype &end) {
    if (open.isEmpty() || close.isEmpty()) return false;
    const qsizetype n = s.size();
    int depth = 0;
    bool inSingle = false, inDouble = false;
    qsizetype start = -1;
    qsizetype p = q;
    const QStringView view(s);
    // One-character delimiters (the default "[" and "]") are tested without building views.
    auto at = [&](qsizetype i, const QString &d) {
        return d.size() == 1 ? view[i] == d[0] : view.mid(i).startsWith(d);
    };
    for (; p < n; ++p) {
        if (!inSingle && !inDouble) {
            if (at(p, open)) {
                if (depth == 0) start = p;
                ++depth;
                p += open.size() - 1;
                continue;  // a delimiter is not a quote
            }
            if (at(p, close)) {
                --depth;
                if (depth == 0) {
                    expr = s.mid(start + open.size(), p - start - open.size());
                    end = p + close.size() - 1;
                    return true;
                }
                p += close.size() - 1;
                continue;
            }
        }
        const QChar c = s[p];
        if (c == u'"' && !inSingle) inDouble = !inDouble;
        else if (c == u'\'' && !inDouble) inSingle = !inSingle;
        if (depth == 0) break;
    }
    if (start < 0) return false;
    // Never closed: the rest of the text is the expression.
    expr = s.mid(start + open.size());
    end = n - 1;
    return true;
}

QString TfrxCustomMemoView::ExpandText(TfrxCustomMemoView *memo, const QString &text) {
    const qsizetype comma = memo->ExpressionDelimiters.indexOf(u',');
    const QString open = comma < 0 ? memo->ExpressionDelimiters : memo->ExpressionDelimiters.left(comma);
    const QString close = comma < 0 ? QString() : memo->ExpressionDelimiters.mid(comma + 1).left(255);
    QString s = text;
    if (open.isEmpty() || !s.contains(open)) return s;
    qsizetype i = 0;
    for (;;) {
        while (i < s.size() && !QStringView(s).mid(i).startsWith(open)) ++i;
        if (i >= s.size()) break;
        QString e;
        qsizetype j;
        if (!frxFindExpression(s, i, open, close, e, j)) break;
        const QString r = frxEvaluateAndFormat(memo, e);
        s.replace(i, j - i + 1, r);
        // The value is never scanned again: a value holding "[" prints as it is.
        i += r.size();
    }
    return s;
}

QString frxEvaluateAndFormat(TfrxCustomMemoView *memo, const QString &E) {
    QString expr = E;
    TfrxFormat format = memo->DisplayFormat;
    const qsizetype k = E.indexOf(QLatin1String(" #"));
    if (k >= 0) {
        const QString f = E.mid(k + 2);
        if (!f.contains(u')')) {
            expr = E.left(k);
            format = TfrxFormat();
            const QChar c = f.isEmpty() ? QChar() : f[0].toUpper();
            if (c == u'B') format.Kind = fkBoolean;
            else if (c == u'D' || c == u'T') format.Kind = fkDateTime;
            else if (c == u'N') format.Kind = fkNumeric;
            format.FormatStr = f.mid(1);
            if (format.Kind == fkNumeric) {
                QString fs = format.FormatStr;
                qsizetype last = -1;
                for (qsizetype i = 0; i < fs.size(); ++i)
                    if (fs[i] == u',' || fs[i] == u'-' || fs[i] == u'.') last = i;
                if (last >= 0) format.DecimalSeparator = QString(fs[last]);
                for (QChar &ch : fs)
                    if (ch == u',' || ch == u'-' || ch == u'.') ch = u'.';
                format.FormatStr = fs;
            }
        }
    }
    QVariant value;
    if (expr.size() == 11 && expr.compare(QLatin1String("TOTALPAGES#"), Qt::CaseInsensitive) == 0) {
        value = QStringLiteral("[TotalPages#]");
    } else if (expr.size() == 9 && expr.compare(QLatin1String("COPYNAME#"), Qt::CaseInsensitive) == 0) {
        value = QStringLiteral("[CopyName#]");
    } else if (TfrxReport *r = memo->Report()) {
        value = r->Calc(expr);
    }
    memo->Value = value;
    if (memo->HideZeros && value.typeId() != QMetaType::QString && !value.isNull()) {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (ok && d == 0) return {};
    }
    return frxFormatValue(value, format);
}

void TfrxCustomMemoView::EvaluateData() {
    TfrxReport *report = Report();
    if (report) report->CurObject = Name();
    if (FDataSet && !DataField.isEmpty()) {
        if (FDataSet->IsBlobField(DataField)) {
            SetText(QString::fromUtf8(FDataSet->CopyBlob(DataField)));
        } else {
            Value = FDataSet->Value(DataField);
            if (DisplayFormat.Kind != fkText) SetText(frxFormatValue(Value, DisplayFormat));
            else SetText(FDataSet->DisplayText(DataField));
            if (HideZeros && Value.typeId() != QMetaType::QString && !Value.isNull()) {
                bool ok = false;
                if (Value.toDouble(&ok) == 0 && ok) Memo.clear();
            }
        }
    } else if (AllowExpressions) {
        const QString expanded = ExpandText(this, Text());
        // The expansion ends every line with CR LF; the last one adds no line.
        SetText(expanded);
    }
    if (report) report->ScriptValue = Value;
    Highlight.Active = false;
    if (!Highlight.Condition.isEmpty() && report) Highlight.Active = report->Calc(Highlight.Condition).toBool();
    if (SuppressRepeated) {
        const QString t = Text();
        if (!LastValue.isNull() && LastValue.toString() == t) Memo.clear();
        else LastValue = t;
    }
    if (FlowTo) FlowTo->AllowExpressions = false;
}

void TfrxCustomMemoView::ApplyDeferredMacros() {
    if (!AllowExpressions) return;
    QString s = Text();
    bool changed = false;
    qsizetype i = s.indexOf(QLatin1String("[TOTALPAGES#]"), 0, Qt::CaseInsensitive);
    if (i >= 0) {
        s.replace(i, 13, QString::number(TotalPages));
        changed = true;
    }
    i = s.indexOf(QLatin1String("[COPYNAME#]"), 0, Qt::CaseInsensitive);
    if (i >= 0) {
        const TfrxVariables &g = frxGlobalVariables();
        const QString name = QStringLiteral("CopyName") + QString::number(CopyNo);
        const QString value = g.IndexOf(name) >= 0 ? frxVariantToText(g.Get(name)) : QString();
        s.replace(i, 11, value);
        changed = true;
    }
    if (changed) SetText(s);
}
