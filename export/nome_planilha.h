#pragma once
#include <QDateTime>
#include <QLocale>
#include <QString>

// The name the save dialog proposes: "Relatório de Inconsistências Tributárias - Filial 1 -
// 08122026 212642.xlsx" for branch 1 at that moment with a Brazilian setting. The moment is
// written as the user's short date, a blank and the time with seconds, and every "/" and ":"
// is then taken out, since neither may stand in a file name.
QString NomePadraoPlanilha(const QString &codigoFilial, const QDateTime &momento,
                           const QLocale &local = QLocale());
