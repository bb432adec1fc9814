#include "tools/gerador_demo.h"

#include "tools/aleatorio.h"
#include "tools/catalogo_demo.h"
#include "tools/esquema_erp.h"

#include "platform/firebird/BancoFirebird.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <array>
#include <set>

namespace ferramentas {
namespace {

// Column order of the product insert.
enum Coluna {
    cCodprod, cDescricao, cCodgrupo, cCodsubgrupo, cCodclasfis,
    cCst00, cCst01, cCst02, cCst03,
    cBase00, cBase01, cBase02, cBase03,
    cAliq, cAliqPdv, cSubstrib, cSubstribSaida, cCest, cAtivo,
    nColunas
};

const char *const insertProduto =
    "insert into produto (codprod, descricao, codgrupo, codsubgrupo, codclasfis, "
    "codtribut00, codtribut01, codtribut02, codtribut03, "
    "baseicmsreg00, baseicmsreg01, baseicmsreg02, baseicmsreg03, "
    "aliqicmsreg00, aliqicmspdv, substrib, substribsaida, codcest, ativo) "
    "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

struct Csosn {
    int codprod;
    char tipopessoa;  // '0' natural person, '1' company
    const char *codigo;
};

struct Produto {
    std::array<QString, nColunas> c;
    const char *csosnPJ = nullptr;  // row for tipopessoa '1', nullptr: no row
    const char *csosnPF = nullptr;  // row for tipopessoa '0'
};

struct ModeloPlano {
    const ModeloDemo *modelo;
    int grupo;
    int subgrupo;
    int classe;  // codclasfis of its NCM
    QStringList variantes;
    QStringList tamanhos;
};

// The fiscal classes that no correct registration uses: for products without NCM.
struct ClassesSemNcm {
    int vazio;   // codigoncm ''
    int nulo;    // codigoncm null
    int ausente; // a code with no clasfisc row
};

// Which mistakes a product of each treatment can plausibly carry, by rule number.
const std::vector<int> &regrasPossiveis(Regime r) {
    static const std::vector<int> tributado{1, 2, 3, 6, 8, 9, 10, 11, 13, 14, 15};
    static const std::vector<int> substituicao{4, 5, 7, 10, 12, 13, 15};
    static const std::vector<int> isento{4, 6, 13, 15};
    static const std::vector<int> reduzida{1, 2, 8, 9, 13, 14};
    static const std::vector<int> comSt{1, 7, 11, 13};
    switch (r) {
    case Regime::Tributado: return tributado;
    case Regime::Substituicao: return substituicao;
    case Regime::Isento: return isento;
    case Regime::BaseReduzida: return reduzida;
    case Regime::TributadoComSt: return comSt;
    }
    return tributado;
}

QString utf8(const char *s) { return QString::fromUtf8(s); }

template <class T>
const T &escolher(Aleatorio &a, const std::vector<T> &v) { return v[std::size_t(a.ate(int(v.size())))]; }
const QString &escolher(Aleatorio &a, const QStringList &v) { return v[a.ate(int(v.size()))]; }

void registroCorreto(Produto &p, const ModeloPlano &m, Aleatorio &a) {
    // Most goods are national (origin 0); some are imported (1) or imported and bought here (2).
    const int sorteio = a.ate(100);
    const QString origem = sorteio < 92 ? u"0"_qs : (sorteio < 97 ? u"2"_qs : u"1"_qs);
    QString cst, base, aliq, pdv, st = u"N"_qs, stSaida = u"N"_qs;
    switch (m.modelo->regime) {
    case Regime::Tributado: cst = u"00"_qs; base = u"100"_qs; aliq = pdv = u"18"_qs; break;
    case Regime::Substituicao: cst = u"60"_qs; base = aliq = pdv = u"0"_qs; st = u"S"_qs; break;
    case Regime::Isento: cst = u"40"_qs; base = aliq = pdv = u"0"_qs; break;
    case Regime::BaseReduzida: cst = u"20"_qs; base = u"38.8889"_qs; aliq = u"18"_qs; pdv = u"7"_qs; break;
    case Regime::TributadoComSt: cst = u"10"_qs; base = u"100"_qs; aliq = pdv = u"18"_qs; stSaida = u"S"_qs; break;
    }
    for (int s = 0; s < 4; ++s) {
        p.c[cCst00 + s] = origem + cst;
        p.c[cBase00 + s] = base;
    }
    p.c[cAliq] = aliq;
    p.c[cAliqPdv] = pdv;
    p.c[cSubstrib] = st;
    p.c[cSubstribSaida] = stSaida;
    // Outside the CEST list the ERP leaves the code empty, or null on older registrations.
    p.c[cCest] = m.modelo->cest ? utf8(m.modelo->cest) : (a.chance(0.5) ? u""_qs : QString());
    p.c[cCodclasfis] = QString::number(m.classe);

    const char *pj = nullptr, *pf = nullptr;
    switch (m.modelo->regime) {
    case Regime::Tributado:
    case Regime::BaseReduzida: pj = "101"; pf = "103"; break;
    case Regime::Substituicao: pj = pf = "500"; break;
    case Regime::Isento: pj = pf = "102"; break;
    case Regime::TributadoComSt: pj = "201"; pf = "202"; break;
    }
    const int linhas = a.ate(100);
    p.csosnPJ = linhas < 75 ? pj : nullptr;
    p.csosnPF = linhas < 55 ? pf : nullptr;
}

void errar(int regra, Produto &p, Regime regime, Aleatorio &a, const ClassesSemNcm &semNcm) {
    const QString origem = p.c[cCst00].left(1);
    const int slot = 1 + a.ate(3);
    switch (regra) {
    case 1: {  // taxed, but no base, no rate or no point-of-sale rate
        static const Coluna quais[] = {cAliq, cBase00, cAliqPdv};
        p.c[quais[a.ate(3)]] = u"0"_qs;
        break;
    }
    case 2:
        p.c[cBase00 + slot] = regime == Regime::BaseReduzida ? u"138.8889"_qs : escolher(a, QStringList{u"120"_qs, u"150"_qs, u"101.5"_qs});
        break;
    case 3:
        p.c[cBase00 + a.ate(4)] = escolher(a, QStringList{u"60"_qs, u"61.1111"_qs, u"41.6667"_qs});
        break;
    case 4:
        if (regime == Regime::Substituicao) {
            p.c[cAliq] = p.c[cAliqPdv] = u"18"_qs;
        } else if (a.chance(0.5)) {
            p.c[cAliq] = u"18"_qs;
        } else {
            p.c[cBase00] = u"100"_qs;
        }
        break;
    case 5: p.c[cSubstrib] = u"N"_qs; break;
    case 6: p.c[cSubstrib] = u"S"_qs; break;
    case 7: p.c[cCest] = u""_qs; break;
    case 8: p.csosnPF = "101"; break;
    case 9:
        if (regime == Regime::BaseReduzida)
            p.c[cAliq] = u"12"_qs;
        else
            p.c[cAliq] = p.c[cAliqPdv] = escolher(a, QStringList{u"25"_qs, u"12"_qs, u"7"_qs, u"17"_qs});
        break;
    case 10: p.c[cSubstribSaida] = u"S"_qs; break;
    case 11:
        if (regime == Regime::TributadoComSt)
            p.c[cSubstribSaida] = u"N"_qs;
        else
            p.c[cCst00 + slot] = origem + escolher(a, QStringList{u"10"_qs, u"30"_qs, u"70"_qs});
        break;
    case 12: p.c[cSubstribSaida] = u"S"_qs; break;
    case 13: {
        const int qual = a.ate(4);
        p.c[cCodclasfis] = qual == 0 ? QString() : QString::number(qual == 1 ? semNcm.vazio : qual == 2 ? semNcm.nulo : semNcm.ausente);
        break;
    }
    case 14:
        if (regime == Regime::BaseReduzida)
            p.c[cBase00] = u"100"_qs;  // the reduction was never filled in
        else
            p.c[cCst01] = origem + u"20"_qs;  // a reduced-base CST in another slot, bases still 100
        break;
    case 15:
        switch (regime) {
        case Regime::Substituicao: p.csosnPJ = "102"; break;
        case Regime::Isento: p.csosnPJ = "101"; break;
        default: p.csosnPJ = a.chance(0.5) ? "500" : "102"; break;
        }
        break;
    }
}

QString descricao(const ModeloPlano &m, Aleatorio &a) {
    const QString &tamanho = escolher(a, m.tamanhos);
    QString d = utf8(m.modelo->nome) + u' ' + escolher(a, m.variantes);
    // Goods sold by weight or by the unit, fresh from the counter, carry no brand.
    if (tamanho != u"KG"_qs && tamanho != u"UN"_qs)
        d += u' ' + utf8(escolher(a, marcasDemo()));
    return d + u' ' + tamanho;
}

void inserirLinhas(firebird::Conexao &c, const QString &sql, const std::vector<QStringList> &linhas) {
    auto lote = c.iniciarLote(sql);
    for (const QStringList &l : linhas)
        lote->inserir(l);
    lote->confirmar();
}

ResumoDemo preencher(firebird::Conexao &c, const OpcoesDemo &opcoes) {
    Aleatorio a(opcoes.semente);
    ResumoDemo resumo;

    std::vector<ModeloPlano> modelos;
    QHash<QString, int> classePorNcm;
    std::vector<QStringList> grupos, subgrupos, classes;
    const auto &catalogo = catalogoDemo();
    for (std::size_t g = 0; g < catalogo.size(); ++g) {
        grupos.push_back({QString::number(g + 1), utf8(catalogo[g].nome)});
        for (std::size_t s = 0; s < catalogo[g].subgrupos.size(); ++s) {
            const SubgrupoDemo &sub = catalogo[g].subgrupos[s];
            subgrupos.push_back({QString::number(g + 1), QString::number(s + 1), utf8(sub.nome)});
            for (const ModeloDemo &m : sub.modelos) {
                const QString ncm = utf8(m.ncm);
                if (!classePorNcm.contains(ncm)) {
                    classePorNcm.insert(ncm, int(classes.size()) + 1);
                    classes.push_back({QString::number(classes.size() + 1), ncm});
                }
                modelos.push_back({&m, int(g) + 1, int(s) + 1, classePorNcm.value(ncm),
                                   utf8(m.variantes).split(u'|'), utf8(m.tamanhos).split(u'|')});
            }
        }
    }
    const ClassesSemNcm semNcm{int(classes.size()) + 1, int(classes.size()) + 2, 99999};
    classes.push_back({QString::number(semNcm.vazio), u""_qs});
    classes.push_back({QString::number(semNcm.nulo), QString()});

    inserirLinhas(c, u"insert into gruprod (codgrupo, descricao) values (?, ?)"_qs, grupos);
    inserirLinhas(c, u"insert into subgrup (codgrupo, codsubgrupo, descricao) values (?, ?, ?)"_qs, subgrupos);
    inserirLinhas(c, u"insert into clasfisc (codclasfis, codigoncm) values (?, ?)"_qs, classes);

    std::vector<QStringList> estados;
    for (const EstadoDemo &e : estadosDemo())
        estados.push_back({utf8(e.uf), utf8(e.aliquota)});
    inserirLinhas(c, u"insert into estados (estado, aliqicm) values (?, ?)"_qs, estados);
    std::vector<QStringList> filiais;
    for (const FilialDemo &f : filiaisDemo())
        filiais.push_back({QString::number(f.codigo), utf8(f.nome), utf8(f.uf)});
    inserirLinhas(c, u"insert into filiais (codempresa, nomeempresa, estado) values (?, ?, ?)"_qs, filiais);
    resumo.filiais = int(filiais.size());

    // Rules not yet given to any product come first, so that even a small base shows all fifteen.
    std::set<int> pendentes;
    for (int r = 1; r <= 15; ++r)
        pendentes.insert(r);
    auto sortearRegra = [&](Regime regime) {
        const auto &possiveis = regrasPossiveis(regime);
        for (int r : possiveis)
            if (pendentes.erase(r))
                return r;
        return escolher(a, possiveis);
    };

    std::vector<Csosn> csosn;
    std::vector<int> perfil;
    csosn.reserve(std::size_t(opcoes.produtos) * 2);
    auto lote = c.iniciarLote(QString::fromUtf8(insertProduto));
    QStringList linha;
    for (int codigo = 1; codigo <= opcoes.produtos; ++codigo) {
        const ModeloPlano &m = escolher(a, modelos);
        const Regime regime = m.modelo->regime;
        Produto p;
        p.c[cCodprod] = QString::number(codigo);
        p.c[cDescricao] = descricao(m, a);
        p.c[cCodgrupo] = QString::number(m.grupo);
        p.c[cCodsubgrupo] = a.chance(0.01) ? QString() : QString::number(m.subgrupo);
        registroCorreto(p, m, a);

        const bool noPerfil = a.chance(0.04);
        const bool comErro = a.chance(noPerfil ? 0.4 : 1.0 / 6.0);
        if (comErro) {
            ++resumo.comInconsistencia;
            errar(noPerfil ? escolher(a, regrasPossiveis(regime)) : sortearRegra(regime), p, regime, a, semNcm);
            if (a.chance(0.1))
                errar(escolher(a, regrasPossiveis(regime)), p, regime, a, semNcm);
        } else {
            // Older registrations: a slot never filled in, an ST-on-exit flag never set.
            if (a.chance(0.04))
                p.c[cCst03] = p.c[cBase03] = QString();
            if (regime != Regime::TributadoComSt && a.chance(0.02))
                p.c[cSubstribSaida] = QString();
        }
        const int ativo = a.ate(100);
        p.c[cAtivo] = ativo < 92 ? u"S"_qs : (ativo < 98 ? u"N"_qs : QString());
        if (ativo >= 92)
            ++resumo.inativos;
        if (noPerfil) {
            perfil.push_back(codigo);
            ++resumo.noPerfil;
        }
        if (p.csosnPF)
            csosn.push_back({codigo, '0', p.csosnPF});
        if (p.csosnPJ)
            csosn.push_back({codigo, '1', p.csosnPJ});

        linha = QStringList(p.c.begin(), p.c.end());
        lote->inserir(linha);
    }
    lote->confirmar();
    lote.reset();
    resumo.produtos = opcoes.produtos;

    auto loteCsosn = c.iniciarLote(u"insert into csosn_prod (codprod, tipopessoa, codcsosn) values (?, ?, ?)"_qs);
    for (const Csosn &r : csosn)
        loteCsosn->inserir({QString::number(r.codprod), QString(QLatin1Char(r.tipopessoa)), utf8(r.codigo)});
    loteCsosn->confirmar();
    resumo.linhasCsosn = int(csosn.size());

    auto lotePerfil = c.iniciarLote(u"insert into perfilimposto_itens (codperfil, codprod) values (?, ?)"_qs);
    for (std::size_t i = 0; i < perfil.size(); ++i)
        lotePerfil->inserir({QString::number(1 + int(i % 3)), QString::number(perfil[i])});
    lotePerfil->confirmar();
    return resumo;
}

}  // namespace

ResumoDemo gerarBaseDemo(const QString &arquivo, const OpcoesDemo &opcoes) {
    const QFileInfo destino(arquivo);
    if (destino.exists())
        throw Erro(u"O arquivo já existe e não será substituído: %1"_qs.arg(arquivo));
    const QString parcial = destino.absolutePath() + u"/."_qs + destino.fileName() + u".parcial-"_qs +
                            QString::number(QCoreApplication::applicationPid());
    if (QFileInfo::exists(parcial))
        throw Erro(u"Já existe um arquivo temporário de outra geração: %1"_qs.arg(parcial));

    ResumoDemo resumo;
    {
        firebird::Conexao c;
        try {
            firebird::ParametrosConexao p;
            p.banco = parcial;
            p.somenteLeitura = false;
            p.gravacaoForcada = false;
            c.criarBanco(p);
            criarTabelasErp(c);
            resumo = preencher(c, opcoes);
            criarIndicesErp(c);
            c.fechar();
            // The base is handed over as a database should be: flushed at every commit.
            p.gravacaoForcada = true;
            c.abrir(p);
            c.fechar();
        } catch (const Erro &e) {
            const bool criado = c.conectada();
            c.fechar();
            if (criado)
                QFile::remove(parcial);
            throw Erro(u"Não foi possível criar a base demo %1: %2"_qs.arg(arquivo, e.mensagem()));
        }
    }
    // rename() never replaces: a file that appeared meanwhile under the name is kept.
    if (!QFile::rename(parcial, destino.absoluteFilePath())) {
        QFile::remove(parcial);
        throw Erro(u"Não foi possível dar o nome %1 à base demo (o arquivo já existe ou a pasta não permite)."_qs.arg(arquivo));
    }
    return resumo;
}

}  // namespace ferramentas
