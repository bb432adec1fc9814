// The demo base is what the program is shown on: it must carry every kind of mistake the checks
// look for, the rows that must not be listed, and come out the same for the same seed.
#include "tools/gerador_demo.h"

#include "platform/firebird/BancoFirebird.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace firebird;

namespace {

// Our own statement of each rule, written differently from the program's (right() instead of
// "like", lists instead of chains), so that the two can check each other. Each is a condition
// on one product joined with one of its CSOSN rows and its fiscal class, for branch 1.
const char *const regras[15] = {
    /*1*/ "right(p.codtribut00, 2) in ('00','10','20','70') and (p.aliqicmsreg00 = 0 or p.baseicmsreg00 = 0 or p.aliqicmspdv = 0)",
    /*2*/ "(p.baseicmsreg00 > 100 or p.baseicmsreg01 > 100 or p.baseicmsreg02 > 100 or p.baseicmsreg03 > 100)",
    /*3*/ "right(p.codtribut00, 2) not in ('20','70') and right(p.codtribut01, 2) not in ('20','70') and "
          "right(p.codtribut02, 2) not in ('20','70') and right(p.codtribut03, 2) not in ('20','70') and "
          "(p.baseicmsreg00 between 0.0001 and 99.9999 or p.baseicmsreg01 between 0.0001 and 99.9999 or "
          "p.baseicmsreg02 between 0.0001 and 99.9999 or p.baseicmsreg03 between 0.0001 and 99.9999)",
    /*4*/ "right(p.codtribut00, 2) in ('30','40','41','60') and (p.aliqicmsreg00 > 0 or p.baseicmsreg00 > 0)",
    /*5*/ "p.substrib = 'N' and ('60' in (right(p.codtribut00, 2), right(p.codtribut01, 2), right(p.codtribut02, 2), "
          "right(p.codtribut03, 2)) or right(c.codcsosn, 3) = '500')",
    /*6*/ "p.substrib = 'S' and (right(p.codtribut00, 2) <> '60' or right(p.codtribut01, 2) <> '60' or "
          "right(p.codtribut02, 2) <> '60' or right(p.codtribut03, 2) <> '60' or right(c.codcsosn, 3) <> '500')",
    /*7*/ "p.codcest = '' and (right(p.codtribut00, 2) in ('60','10','30','70') or right(p.codtribut01, 2) in ('60','10','30','70') or "
          "right(p.codtribut02, 2) in ('60','10','30','70') or right(p.codtribut03, 2) in ('60','10','30','70'))",
    /*8*/ "c.tipopessoa = '0' and right(c.codcsosn, 3) = '101'",
    /*9*/ "p.aliqicmsreg00 <> 0 and p.aliqicmsreg00 not in (select e.aliqicm from estados e join filiais fi on fi.estado = e.estado "
          "where fi.codempresa = 1)",
    /*10*/ "p.substribsaida = 'S' and (right(p.codtribut00, 2) not in ('10','30','70') or right(p.codtribut01, 2) not in ('10','30','70') or "
           "right(p.codtribut02, 2) not in ('10','30','70') or right(p.codtribut03, 2) not in ('10','30','70'))",
    /*11*/ "p.substribsaida = 'N' and (right(p.codtribut00, 2) in ('10','30','70') or right(p.codtribut01, 2) in ('10','30','70') or "
           "right(p.codtribut02, 2) in ('10','30','70') or right(p.codtribut03, 2) in ('10','30','70'))",
    /*12*/ "p.substribsaida = 'S' and p.substrib = 'S'",
    /*13*/ "(f.codigoncm = '' or f.codigoncm is null)",
    /*14*/ "(right(p.codtribut00, 2) in ('20','70') or right(p.codtribut01, 2) in ('20','70') or right(p.codtribut02, 2) in ('20','70') or "
           "right(p.codtribut03, 2) in ('20','70')) and 100 in (p.baseicmsreg00, p.baseicmsreg01, p.baseicmsreg02, p.baseicmsreg03)",
    /*15*/ "((right(c.codcsosn, 3) = '101' and right(p.codtribut00, 2) not in ('00','20')) or "
           "(right(c.codcsosn, 3) = '102' and right(p.codtribut00, 2) not in ('40','41','50','51')) or "
           "(right(c.codcsosn, 3) in ('103','300','400') and right(p.codtribut00, 2) not in ('00','20','40','41','50','51')) or "
           "(right(c.codcsosn, 3) = '201' and right(p.codtribut00, 2) not in ('10','70')) or "
           "(right(c.codcsosn, 3) in ('202','203') and right(p.codtribut00, 2) not in ('10','30','70')) or "
           "(right(c.codcsosn, 3) = '500' and right(p.codtribut00, 2) <> '60'))",
};

const char *const juncoes =
    " from produto p left join csosn_prod c on c.codprod = p.codprod"
    " left join clasfisc f on f.codclasfis = p.codclasfis ";

qint64 valor(Conexao &conexao, const QString &sql) {
    Consulta q(sql);
    q.setConexao(&conexao);
    q.abrir();
    return q.inteiro(u"n"_qs);
}

QByteArray resumoDoConteudo(const QString &arquivo) {
    Conexao c;
    ParametrosConexao p;
    p.banco = arquivo;
    c.abrir(p);
    QCryptographicHash h(QCryptographicHash::Sha256);
    for (const char *sql : {"select * from produto order by codprod", "select * from csosn_prod order by 1, 2",
                            "select * from perfilimposto_itens order by 1, 2", "select * from filiais order by 1"}) {
        Consulta q(QString::fromUtf8(sql));
        q.setConexao(&c);
        for (q.abrir(); !q.fim(); q.proximo())
            for (int i = 0; i < q.numeroCampos(); ++i)
                h.addData((q.nulo(i) ? u"<null>"_qs : q.texto(i) + u'|').toUtf8());
    }
    return h.result().toHex();
}

class GeradorDemo : public ::testing::Test {
protected:
    // One small base for the suite, made by the first test that needs it.
    static const QString &base() {
        if (caminho_.isEmpty()) {
            pasta_ = new QTemporaryDir;
            caminho_ = pasta_->filePath(u"demo.fdb"_qs);
            resumo_ = ferramentas::gerarBaseDemo(caminho_, {600, 7});
        }
        return caminho_;
    }
    static void TearDownTestSuite() { delete pasta_; }

