#pragma once
// WIN1252 is what crosses the wire; QString is what the program holds. Written out by hand so
// that the conversion does not depend on how Qt was built (its codec list varies with ICU).
#include <QByteArray>
#include <QString>

namespace firebird {

QString deWin1252(const char *dados, qsizetype tamanho);
inline QString deWin1252(const QByteArray &dados) { return deWin1252(dados.constData(), dados.size()); }

// Characters with no WIN1252 form become '?', as the server's own transliteration would refuse
// them anyway and a visible mark is better than a lost row.
QByteArray paraWin1252(const QString &texto);

}  // namespace firebird
