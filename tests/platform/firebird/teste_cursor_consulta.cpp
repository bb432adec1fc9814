// The report engine walks a query back and forth, by bookmark, and asks for typed values.
#include "platform/firebird/CursorConsulta.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace firebird;

namespace {

class CursorSobreConsulta : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pasta_.isValid());
        p_.banco = pasta_.filePath(u"c.fdb"_qs);
        Conexao escrita;
        escrita.criarBanco(p_);
        escrita.executar(u"create table t (cod integer, nome varchar(30), sigla char(2), aliq numeric(9,2), "
                         "grande bigint, quando timestamp, obs blob sub_type text)"_qs);
        auto lote = escrita.iniciarLote(u"insert into t values (?, ?, ?, ?, ?, ?, ?)"_qs);
        lote->inserir({u"1"_qs, u"Pão"_qs, u"SP"_qs, u"18.5"_qs, u"9000000000"_qs, u"2024-03-05 10:20:30"_qs, u"memória"_qs});
        lote->inserir({u"2"_qs, QString(), QString(), QString(), QString(), QString(), QString()});
        lote->inserir({u"3"_qs, u"Café"_qs, u"A"_qs, u"0"_qs, u"1"_qs, QString(), QString()});
        lote->confirmar();
        conexao_.abrir(leitura());
        consulta_.setConexao(&conexao_);
    }
    ParametrosConexao leitura() const {
        ParametrosConexao p = p_;
        p.somenteLeitura = true;
        return p;
    }

    QTemporaryDir pasta_;
    ParametrosConexao p_;
    Conexao conexao_;
    Consulta consulta_{u"select cod, nome, sigla, aliq, grande, quando, obs from t order by cod"_qs};
};

TEST_F(CursorSobreConsulta, AndaNosDoisSentidosEVoltaAoMarcador) {
    CursorConsulta c(consulta_);
    int aberturas = 0, fechamentos = 0;
    c.AfterOpen = [&] { ++aberturas; };
    c.BeforeClose = [&] { ++fechamentos; };
    EXPECT_FALSE(c.Active());
    c.Open();
    c.Open();
    EXPECT_EQ(aberturas, 1);
    ASSERT_EQ(c.RecordCount(), 3);
    const int cod = c.FieldIndex(u"COD"_qs);
    EXPECT_EQ(c.Value(cod).toInt(), 1);
    c.Next();
    const auto marcador = c.GetBookmark();
    c.Next();
    EXPECT_EQ(c.Value(cod).toInt(), 3);
    EXPECT_FALSE(c.Eof());
    c.Next();
    EXPECT_TRUE(c.Eof());
    EXPECT_EQ(c.Value(cod).toInt(), 3);  // past the end the last row stays current
    c.Prior();
    EXPECT_FALSE(c.Eof());
    EXPECT_EQ(c.Value(cod).toInt(), 3);
    c.Prior();
    EXPECT_EQ(c.Value(cod).toInt(), 2);
    c.GotoBookmark(marcador);
    EXPECT_EQ(c.Value(cod).toInt(), 2);
    c.First();
    EXPECT_EQ(c.Value(cod).toInt(), 1);
    c.Close();
    EXPECT_EQ(fechamentos, 1);
    EXPECT_FALSE(c.Active());
    EXPECT_TRUE(c.Eof());
}

TEST_F(CursorSobreConsulta, TiposValoresELarguras) {
    CursorConsulta c(consulta_);
    c.Open();
    struct Caso {
        const char *campo;
        TfrxCursorFieldKind tipo;
        QVariant valor;
        QString texto;
        int largura;
    };
    const Caso casos[] = {
        {"cod", cfkInteger, 1, u"1"_qs, 11},
        {"nome", cfkString, u"Pão"_qs, u"Pão"_qs, 30},
        {"sigla", cfkString, u"SP"_qs, u"SP"_qs, 2},
        {"aliq", cfkBCD, 18.5, u"18.50"_qs, 20},
        {"grande", cfkLargeInt, qlonglong(9000000000), u"9000000000"_qs, 20},
        {"quando", cfkDateTime, QDateTime(QDate(2024, 3, 5), QTime(10, 20, 30)), u"2024-03-05 10:20:30"_qs, 19},
        {"obs", cfkMemo, u"memória"_qs, u"memória"_qs, 10},
    };
    for (const Caso &k : casos) {
        const int i = c.FieldIndex(QString::fromLatin1(k.campo));
        ASSERT_GE(i, 0) << k.campo;
        EXPECT_EQ(c.FieldKind(i), k.tipo) << k.campo;
        EXPECT_EQ(c.Value(i), k.valor) << k.campo;
        EXPECT_EQ(c.DisplayText(i), k.texto) << k.campo;
        EXPECT_EQ(c.DisplayWidth(i), k.largura) << k.campo;
        EXPECT_FALSE(c.IsNull(i)) << k.campo;
    }
    c.Next();
    for (const Caso &k : casos) {
        const int i = c.FieldIndex(QString::fromLatin1(k.campo));
        if (std::string(k.campo) == "cod")
            continue;
        EXPECT_TRUE(c.IsNull(i)) << k.campo;
        EXPECT_FALSE(c.Value(i).isValid()) << k.campo;
        EXPECT_EQ(c.DisplayText(i), QString()) << k.campo;
    }
    EXPECT_EQ(c.FieldNames(), (QStringList{u"COD"_qs, u"NOME"_qs, u"SIGLA"_qs, u"ALIQ"_qs, u"GRANDE"_qs, u"QUANDO"_qs, u"OBS"_qs}));
}

// The program binds and opens its queries itself before a report run, and may even have read
// some rows: the cursor must still show every row of that run.
TEST_F(CursorSobreConsulta, ConsultaAbertaPeloProgramaMostraTodasAsLinhas) {
    Consulta q(u"select cod from t where cod >= :minimo order by cod"_qs);
    q.setConexao(&conexao_);
    CursorConsulta c(q);
    q.setParametro(u"minimo"_qs, u"2"_qs);
    q.abrir();
    q.proximo();
    EXPECT_TRUE(c.Active());
    ASSERT_EQ(c.RecordCount(), 2);
    EXPECT_EQ(c.Value(0).toInt(), 2);

    q.fechar();
    q.setParametro(u"minimo"_qs, u"1"_qs);
    q.abrir();
    EXPECT_EQ(c.RecordCount(), 3);  // the rows of the new run, not the old ones
    EXPECT_EQ(c.Value(0).toInt(), 1);
}

}  // namespace
