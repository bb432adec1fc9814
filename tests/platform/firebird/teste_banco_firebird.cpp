// The access contract on a real embedded database made in a temporary folder.
#include "platform/firebird/BancoFirebird.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace firebird;

// Readable failure output for text values.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class BancoFirebird : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pasta_.isValid());
        caminho_ = pasta_.filePath(u"teste.fdb"_qs);
        Conexao escrita;
        ParametrosConexao p;
        p.banco = caminho_;
        escrita.criarBanco(p);
        escrita.executar(u"create table filiais (codempresa integer not null primary key, "
                         "nomeempresa varchar(60), estado char(2), aliq numeric(9,2), "
                         "fator double precision, obs blob sub_type text)"_qs);
        auto lote = escrita.iniciarLote(u"insert into filiais values (?, ?, ?, ?, ?, ?)"_qs);
        lote->inserir({u"1"_qs, u"Matriz São Paulo"_qs, u"SP"_qs, u"18"_qs, u"0.5"_qs, u"ação"_qs});
        lote->inserir({u"2"_qs, u"Filial Maceió – Ção €"_qs, u"A"_qs, u"-0.05"_qs, QString(), QString()});
        lote->inserir({u"10"_qs, QString(), QString(), QString(), QString(), QString()});
        lote->confirmar();
    }

    ParametrosConexao leitura() const {
        ParametrosConexao p;
        p.banco = caminho_;
        return p;
    }

    QTemporaryDir pasta_;
    QString caminho_;
};

TEST_F(BancoFirebird, ParametrosNomeadosNasDuasGrafias) {
    Conexao c;
    c.abrir(leitura());
    Consulta q(u"select nomeempresa from filiais where codempresa = :pcodempresa "
               "or codempresa = :pCODEMPRESA + 8"_qs);
    q.setConexao(&c);
    EXPECT_EQ(q.nomesParametros(), QStringList{u"pcodempresa"_qs});
    q.setParametro(u"PCODEMPRESA"_qs, u"2"_qs);
    q.abrir();
    ASSERT_FALSE(q.fim());
    EXPECT_EQ(q.texto(u"NOMEEMPRESA"_qs), u"Filial Maceió – Ção €"_qs);
    q.proximo();
    ASSERT_FALSE(q.fim());
    EXPECT_TRUE(q.nulo(u"nomeempresa"_qs));  // codempresa 10 = 2 + 8, bound as text both times
    q.proximo();
    EXPECT_TRUE(q.fim());

    q.fechar();
    q.setParametro(u"pcodempresa"_qs, u"1"_qs);
    q.abrir();
    EXPECT_EQ(q.texto(u"nomeempresa"_qs), u"Matriz São Paulo"_qs);
    EXPECT_THROW(q.setParametro(u"pFILIAL"_qs, u"1"_qs), Erro);
}

TEST_F(BancoFirebird, CamposPorNomeSemCasoETextoDeCadaTipo) {
    Conexao c;
    c.abrir(leitura());
    Consulta q(u"select codempresa, nomeempresa, estado, aliq, fator, obs from filiais order by codempresa"_qs);
    q.setConexao(&c);
    q.abrir();
    ASSERT_EQ(q.numeroCampos(), 6);
    EXPECT_EQ(q.nomeCampo(0), u"CODEMPRESA"_qs);
    EXPECT_EQ(q.indiceCampo(u"NomeEmpresa"_qs), 1);
    EXPECT_EQ(q.indiceCampo(u"nada"_qs), -1);
    EXPECT_THROW(q.texto(u"nada"_qs), Erro);

    struct Linha { QString cod, nome, estado, aliq, fator, obs; qint64 inteiro; };
    const Linha esperadas[] = {
        {u"1"_qs, u"Matriz São Paulo"_qs, u"SP"_qs, u"18.00"_qs, u"0.5"_qs, u"ação"_qs, 1},
        {u"2"_qs, u"Filial Maceió – Ção €"_qs, u"A"_qs, u"-0.05"_qs, u""_qs, u""_qs, 2},  // CHAR(2) 'A' without pad
        {u"10"_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, 10},
    };
    for (const Linha &l : esperadas) {
        ASSERT_FALSE(q.fim());
        EXPECT_EQ(q.texto(u"codempresa"_qs), l.cod);
        EXPECT_EQ(q.inteiro(u"CODEMPRESA"_qs), l.inteiro);
        EXPECT_EQ(q.texto(u"nomeempresa"_qs), l.nome);
        EXPECT_EQ(q.texto(u"estado"_qs), l.estado);
        EXPECT_EQ(q.texto(u"aliq"_qs), l.aliq);
        EXPECT_EQ(q.texto(u"fator"_qs), l.fator);
        EXPECT_EQ(q.texto(u"obs"_qs), l.obs);
        q.proximo();
    }
    EXPECT_TRUE(q.fim());
}

