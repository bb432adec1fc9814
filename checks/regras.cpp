#include "checks/regras.h"

namespace verificacoes {
namespace {

const QStringList slotsIcms{QStringLiteral("00"), QStringLiteral("01"), QStringLiteral("02"),
                        QStringLiteral("03")};

QString cst(const QString &slot) { return QStringLiteral("produto.codtribut") + slot; }
QString base(const QString &slot) { return QStringLiteral("produto.baseicmsreg") + slot; }

// "a like '%x' or a like '%y' ..." over one column.
QString algumFinal(const QString &coluna, const QStringList &finais) {
    QStringList partes;
    for (const QString &f : finais) partes << coluna + QStringLiteral(" like '%") + f + '\'';
    return partes.join(QStringLiteral(" or "));
}

QString nenhumFinal(const QString &coluna, const QStringList &finais) {
    QStringList partes;
    for (const QString &f : finais) partes << coluna + QStringLiteral(" not like '%") + f + '\'';
    return partes.join(QStringLiteral(" and "));
}

// One alternative per slot and per ending: "prefixo and produto.codtributSS like '%FF'".
QStringList porSlotEFinal(const QString &prefixo, const QStringList &finais) {
    QStringList alternativas;
    for (const QString &s : slotsIcms)
        for (const QString &f : finais)
            alternativas << prefixo + QStringLiteral(" and ") + cst(s) + QStringLiteral(" like '%") + f + '\'';
    return alternativas;
}

QStringList regra1() {
    return {QStringLiteral("(") + algumFinal(cst("00"), {"00", "10", "20", "70"}) +
            QStringLiteral(") and (produto.aliqicmsreg00 = 0 or produto.baseicmsreg00 = 0 or "
                           "produto.aliqicmspdv = 0)")};
}

QStringList regra2() {
    QStringList a;
    for (const QString &s : slotsIcms) a << base(s) + QStringLiteral(" > 100");
    return a;
}

QStringList regra3() {
    QStringList semReducao;
    for (const QString &s : slotsIcms) semReducao << nenhumFinal(cst(s), {"20", "70"});
    const QString prefixo = semReducao.join(QStringLiteral(" and "));
    QStringList a;
    for (const QString &s : slotsIcms)
        a << prefixo + QStringLiteral(" and ") + base(s) + QStringLiteral(" < 100 and ") + base(s) +
                 QStringLiteral(" > 0");
    return a;
}

QStringList regra4() {
    return {QStringLiteral("(") + algumFinal(cst("00"), {"30", "40", "41", "60"}) +
            QStringLiteral(") and (produto.aliqicmsreg00 > 0 or produto.baseicmsreg00 > 0)")};
}

QStringList regra5() {
    QStringList a = porSlotEFinal(QStringLiteral("produto.substrib = 'N'"), {"60"});
    a << QStringLiteral("produto.substrib = 'N' and csosn_prod.codcsosn like '%500'");
    return a;
}

QStringList regra6() {
    QStringList a;
    for (const QString &s : slotsIcms)
        a << QStringLiteral("produto.substrib = 'S' and ") + cst(s) + QStringLiteral(" not like '%60' and ") +
                 cst(s) + QStringLiteral(" <> '' and ") + cst(s) + QStringLiteral(" is not null");
    a << QStringLiteral("produto.substrib = 'S' and csosn_prod.codcsosn not like '%500' and "
                        "csosn_prod.codcsosn <> '' and csosn_prod.codcsosn is not null");
    return a;
}

QStringList regra10() {
    QStringList a;
    for (const QString &s : slotsIcms)
        a << QStringLiteral("produto.substribsaida = 'S' and ") + cst(s) + QStringLiteral(" is not null and ") +
                 cst(s) + QStringLiteral(" <> '' and ") + nenhumFinal(cst(s), {"10", "30", "70"});
    return a;
}

QStringList regra14() {
    QStringList reduzido, cem;
    for (const QString &s : slotsIcms) {
        reduzido << algumFinal(cst(s), {"20", "70"});
        cem << base(s) + QStringLiteral(" = 100");
    }
    return {QStringLiteral("(") + reduzido.join(QStringLiteral(" or ")) + QStringLiteral(") and (") +
            cem.join(QStringLiteral(" or ")) + ')'};
}

QStringList regra15() {
    // CSOSN ending -> the slot-00 CST endings it allows.
    const std::pair<const char *, QStringList> tabela[] = {
        {"101", {"00", "20"}},
        {"102", {"40", "41", "50", "51"}},
        {"103", {"00", "20", "40", "41", "50", "51"}},
        {"201", {"10", "70"}},
        {"202", {"10", "30", "70"}},
        {"203", {"10", "30", "70"}},
        {"300", {"00", "20", "40", "41", "50", "51"}},
        {"400", {"00", "20", "40", "41", "50", "51"}},
        {"500", {"60"}},
    };
    QStringList a;
    for (const auto &[csosn, permitidos] : tabela)
        a << QStringLiteral("csosn_prod.codcsosn like '%") + QLatin1String(csosn) + QStringLiteral("' and ") +
                 nenhumFinal(cst("00"), permitidos);
    return a;
}

std::array<Regra, 15> montar() {
    using B = BaseMostrada;
    using F = FlagMostrada;
    const QString regra9 = QStringLiteral(
        "produto.aliqicmsreg00 <> 0 and produto.codprod not in (select produto.codprod from produto "
        "inner join estados on produto.aliqicmsreg00 = estados.aliqicm where estados.estado in "
        "(select filiais.estado from filiais where filiais.estado = estados.estado and "
        "filiais.codempresa = :pCODEMPRESA))");
    // numero, descricao, alternativas, slotsIcms, csosn, base, aliquotas, cest, st entrada, st saida
    return {{
        {1, QStringLiteral("CSTs TRIBUTADOS SEM BASE OU ALIQUOTA"), regra1(), true, false, B::Slot00, true, false, F::Nenhuma, F::Nenhuma},
        {2, QStringLiteral("BASE MAIOR QUE 100%"), regra2(), true, false, B::MaiorAcima100, false, false, F::Nenhuma, F::Nenhuma},
        {3, QStringLiteral("BASE REDUZIDA EM CSTs INCORRETOS"), regra3(), true, false, B::MaiorAbaixo100, false, false, F::Nenhuma, F::Nenhuma},
        {4, QStringLiteral("CSTs NAO TRIBUTADOS COM BASE E OU ALIQUOTA"), regra4(), true, false, B::Slot00, true, false, F::Nenhuma, F::Nenhuma},
        {5, QStringLiteral("CST 60 OU CSOSN 500 SEM ST NA ENTRADA"), regra5(), true, true, B::Nenhuma, false, false, F::SoNao, F::Nenhuma},
        {6, QStringLiteral("CSTs DIFERENTES DE 60 OU CSOSN 500 COM ST NA ENTRADA"), regra6(), true, true, B::Nenhuma, false, false, F::SoSim, F::Nenhuma},
        {7, QStringLiteral("PRODUTOS ST SEM CEST"), porSlotEFinal(QStringLiteral("produto.codcest = ''"), {"60", "10", "30", "70"}), true, true, B::Nenhuma, false, true, F::Nenhuma, F::Nenhuma},
        {8, QStringLiteral("CSOSN INDEVIDO PARA PESSOA FISICA"), {QStringLiteral("csosn_prod.tipopessoa = '0' and csosn_prod.codcsosn like '%101'")}, false, true, B::Nenhuma, false, false, F::Nenhuma, F::Nenhuma},
        {9, QStringLiteral("ALIQUOTA INCORRETA DE ACORDO COM A UF"), {regra9}, true, true, B::Nenhuma, true, false, F::Nenhuma, F::Nenhuma},
        {10, QStringLiteral("ST NA SAIDA MARCADO INCORRETAMENTE"), regra10(), true, true, B::Nenhuma, false, false, F::Nenhuma, F::SoSim},
        {11, QStringLiteral("PRODUTOS COM DESTAQUE DE ST INCORRETOS"), porSlotEFinal(QStringLiteral("produto.substribsaida = 'N'"), {"10", "30", "70"}), true, true, B::Nenhuma, false, false, F::Nenhuma, F::Texto},
        {12, QStringLiteral("ST ENTRADA E ST SAIDA MARCADOS"), {QStringLiteral("produto.substribsaida = 'S' and produto.substrib = 'S'")}, true, true, B::Nenhuma, false, false, F::Texto, F::Texto},
        {13, QStringLiteral("PRODUTOS SEM NCM"), {QStringLiteral("clasfisc.codigoncm = ''"), QStringLiteral("clasfisc.codigoncm is null")}, false, true, B::Nenhuma, false, false, F::Nenhuma, F::Nenhuma},
        {14, QStringLiteral("CSTs DE BASE REDUZIDA COM BASE IGUAL A 100%"), regra14(), true, false, B::MaiorIgual100, true, false, F::Nenhuma, F::Nenhuma},
        {15, QStringLiteral("CSOSN INCOMPATIVEL COM O CST"), regra15(), true, true, B::Nenhuma, false, false, F::Nenhuma, F::Nenhuma},
    }};
}

}  // namespace

const std::array<Regra, 15> &regras() {
    static const std::array<Regra, 15> tabela = montar();
    return tabela;
}

const QStringList &colunasListagem() {
    static const QStringList colunas{
        "DESC_ERRO", "PRODUTO", "GRUPO", "SUBGRUPO", "CST", "CST_REG01", "CST_REG02", "CST_REG03",
        "CSOSN", "BASEICMS", "ALIQICMS", "ALIQECF", "CEST", "STENTRADA", "STSAIDA", "CODNCM"};
    return colunas;
}

}  // namespace verificacoes
