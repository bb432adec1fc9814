#include "platform/firebird/parametros_nomeados.h"

namespace firebird {
namespace {

bool inicioNome(QChar c) { return c.isLetter() || c == u'_'; }
bool parteNome(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

// Index just past the closing quote; doubled quotes are the escape, so they stay inside.
qsizetype fimCitacao(const QString &sql, qsizetype i, QChar aspa) {
    for (++i; i < sql.size(); ++i) {
        if (sql.at(i) == aspa) {
            if (i + 1 < sql.size() && sql.at(i + 1) == aspa)
                ++i;
            else
                return i + 1;
        }
    }
    return sql.size();
}

}  // namespace

SqlPosicional converterParametrosNomeados(const QString &sql) {
    SqlPosicional r;
    r.sql.reserve(sql.size());
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql.at(i);
        qsizetype fim = i + 1;
        if (c == u'\'' || c == u'"') {
            fim = fimCitacao(sql, i, c);
        } else if (c == u'-' && i + 1 < sql.size() && sql.at(i + 1) == u'-') {
            fim = sql.indexOf(u'\n', i);
            fim = fim < 0 ? sql.size() : fim;
        } else if (c == u'/' && i + 1 < sql.size() && sql.at(i + 1) == u'*') {
            fim = sql.indexOf(QStringLiteral("*/"), i + 2);
            fim = fim < 0 ? sql.size() : fim + 2;
        } else if (c == u':' && i + 1 < sql.size() && inicioNome(sql.at(i + 1))) {
            fim = i + 2;
            while (fim < sql.size() && parteNome(sql.at(fim)))
                ++fim;
            r.posicoes.append(sql.mid(i + 1, fim - i - 1));
            r.sql.append(u'?');
            i = fim;
            continue;
        }
        r.sql.append(QStringView(sql).mid(i, fim - i));
        i = fim;
    }
    return r;
}

}  // namespace firebird