TEST_F(BancoFirebird, NuloLidoComoTextoVazioEZero) {
    Conexao c;
    c.abrir(leitura());
    Consulta q(u"select nomeempresa, aliq, cast(null as integer) qtd from filiais where codempresa = 10"_qs);
    q.setConexao(&c);
    q.abrir();
    EXPECT_TRUE(q.nulo(u"nomeempresa"_qs));
    EXPECT_EQ(q.texto(u"nomeempresa"_qs), QString());
    EXPECT_EQ(q.inteiro(u"qtd"_qs), 0);
    EXPECT_EQ(q.inteiro(u"aliq"_qs), 0);

    // The sum over no rows: one row, a null total.
    Consulta soma(u"select sum(codempresa) QTD from filiais where codempresa < 0"_qs);
    soma.setConexao(&c);
    soma.abrir();
    ASSERT_FALSE(soma.fim());
    EXPECT_TRUE(soma.nulo(u"qtd"_qs));
    EXPECT_EQ(soma.inteiro(u"QTD"_qs), 0);
}

TEST_F(BancoFirebird, AcentosChegamEmWin1252NosDoisSentidos) {
    Conexao c;
    c.abrir(leitura());
    // The parameter's accents reach the server as WIN1252, or the comparison finds nothing;
    // one byte per character proves the stored form is WIN1252, not UTF-8.
    Consulta q(u"select codempresa, octet_length(nomeempresa) bytes, upper(nomeempresa) maiusculo "
               "from filiais where nomeempresa = :nome"_qs);
    q.setConexao(&c);
    const QString nome = u"Filial Maceió – Ção €"_qs;
    q.setParametro(u"nome"_qs, nome);
    q.abrir();
    ASSERT_FALSE(q.fim());
    EXPECT_EQ(q.texto(u"codempresa"_qs), u"2"_qs);
    EXPECT_EQ(q.inteiro(u"bytes"_qs), nome.size());
    EXPECT_EQ(q.texto(u"maiusculo"_qs), u"FILIAL MACEIÓ – ÇÃO €"_qs);
}

TEST_F(BancoFirebird, FalhasTrazemAMensagemDoFirebird) {
    Conexao c;
    ParametrosConexao p = leitura();
    p.banco = pasta_.filePath(u"nao-existe.fdb"_qs);
    try {
        c.abrir(p);
        FAIL() << "abriu um banco que não existe";
    } catch (const Erro &e) {
        EXPECT_TRUE(e.mensagem().contains(u"nao-existe.fdb"_qs)) << e.what();
        EXPECT_TRUE(e.mensagem().contains(u"No such file or directory"_qs)) << e.what();
    }
    EXPECT_FALSE(c.conectada());

    QFile lixo(pasta_.filePath(u"texto.fdb"_qs));
    ASSERT_TRUE(lixo.open(QIODevice::WriteOnly));
    lixo.write(QByteArray(20000, 'x'));
    lixo.close();
    p.banco = lixo.fileName();
    try {
        c.abrir(p);
        FAIL() << "abriu um arquivo que não é banco";
    } catch (const Erro &e) {
        EXPECT_TRUE(e.mensagem().contains(u"not a valid database"_qs)) << e.what();
    }
    EXPECT_FALSE(c.conectada());

    c.abrir(leitura());
    Consulta q(u"select nada from filiais"_qs);
    q.setConexao(&c);
    try {
        q.abrir();
        FAIL();
    } catch (const Erro &e) {
        EXPECT_TRUE(e.mensagem().contains(u"Column unknown"_qs)) << e.what();
        EXPECT_TRUE(e.mensagem().contains(u"NADA"_qs)) << e.what();
    }
    EXPECT_FALSE(q.aberta());
    EXPECT_THROW(q.abrir(), Erro);  // a failed open leaves nothing half-prepared behind
    q.setSql(u"select nomeempresa from filiais where codempresa = 1"_qs);
    q.abrir();
    EXPECT_EQ(q.texto(u"nomeempresa"_qs), u"Matriz São Paulo"_qs);
}

