#pragma once
// Windows code page 1252, the ERP's one-byte character set, in both directions. Kept as our own
// table so that the result does not depend on which converters the Qt build carries.
#include <QByteArray>
#include <QString>

namespace ini {

// Every byte has a character: the five bytes that the code page leaves undefined map to the
// code point of the same number, so any byte string survives a round trip.
QString deWin1252(const QByteArray &bytes);

// Characters outside the code page become '?'.
QByteArray paraWin1252(const QString &texto);

}  // namespace ini
