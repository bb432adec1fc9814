#pragma once
// Memo text expansion, formatting of values and the output-time markers.
#include "engine/frame.h"

#include <QString>
#include <QVariant>

class TfrxCustomMemoView;

// The bracketed expression that starts at q (0-based, at an opening delimiter): its text
// between the delimiters and the index of the last character of the closing delimiter (the
// end of the text when it is never closed). False when no expression starts there.
bool frxFindExpression(const QString &s, qsizetype q, const QString &open, const QString &close,
                       QString &expr, qsizetype &end);

// One bracketed expression of a memo: " #" format suffix, the deferred markers, Calc, HideZeros.
QString frxEvaluateAndFormat(TfrxCustomMemoView *memo, const QString &E);

// Separators of the platform's number formats (the program runs with Brazilian settings).
struct TfrxFormatSettings {
    QChar DecimalSeparator = u',';
    QChar ThousandSeparator = u'.';
    QString ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    QString LongTimeFormat = QStringLiteral("hh:nn:ss");
};
TfrxFormatSettings &frxFormatSettings();

QString frxFormatValue(const QVariant &Value, const TfrxFormat &Format);
// The platform's plain conversion of a value to text (integers as digits, floats with the
// platform's decimal separator, dates in the short date format).
QString frxVariantToText(const QVariant &v);
// Picture ("#,##0.00"), printf-style ("%2.2f", "%d") and date-time picture ("dd/mm/yyyy hh:nn").
QString frxFormatFloat(const QString &picture, double v);
QString frxFormatPrintf(const QString &format, const QVariant &v, bool &ok);
QString frxFormatDateTime(const QString &picture, const QDateTime &v);