TEST_F(BancoFirebird, ConexaoDeLeituraNaoEscreve) {
    Conexao c;
    c.abrir(leitura());
    EXPECT_THROW(c.executar(u"delete from filiais"_qs), Erro);
    Consulta q(u"update filiais set nomeempresa = 'x'"_qs);
    q.setConexao(&c);
    try {
        q.abrir();
        FAIL() << "escreveu por uma conexão de leitura";
    } catch (const Erro &e) {
        EXPECT_TRUE(e.mensagem().contains(u"read-only transaction"_qs)) << e.what();
    }
    Consulta conta(u"select count(*) n from filiais where nomeempresa = 'x'"_qs);
    conta.setConexao(&c);
    conta.abrir();
    EXPECT_EQ(conta.inteiro(u"n"_qs), 0);
}

TEST_F(BancoFirebird, AbrirDuasVezesNaoTemEfeitoEFecharReabre) {
    Conexao c;
    c.abrir(leitura());
    Consulta id(u"select current_connection id from rdb$database"_qs);
    id.setConexao(&c);
    id.abrir();
    const QString primeira = id.texto(u"id"_qs);

    ParametrosConexao outro = leitura();
    outro.banco = u"/lugar/nenhum.fdb"_qs;
    c.abrir(outro);  // already open: nothing happens, the parameters stay
    EXPECT_EQ(c.parametros().banco, caminho_);
    id.abrir();      // already open: stays on its row
    EXPECT_EQ(id.texto(u"id"_qs), primeira);

    c.fechar();
    EXPECT_FALSE(c.conectada());
    EXPECT_FALSE(id.aberta());  // closing the connection closes its queries first
    c.abrir(leitura());
    id.abrir();
    EXPECT_NE(id.texto(u"id"_qs), primeira);
}

TEST_F(BancoFirebird, ContagemDeRegistrosNaoMoveOCursor) {
    Conexao c;
    c.abrir(leitura());
    Consulta q(u"select codempresa from filiais order by codempresa"_qs);
    q.setConexao(&c);
    q.abrir();
    q.proximo();
    EXPECT_EQ(q.contagemRegistros(), 3);
    EXPECT_EQ(q.texto(u"codempresa"_qs), u"2"_qs);
    QStringList resto;
    for (; !q.fim(); q.proximo())
        resto << q.texto(u"codempresa"_qs);
    EXPECT_EQ(resto, (QStringList{u"2"_qs, u"10"_qs}));
    EXPECT_EQ(q.contagemRegistros(), 3);
    EXPECT_EQ(q.texto(u"codempresa"_qs), u"10"_qs);  // the last row stays current at the end

    Consulta vazia(u"select codempresa from filiais where 1 = 0"_qs);
    vazia.setConexao(&c);
    vazia.abrir();
    EXPECT_TRUE(vazia.fim());
    EXPECT_EQ(vazia.contagemRegistros(), 0);
    EXPECT_EQ(vazia.texto(u"codempresa"_qs), QString());
}

TEST_F(BancoFirebird, ListaLidaInteiraNaMemoria) {
    Conexao c;
    c.abrir(leitura());
    Consulta q(u"select codempresa, nomeempresa from filiais order by codempresa"_qs);
    q.setConexao(&c);
    const Linhas l = lerTudo(q);
    EXPECT_EQ(l.campos, (QStringList{u"CODEMPRESA"_qs, u"NOMEEMPRESA"_qs}));
    EXPECT_EQ(l.indiceCampo(u"nomeEmpresa"_qs), 1);
    ASSERT_EQ(l.valores.size(), 3u);
    EXPECT_EQ(l.valores[0], (QStringList{u"1"_qs, u"Matriz São Paulo"_qs}));
    EXPECT_EQ(l.valores[2], (QStringList{u"10"_qs, u""_qs}));
}