    static inline QTemporaryDir *pasta_ = nullptr;
    static inline QString caminho_;
    static inline ferramentas::ResumoDemo resumo_;
};

TEST_F(GeradorDemo, TrazCadaRegraProdutosExcluidosEFiliaisEmEstadosDiferentes) {
    Conexao c;
    ParametrosConexao p;
    p.banco = base();
    c.abrir(p);
    const QString exclusao = u"where p.codprod not in (select codprod from perfilimposto_itens) and "_qs;
    for (int r = 0; r < 15; ++r)
        EXPECT_GT(valor(c, u"select count(*) n"_qs + QString::fromUtf8(juncoes) + exclusao + QString::fromUtf8(regras[r])), 0)
            << "regra " << r + 1;

    QStringList todas;
    for (const char *r : regras)
        todas << u"("_qs + QString::fromUtf8(r) + u')';
    const qint64 comErro = valor(c, u"select count(distinct p.codprod) n"_qs + QString::fromUtf8(juncoes) + exclusao +
                                        u"("_qs + todas.join(u" or "_qs) + u')');
    const qint64 fora = valor(c, u"select count(*) n from produto where codprod not in (select codprod from perfilimposto_itens)"_qs);
    EXPECT_GT(comErro * 100, fora * 12) << comErro << " de " << fora;  // about one in six
    EXPECT_LT(comErro * 100, fora * 25) << comErro << " de " << fora;

    // Tax-profile products with mistakes of their own, which the program must leave out.
    EXPECT_GT(valor(c, u"select count(distinct p.codprod) n"_qs + QString::fromUtf8(juncoes) +
                           u"where p.codprod in (select codprod from perfilimposto_itens) and ("_qs + todas.join(u" or "_qs) + u')'),
              0);
    EXPECT_GT(valor(c, u"select count(*) n from (select codprod from csosn_prod group by codprod having count(*) >= 2)"_qs), 0);
    EXPECT_GT(valor(c, u"select count(*) n from produto where ativo = 'N'"_qs), 0);
    EXPECT_GT(valor(c, u"select count(*) n from produto where ativo is null"_qs), 0);
    EXPECT_GT(valor(c, u"select count(*) n from produto where codcest is null"_qs), 0);
    EXPECT_GT(valor(c, u"select count(*) n from produto where codtribut03 is null"_qs), 0);
    EXPECT_GT(valor(c, u"select count(*) n from produto where codprod not in (select codprod from csosn_prod)"_qs), 0);
    EXPECT_GT(valor(c, u"select count(*) n from produto where descricao similar to '%[ÃÕÁÉÍÓÚÂÊÔÇ]%'"_qs), 0);
    EXPECT_EQ(valor(c, u"select count(*) n from produto"_qs), 600);

    EXPECT_GE(valor(c, u"select count(*) n from filiais"_qs), 4);
    EXPECT_GE(valor(c, u"select count(distinct e.aliqicm) n from filiais f join estados e on e.estado = f.estado"_qs), 4);
    EXPECT_EQ(resumo_.filiais, valor(c, u"select count(*) n from filiais"_qs));
}

TEST_F(GeradorDemo, MesmaSementeMesmaBase) {
    QTemporaryDir outra;
    const QString a = outra.filePath(u"a.fdb"_qs), b = outra.filePath(u"b.fdb"_qs);
    ferramentas::gerarBaseDemo(a, {600, 7});
    ferramentas::gerarBaseDemo(b, {600, 8});
    EXPECT_EQ(resumoDoConteudo(a), resumoDoConteudo(base()));
    EXPECT_NE(resumoDoConteudo(b), resumoDoConteudo(base()));
}

TEST_F(GeradorDemo, NaoSubstituiNemDeixaRestos) {
    QTemporaryDir outra;
    const QString existente = outra.filePath(u"erp.fdb"_qs);
    QFile f(existente);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("dados do ERP");
    f.close();
    EXPECT_THROW(ferramentas::gerarBaseDemo(existente, {50, 1}), Erro);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("dados do ERP"));
    f.close();

