#pragma once
// Encodings of stored property values: Booleans "1"/"0", enumerations and colours as decimal
// numbers, floating-point numbers in their shortest exact form. Reading is lenient: "True",
// enumeration names, "," or "." as decimal separator and blanks are accepted.
#include "engine/units.h"

#include <QString>
#include <QVariant>

QString frxFloatToStr(double v);
double frxStrToFloat(const QString &s);
bool frxStrToBool(const QString &s);
qint64 frxStrToInt(const QString &s);
TColor frxStrToColor(const QString &s);
// An ordinal, or one of the names (any case) in declaration order; -1 for neither.
int frxStrToEnum(const QString &s, std::initializer_list<const char *> names);

// A variant as (text, type code): "" for text, "i" integer, "l" 64-bit, "f" float, "b" Boolean,
// "d" date-time. Null is reported through isNull.
QString frxVariantTypeCode(const QVariant &v);
QString frxVariantToStored(const QVariant &v);
QVariant frxStoredToVariant(const QString &text, const QString &typeCode);
