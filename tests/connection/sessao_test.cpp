#include "connection/UConexao.h"

#include "tests/fixtures/BancoTemporario.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kFalhaConexao = QStringLiteral("Ocorreu um erro ao ao tentar comunicar com o banco de dados.\rMotivo: ");
const QString kFalhaConfiguracao = QStringLiteral("Não foi possível conectar ao banco de dados. \r");

// Each test starts with no database environment and an empty program folder.
class Sessao : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *v : kVar) {
            salvo_.push_back(qgetenv(v));
            qunsetenv(v);
        }
        banco_.inserirReferencias();
    }
    void TearDown() override
    {
        for (int i = 0; i < 3; ++i)
            qputenv(kVar[i], salvo_[i]);
    }
    void apontarAmbientePara(const QString &caminho)
    {
        qputenv("CAMINHOBANCOVOSTREN", caminho.toUtf8());
        qputenv("USUARIOBANCOVOSTREN", "SYSDBA");
        qputenv("SENHABANCOVOSTREN", "qualquer");
    }
    void gravar(const QString &nome, const QByteArray &conteudo)
    {
        QFile f(QDir(programa_.path()).filePath(nome));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(conteudo);
    }
    AmbienteConfiguracao ambiente() const
    {
        return {programa_.path(), QDir(programa_.path()).filePath("sem-aliases.ini")};
    }
    static int contarFiliais(firebird::Conexao *conexao)
    {
        firebird::Consulta q(QStringLiteral("select codempresa from filiais"));
        q.setConexao(conexao);
        return static_cast<int>(firebird::lerTudo(q).valores.size());
    }
    QString mensagemDe(TConexao &sessao)
    {
        try {
            sessao.GetConexao();
        } catch (const Erro &e) {
            return e.mensagem();
        }
        return QStringLiteral("(sem erro)");
    }

    static constexpr const char *kVar[3] = {"CAMINHOBANCOVOSTREN", "USUARIOBANCOVOSTREN", "SENHABANCOVOSTREN"};
    std::vector<QByteArray> salvo_;
    fixtures::BancoTemporario banco_;
    QTemporaryDir programa_;
};

TEST_F(Sessao, UmaConexaoReabertaQuandoFechada)
{
    apontarAmbientePara(banco_.caminho());
    TConexao sessao(ambiente());
    firebird::Conexao *primeira = sessao.GetConexao();
    ASSERT_TRUE(primeira->conectada());
    EXPECT_EQ(sessao.GetConexao(), primeira);
    EXPECT_EQ(contarFiliais(primeira), 3);

    // Later settings changes do not matter while the connection lives.
    apontarAmbientePara(QStringLiteral("/nao/existe.fdb"));
    primeira->fechar();
    ASSERT_FALSE(primeira->conectada());
    firebird::Conexao *reaberta = sessao.GetConexao();
    EXPECT_EQ(reaberta, primeira);
    EXPECT_TRUE(reaberta->conectada());
    EXPECT_EQ(contarFiliais(reaberta), 3);
    EXPECT_EQ(reaberta->parametros().banco, banco_.caminho());
}

TEST_F(Sessao, FalhaNaoGuardaNadaEANovaTentativaLeTudoDeNovo)
{
    TConexao sessao(ambiente());

    // No source at all: the settings fail.
    EXPECT_TRUE(mensagemDe(sessao).startsWith(kFalhaConfiguracao + "O alias \"VOSTREN\" não existe"));

    // A path where there is no database: the opening fails with the engine's reason.
    const QString ausente = QDir(programa_.path()).filePath("nao-existe.fdb");
    apontarAmbientePara(ausente);
    const QString semBanco = mensagemDe(sessao);
    EXPECT_TRUE(semBanco.startsWith(kFalhaConexao)) << semBanco.toStdString();
    EXPECT_GT(semBanco.size(), kFalhaConexao.size());
    EXPECT_FALSE(QFile::exists(ausente));  // a read-only tool never creates the database

    // A file that is not a database.
    gravar("texto.fdb", "isto não é um banco de dados\n");
    apontarAmbientePara(QDir(programa_.path()).filePath("texto.fdb"));
    EXPECT_TRUE(mensagemDe(sessao).startsWith(kFalhaConexao));

    // Once the settings are right, the same session connects.
    apontarAmbientePara(banco_.caminho());
    ASSERT_EQ(mensagemDe(sessao), "(sem erro)");
    EXPECT_EQ(contarFiliais(sessao.GetConexao()), 3);
}

TEST_F(Sessao, CredenciaisVaziasFicamDeFora)
{
    // "Caminho.ini" with only the path leaves user and password empty; the embedded engine
    // accepts the attempt without them.
    gravar("Caminho.ini", "[DATABASENF]\r\nCaminho=" + banco_.caminho().toUtf8() + "\r\n");
    TConexao sessao(ambiente());
    ASSERT_EQ(mensagemDe(sessao), "(sem erro)");
    EXPECT_EQ(sessao.usuario(), "");
    EXPECT_EQ(sessao.GetConexao()->parametros().usuario, "");
    EXPECT_EQ(sessao.GetConexao()->parametros().senha, "");
    EXPECT_TRUE(sessao.GetConexao()->parametros().somenteLeitura);
    EXPECT_EQ(sessao.GetConexao()->parametros().conjuntoCaracteres, "WIN1252");
}

}  // namespace
