#include "checks/catalogo.h"

#include "checks/condicoes_p.h"
#include "checks/regras.h"
#include "platform/erro/Erro.h"

#include <QRegularExpression>
#include <vector>

namespace verificacoes {
namespace {

const QString juncoes = QStringLiteral(
    "from produto "
    "left join gruprod on gruprod.codgrupo = produto.codgrupo "
    "left join subgrup on subgrup.codsubgrupo = produto.codsubgrupo and subgrup.codgrupo = produto.codgrupo "
    "left join csosn_prod on produto.codprod = csosn_prod.codprod "
    "left join clasfisc on produto.codclasfis = clasfisc.codclasfis");

const QString exclusao = QStringLiteral(
    "produto.codprod not in (select produto.codprod from produto inner join perfilimposto_itens on "
    "produto.codprod = perfilimposto_itens.codprod where produto.codprod = perfilimposto_itens.codprod)");

const QString condicaoAtivos = QStringLiteral("produto.ativo = 'S'");
const QString produtoTexto = QStringLiteral("produto.codprod||' - '||produto.descricao");
const QString vazio = QStringLiteral("''");

QString literal(const QString &texto) {
    QString t = texto;
    t.replace('\'', QStringLiteral("''"));
    return '\'' + t + '\'';
}

// ---- The literal form -------------------------------------------------------------------

QString comparacaoBase(BaseMostrada base) {
    switch (base) {
    case BaseMostrada::MaiorAcima100: return QStringLiteral(" > 100");
    case BaseMostrada::MaiorAbaixo100: return QStringLiteral(" < 100");
    case BaseMostrada::MaiorIgual100: return QStringLiteral(" = 100");
    default: return {};
    }
}

QString maiorBaseReferencia(BaseMostrada base) {
    QStringList partes;
    for (const char *slot : {"00", "01", "02", "03"}) {
        const QString coluna = QStringLiteral("prod.baseicmsreg") + QLatin1String(slot);
        partes << QStringLiteral("select ") + coluna +
                      QStringLiteral(" base from produto prod where prod.codprod = produto.codprod and ") +
                      coluna + comparacaoBase(base);
    }
    return QStringLiteral("round((select first 1 base from (") + partes.join(QStringLiteral(" union all ")) +
           QStringLiteral(") order by base desc),3)");
}

QString baseReferencia(BaseMostrada base) {
    switch (base) {
    case BaseMostrada::Nenhuma: return vazio;
    case BaseMostrada::Slot00: return QStringLiteral("round(produto.baseicmsreg00,3)");
    default: return maiorBaseReferencia(base);
    }
}

QString textoFlag(FlagMostrada flag, const QString &coluna) {
    switch (flag) {
    case FlagMostrada::Nenhuma: return vazio;
    case FlagMostrada::SoNao: return QStringLiteral("case when ") + coluna + QStringLiteral(" = 'N' then 'Não' end");
    case FlagMostrada::SoSim: return QStringLiteral("case when ") + coluna + QStringLiteral(" = 'S' then 'Sim' end");
    case FlagMostrada::Texto:
        return QStringLiteral("case when ") + coluna + QStringLiteral(" = 'N' then 'Não' else case when ") + coluna +
               QStringLiteral(" = 'S' then 'Sim' else null end end");
    }
    return vazio;
}

// The sixteen select-list expressions of a rule, in column order, as the literal block has them.
QStringList expressoesReferencia(const Regra &r) {
    QStringList e;
    e << literal(r.descricao) << produtoTexto << QStringLiteral("gruprod.descricao")
      << QStringLiteral("subgrup.descricao");
    for (const char *slot : {"00", "01", "02", "03"})
        e << (r.mostraSlots ? QStringLiteral("produto.codtribut") + QLatin1String(slot) : vazio);
    e << (r.mostraCsosn ? QStringLiteral("csosn_prod.codcsosn") : vazio);
    e << baseReferencia(r.base);
    e << (r.mostraAliquotas ? QStringLiteral("round(produto.aliqicmsreg00,3)") : vazio);
    e << (r.mostraAliquotas ? QStringLiteral("round(produto.aliqicmspdv,3)") : vazio);
    e << (r.mostraCest ? QStringLiteral("produto.codcest") : vazio);
    e << textoFlag(r.stEntrada, QStringLiteral("produto.substrib"));
    e << textoFlag(r.stSaida, QStringLiteral("produto.substribsaida"));
    e << QStringLiteral("clasfisc.codigoncm");
    return e;
}

QString ondeReferencia(const Regra &r, Variante variante) {
    QStringList alternativas;
    for (const QString &a : r.alternativas)
        alternativas << '(' + exclusao + QStringLiteral(" and ") + a + ')';
    QString onde = alternativas.join(QStringLiteral(" or "));
    if (variante == Variante::ProdutosAtivos)
        onde = '(' + onde + QStringLiteral(") and ") + condicaoAtivos;
    return QStringLiteral(" where ") + onde;
}

QString listagemReferencia(Variante variante) {
    const QStringList &nomes = colunasListagem();
    QStringList blocos;
    for (const Regra &r : regras()) {
        QStringList lista = expressoesReferencia(r);
        if (r.numero == 1)  // the first block names the columns of the union
            for (int i = 0; i < lista.size(); ++i) lista[i] += QStringLiteral(" AS ") + nomes[i];
        blocos << QStringLiteral("select ") + lista.join(QStringLiteral(", ")) + ' ' + juncoes +
                      ondeReferencia(r, variante);
    }
    return blocos.join(QStringLiteral(" UNION ALL ")) + QStringLiteral(" order by 1,2");
}

QString contaReferencia(Variante variante) {
    QStringList blocos;
    for (const Regra &r : regras())
        blocos << QStringLiteral("select ") + literal(r.descricao) +
                      QStringLiteral(" AS DESC_ERRO, count(*) QUANTIDADE ") + juncoes +
                      ondeReferencia(r, variante) + QStringLiteral(" having count(*) > '0'");
    return blocos.join(QStringLiteral(" UNION ALL ")) + QStringLiteral(" order by 1,2");
}

QString totalReferencia(Variante variante) {
    QStringList blocos;
    for (const Regra &r : regras())
        blocos << QStringLiteral("select count(*) QUANTIDADE ") + juncoes + ondeReferencia(r, variante) +
                      QStringLiteral(" having count(*) > '0'");
    return QStringLiteral("select sum(QUANTIDADE) QTD from (") + blocos.join(QStringLiteral(" UNION ALL ")) + ')';
}

// ---- The form the program runs ------------------------------------------------------------
//
// Three stages, each a derived table read once:
//   e  the joined rows under the exclusion, with the raw columns any rule shows and the class
//      bit of each CST slot and of the CSOSN (condicoes_p.h): the "like" tests are the costly
//      part of a rule, and here each code is matched once per row instead of once per test;
//   m  e plus a bit mask of the rules the row breaks, from the literal conditions rewritten over
//      the class bits (same truth, nulls included), and the largest bases rules 2, 3, 14 show;
//   the outer select multiplies each offending row by the rules its mask names (a fifteen-row
//      table of rule numbers) and applies the literal block expressions to the raw columns.
// The engine re-evaluates a derived table's expressions at every use; a "union all" with an
// empty branch makes it keep each row's values instead, so the mask is computed once per row.

const QString exclusaoPrograma = QStringLiteral(
    "not exists (select 1 from perfilimposto_itens where perfilimposto_itens.codprod = produto.codprod)");

// The raw columns carried to the outer select. The literal block expressions are applied there
// (a product column "produto.x" becomes "j.PRODUTO_X"), so every conversion to text happens on
// the same expression as in the literal form: a rounded value kept in a derived table would be
// converted with the column's declared scale instead of the rounded one ("20.00", not "20.000").
const QStringList &colunasBrutas() {
    static const QStringList c{
        "produto.codprod", "produto.descricao", "gruprod.descricao", "subgrup.descricao",
        "produto.codtribut00", "produto.codtribut01", "produto.codtribut02", "produto.codtribut03",
        "csosn_prod.codcsosn", "csosn_prod.tipopessoa", "produto.baseicmsreg00", "produto.baseicmsreg01",
        "produto.baseicmsreg02", "produto.baseicmsreg03", "produto.aliqicmsreg00", "produto.aliqicmspdv",
        "produto.codcest", "produto.substrib", "produto.substribsaida", "clasfisc.codigoncm"};
    return c;
}

QString nomeBruto(QString coluna) { return coluna.replace('.', '_').toUpper(); }

// Column references of the five joined tables, replaced by the stage's names.
QString trocarColunas(const QString &expressao, const QString &prefixo) {
    static const QRegularExpression coluna(
        QStringLiteral("\\b(produto|gruprod|subgrup|csosn_prod|clasfisc)\\.(\\w+)\\b"));
    QString resultado;
    qsizetype desde = 0;
    for (auto it = coluna.globalMatch(expressao); it.hasNext();) {
        const auto m = it.next();
        const QString nome = m.captured(0);
        if (!colunasBrutas().contains(nome)) throw Erro(QStringLiteral("Coluna fora da tabela derivada: ") + nome);
        resultado += expressao.mid(desde, m.capturedStart() - desde) + prefixo + nomeBruto(nome);
        desde = m.capturedEnd();
    }
    return resultado + expressao.mid(desde);
}

// Rule 9's branch-state test without re-running the state join per product. The set of rates of
// the branch's state is usually one or two values: then "differs from both" is exact. The three
// scalar sub-queries do not depend on the product, so the engine evaluates each of them once,
// and only when a product reaches the test, as the literal form does.
QString regra9Programa() {
    const QString estadosDaFilial = QStringLiteral(
        "from estados where estados.estado in (select filiais.estado from filiais where "
        "filiais.estado = estados.estado and filiais.codempresa = :pCODEMPRESA)");
    const QString qtd = QStringLiteral("(select count(distinct estados.aliqicm) ") + estadosDaFilial + ')';
    return QStringLiteral("produto.aliqicmsreg00 <> 0 and (") + qtd + QStringLiteral(" = 0 or (") + qtd +
           QStringLiteral(" <= 2 and produto.aliqicmsreg00 <> (select min(estados.aliqicm) ") + estadosDaFilial +
           QStringLiteral(") and produto.aliqicmsreg00 <> (select max(estados.aliqicm) ") + estadosDaFilial +
           QStringLiteral(")) or (") + qtd + QStringLiteral(" > 2 and not exists (select 1 ") + estadosDaFilial +
           QStringLiteral(" and estados.aliqicm = produto.aliqicmsreg00)))");
}

QString condicaoPrograma(const Regra &r) {
    const QString c = interno::condicaoPorClasses(r.numero == 9 ? QStringList{regra9Programa()} : r.alternativas);
    return trocarColunas(c, QStringLiteral("e."));
}

QString mascara() {
    QStringList partes;
    for (const Regra &r : regras())
        partes << QStringLiteral("case when ") + condicaoPrograma(r) + QStringLiteral(" then ") +
                      QString::number(1 << (r.numero - 1)) + QStringLiteral(" else 0 end");
    return partes.join(QStringLiteral(" + "));
}

// "(select LISTA from ORIGEM union all select null, ... from rdb$database where 1 = 0) ALIAS"
QString guardada(const QStringList &lista, const QString &origem, const QString &alias) {
    QStringList nulos;
    for (int i = 0; i < lista.size(); ++i) nulos << QStringLiteral("null");
    return QStringLiteral("(select ") + lista.join(QStringLiteral(", ")) + ' ' + origem +
           QStringLiteral(" union all select ") + nulos.join(QStringLiteral(", ")) +
           QStringLiteral(" from rdb$database where 1 = 0) ") + alias;
}

QString nomeMaiorBase(BaseMostrada base) {
    switch (base) {
    case BaseMostrada::MaiorAcima100: return QStringLiteral("BACIMA");
    case BaseMostrada::MaiorAbaixo100: return QStringLiteral("BABAIXO");
    default: return QStringLiteral("BCEM");
    }
}

// The largest of the four slot bases that passes the rule's comparison, or null: the value of
// the literal "first 1 ... order by base desc" sub-query, of the type the engine derives from
// the four columns. Asked in the outer select, so only for the rows that show it. (Several of those correlated sub-queries in one select list came out with the
// column's scale instead of the rounded one, so the program does not use them.)
QString maiorBasePrograma(BaseMostrada base) {
    QStringList v;
    for (const char *slot : {"00", "01", "02", "03"}) {
        const QString coluna = QStringLiteral("j.PRODUTO_BASEICMSREG") + QLatin1String(slot);
        v << QStringLiteral("case when ") + coluna + comparacaoBase(base) + QStringLiteral(" then ") + coluna +
                 QStringLiteral(" end");
    }
    // v[i] wins when it is not null and no later value is larger; a null v[i] fails every test.
    QString e = QStringLiteral("case");
    for (int i = 0; i < 3; ++i) {
        QStringList testes;
        for (int k = i + 1; k < 4; ++k)
            testes << v[i] + QStringLiteral(" >= coalesce(") + v[k] + QStringLiteral(", ") + v[i] + ')';
        e += QStringLiteral(" when ") + testes.join(QStringLiteral(" and ")) + QStringLiteral(" then ") + v[i];
    }
    return e + QStringLiteral(" else ") + v[3] + QStringLiteral(" end");
}

// Stage j: the rows of the variant that break at least one rule, with their mask.
QString tabelaJ(Variante variante) {
    QStringList brutas, etapaE, etapaJ;
    for (const QString &c : colunasBrutas()) {
        brutas << nomeBruto(c);
        etapaE << c + ' ' + nomeBruto(c);
        etapaJ << QStringLiteral("e.") + nomeBruto(c);
    }
    for (const char *slot : {"00", "01", "02", "03"})
        etapaE << interno::classificacao(QStringLiteral("produto.codtribut") + QLatin1String(slot), interno::finaisCst()) +
                      ' ' + interno::nomeClasseSlot(QLatin1String(slot));
    etapaE << interno::classificacao(QStringLiteral("csosn_prod.codcsosn"), interno::finaisCsosn()) + ' ' +
                  interno::nomeClasseCsosn();
    QString onde = QStringLiteral(" where ") + exclusaoPrograma;
    if (variante == Variante::ProdutosAtivos) onde += QStringLiteral(" and ") + condicaoAtivos;
    const QString e = guardada(etapaE, juncoes + onde, QStringLiteral("e"));
    etapaJ << QStringLiteral("e.M");
    etapaJ.removeLast();
    etapaJ << mascara() + QStringLiteral(" M");
    const QString m = guardada(etapaJ, QStringLiteral("from ") + e, QStringLiteral("m"));
    return QStringLiteral("(select * from ") + m + QStringLiteral(" where m.M <> 0) j");
}

QString tabelaRegras() {
    QStringList linhas;
    for (const Regra &r : regras())
        linhas << QStringLiteral("select %1 N, %2 BIT from rdb$database").arg(r.numero).arg(1 << (r.numero - 1));
    return '(' + linhas.join(QStringLiteral(" union all ")) + QStringLiteral(") regras");
}

// "case when regras.N in (1,4) then a when ... end", rules with the same expression grouped.
QString escolhaPorRegra(const std::vector<QString> &porRegra, const QString &numeroRegra) {
    QStringList distintas;
    for (const QString &e : porRegra)
        if (!distintas.contains(e)) distintas << e;
    if (distintas.size() == 1) return distintas.first();
    QString s = QStringLiteral("case");
    for (const QString &e : distintas) {
        QStringList numeros;
        for (size_t i = 0; i < porRegra.size(); ++i)
            if (porRegra[i] == e) numeros << QString::number(regras()[i].numero);
        s += QStringLiteral(" when ") + numeroRegra + QStringLiteral(" in (") + numeros.join(',') +
             QStringLiteral(") then ") + e;
    }
    return s + QStringLiteral(" end");
}

// Rows of one rule and one product (the product's several CSOSN rows) tie under "order by 1,2";
// the engine's sort leaves such ties in no particular order, so the rows keep the join's order
// (the CSOSN key) and a listing reads the same on every run.
QString listagemPrograma(Variante variante) {
    const QStringList &nomes = colunasListagem();
    QStringList lista;
    for (int col = 0; col < nomes.size(); ++col) {
        std::vector<QString> porRegra;
        for (const Regra &r : regras()) {
            const bool maiorBase = nomes[col] == QLatin1String("BASEICMS") && r.base != BaseMostrada::Nenhuma &&
                                   r.base != BaseMostrada::Slot00;
            QString e = maiorBase ? QStringLiteral("round(") + maiorBasePrograma(r.base) + QStringLiteral(",3)")
                                  : trocarColunas(expressoesReferencia(r)[col], QStringLiteral("j."));
            // A rounded number left to the CASE was sometimes turned into text with the
            // column's scale ("100.0000" where the union of blocks gives "100.000"); turning it
            // into text inside the branch gives the union's text.
            if (e.startsWith(QLatin1String("round("))) e = '(' + e + QStringLiteral("||'')");
            porRegra.push_back(e);
        }
        lista << escolhaPorRegra(porRegra, QStringLiteral("regras.N")) + ' ' + nomes[col];
    }
    return QStringLiteral("select ") + lista.join(QStringLiteral(", ")) + QStringLiteral(" from ") +
           tabelaJ(variante) + QStringLiteral(" inner join ") + tabelaRegras() +
           QStringLiteral(" on bin_and(j.M, regras.BIT) <> 0 order by 1,2,j.CSOSN_PROD_TIPOPESSOA");
}

// The fifteen counts are summed in one pass over j; the one-row result is then turned into one
// row per rule that has any (a left join keeps the aggregate on the outer side, computed once).
QString contaPrograma(Variante variante) {
    QStringList somas;
    std::vector<QString> descricoes, quantidades;
    for (const Regra &r : regras()) {
        const int bit = 1 << (r.numero - 1);
        somas << QStringLiteral("sum(case when bin_and(j.M, %1) <> 0 then 1 else 0 end) Q%2").arg(bit).arg(r.numero);
        descricoes.push_back(literal(r.descricao));
        quantidades.push_back(QStringLiteral("t.Q%1").arg(r.numero));
    }
    const QString quantidade = escolhaPorRegra(quantidades, QStringLiteral("regras.N"));
    return QStringLiteral("select ") + escolhaPorRegra(descricoes, QStringLiteral("regras.N")) +
           QStringLiteral(" DESC_ERRO, ") + quantidade + QStringLiteral(" QUANTIDADE from (select ") +
           somas.join(QStringLiteral(", ")) + QStringLiteral(" from ") + tabelaJ(variante) +
           QStringLiteral(") t left join ") + tabelaRegras() + QStringLiteral(" on ") + quantidade +
           QStringLiteral(" > 0 where regras.N is not null order by 1,2");
}

QString totalPrograma(Variante variante) {
    QStringList bits;
    for (const Regra &r : regras())
        bits << QStringLiteral("case when bin_and(j.M, %1) <> 0 then 1 else 0 end").arg(1 << (r.numero - 1));
    return QStringLiteral("select sum(") + bits.join(QStringLiteral(" + ")) + QStringLiteral(") QTD from ") +
           tabelaJ(variante);
}

const QString sqlFilial = QStringLiteral("select filiais.codempresa, filiais.nomeempresa from filiais");
const QString sqlFilialSelecionada =
    QStringLiteral("select filiais.nomeempresa from filiais where filiais.codempresa = :pcodempresa");

}  // namespace

const QStringList &nomesConsultas() {
    static const QStringList nomes{"qryFilial", "qryFilialSelecionada", "qryListagem", "qryListagemProdAtivos",
                                   "qryContaOcorrencias", "qryContaOcorrenciasProdAtivos", "qryQTD", "qryQTDAtivos"};
    return nomes;
}

QString sqlListagem(Variante variante, Forma forma) {
    return forma == Forma::Referencia ? listagemReferencia(variante) : listagemPrograma(variante);
}

QString sqlContaOcorrencias(Variante variante, Forma forma) {
    return forma == Forma::Referencia ? contaReferencia(variante) : contaPrograma(variante);
}

QString sqlTotal(Variante variante, Forma forma) {
    return forma == Forma::Referencia ? totalReferencia(variante) : totalPrograma(variante);
}

QString nomeListagem(Variante v) {
    return v == Variante::ProdutosAtivos ? QStringLiteral("qryListagemProdAtivos") : QStringLiteral("qryListagem");
}
QString nomeContaOcorrencias(Variante v) {
    return v == Variante::ProdutosAtivos ? QStringLiteral("qryContaOcorrenciasProdAtivos")
                                         : QStringLiteral("qryContaOcorrencias");
}
QString nomeTotal(Variante v) {
    return v == Variante::ProdutosAtivos ? QStringLiteral("qryQTDAtivos") : QStringLiteral("qryQTD");
}

QString sqlConsulta(const QString &nome, Forma forma) {
    if (nome == QLatin1String("qryFilial")) return sqlFilial;
    if (nome == QLatin1String("qryFilialSelecionada")) return sqlFilialSelecionada;
    for (Variante v : {Variante::TodosProdutos, Variante::ProdutosAtivos}) {
        if (nome == nomeListagem(v)) return sqlListagem(v, forma);
        if (nome == nomeContaOcorrencias(v)) return sqlContaOcorrencias(v, forma);
        if (nome == nomeTotal(v)) return sqlTotal(v, forma);
    }
    throw Erro(QStringLiteral("Consulta desconhecida: ") + nome);
}

QString sqlConsulta(const QString &nome) { return sqlConsulta(nome, Forma::Programa); }

QString sqlPisoContagem(Variante variante) {
    QString onde = QStringLiteral(" where ") + exclusao;
    if (variante == Variante::ProdutosAtivos) onde += QStringLiteral(" and ") + condicaoAtivos;
    return QStringLiteral("select count(*) ") + juncoes + onde;
}

}  // namespace verificacoes