// The shapes of statement the checks are written in, all in one statement.
TEST_F(BancoFirebird, ConstrucoesDasRegrasExecutam) {
    Conexao c;
    c.abrir(leitura());
    Consulta q(uR"(
        select 'B' || ' - ' || f.nomeempresa AS DESC_ERRO,
               case when f.estado = 'SP' then 'Sim' else case when f.estado = 'A' then 'Não' else null end end ST,
               round(f.aliq, 3) ALIQ,
               (select first 1 base from (select f2.aliq base from filiais f2 where f2.codempresa = f.codempresa
                                          union all select 100 from rdb$database) order by base desc) MAIOR
        from (select * from filiais) f
        left join filiais g on g.codempresa = f.codempresa
        where f.nomeempresa like '%Paulo' and f.codempresa not in (select codempresa from filiais where codempresa = :pCODEMPRESA)
        union all
        select 'A', '', '', '' from filiais having count(*) > '0'
        order by 1, 2)"_qs);
    q.setConexao(&c);
    q.setParametro(u"pCODEMPRESA"_qs, u"2"_qs);
    q.abrir();
    QStringList linhas;
    for (; !q.fim(); q.proximo())
        linhas << q.texto(u"desc_erro"_qs) + u'|' + q.texto(u"st"_qs) + u'|' + q.texto(u"aliq"_qs) + u'|' + q.texto(u"maior"_qs);
    EXPECT_EQ(linhas.join(u'\n').toStdString(), "A|||\nB - Matriz São Paulo|Sim|18.000|100.00");
}

TEST_F(BancoFirebird, LoteSemConfirmarDesfazENulosSaoNulos) {
    Conexao escrita;
    ParametrosConexao p = leitura();
    p.somenteLeitura = false;
    escrita.abrir(p);
    {
        auto lote = escrita.iniciarLote(u"insert into filiais (codempresa, nomeempresa) values (?, ?)"_qs);
        lote->inserir({u"50"_qs, u"some"_qs});
        EXPECT_THROW(lote->inserir({u"51"_qs, QString(61, u'x')}), Erro);  // the column's length holds
        EXPECT_THROW(lote->inserir({u"51"_qs}), Erro);
    }
    auto lote = escrita.iniciarLote(u"insert into filiais (codempresa, obs) values (?, ?)"_qs);
    lote->inserir({u"60"_qs, QString()});
    lote->inserir({u"61"_qs, u""_qs});
    lote->inserir({u"62"_qs, QString(4000, u'é')});  // longer than the first guess of a slot
    EXPECT_THROW(lote->inserir({u"1"_qs, u"repetido"_qs}), Erro);
    lote->confirmar();

    Consulta q(u"select codempresa, obs is null nulo, char_length(obs) n from filiais "
               "where codempresa >= 50 order by 1"_qs);
    q.setConexao(&escrita);
    const Linhas l = lerTudo(q);
    ASSERT_EQ(l.valores.size(), 3u);
    EXPECT_EQ(l.valores[0], (QStringList{u"60"_qs, u"True"_qs, u""_qs}));
    EXPECT_EQ(l.valores[1], (QStringList{u"61"_qs, u"False"_qs, u"0"_qs}));
    EXPECT_EQ(l.valores[2], (QStringList{u"62"_qs, u"False"_qs, u"4000"_qs}));
}

TEST_F(BancoFirebird, PastaComAcentoNoNome) {
    // Runs without a locale chosen by the program, as a plain test binary does.
    const QString pasta = pasta_.filePath(u"Cotação São João"_qs);
    ASSERT_TRUE(QDir().mkpath(pasta));
    ParametrosConexao p;
    p.banco = pasta + u"/base.fdb"_qs;
    {
        Conexao c;
        c.criarBanco(p);
        c.executar(u"create table t (a integer)"_qs);
    }
    Conexao c;
    c.abrir(p);
    EXPECT_TRUE(c.conectada());
    EXPECT_TRUE(QFile::exists(p.banco));
}

TEST_F(BancoFirebird, CriarBancoRecusaArquivoExistente) {
    Conexao c;
    ParametrosConexao p = leitura();
    EXPECT_THROW(c.criarBanco(p), Erro);
    EXPECT_FALSE(c.conectada());
    c.abrir(leitura());  // still a good database
    EXPECT_TRUE(c.conectada());
}

}  // namespace
