#include "export/nome_planilha.h"

#include "export/UClassFuncoes.h"

#include <QRegularExpression>

QString NomePadraoPlanilha(const QString &codigoFilial, const QDateTime &momento, const QLocale &local) {
    // The desktop's long time format carries the time zone ("HH:mm:ss t"); the name is meant to
    // hold the clock time only.
    QString formatoHora = local.timeFormat(QLocale::LongFormat);
    formatoHora.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    const QString momentoTexto = local.toString(momento.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                                 local.toString(momento.time(), formatoHora.trimmed());
    QString nome = QStringLiteral("Relatório de Inconsistências Tributárias - Filial ") + codigoFilial +
                   QStringLiteral(" - ") + momentoTexto + QStringLiteral(".xlsx");
    nome = TFuncoes::Substituir(nome, QStringLiteral("/"), QString());
    nome = TFuncoes::Substituir(nome, QStringLiteral(":"), QString());
    return nome;
}