    EXPECT_THROW(ferramentas::gerarBaseDemo(outra.filePath(u"sem/pasta.fdb"_qs), {50, 1}), Erro);
    EXPECT_EQ(QDir(outra.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{u"erp.fdb"_qs});
}

TEST_F(GeradorDemo, LinhaDeComando) {
    const QString programa = QStringLiteral(QUELVORA_BUILD "/gerar-base-demo");
    QTemporaryDir outra;
    const QString arquivo = outra.filePath(u"cli.fdb"_qs);
    struct Caso {
        QStringList argumentos;
        int status;
        const char *saida;  // expected in stdout or stderr
    };
    const Caso casos[] = {
        {{arquivo, u"--produtos"_qs, u"40"_qs, u"--semente"_qs, u"3"_qs}, 0, "40 produtos"},
        {{arquivo}, 1, "já existe"},
        {{outra.filePath(u"x.fdb"_qs), u"--produtos"_qs, u"dez"_qs}, 2, "Número de produtos inválido"},
        {{}, 2, "uso: gerar-base-demo"},
    };
    for (const Caso &c : casos) {
        QProcess p;
        p.start(programa, c.argumentos);
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString saida = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        EXPECT_EQ(p.exitCode(), c.status) << saida.toStdString();
        EXPECT_TRUE(saida.contains(QString::fromUtf8(c.saida))) << saida.toStdString();
    }
    EXPECT_FALSE(QFile::exists(outra.filePath(u"x.fdb"_qs)));
}

}  // namespace
