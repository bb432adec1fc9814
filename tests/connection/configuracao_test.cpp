#include "connection/UConexao.h"

#include "codificacao.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace {

struct Ambiente {
    const char *caminho;
    const char *usuario;
    const char *senha;
};
const Ambiente kAmbienteCompleto{"  /env/base.fdb\t", " envuser ", "envpass\n"};

struct Caso {
    const char *nome;
    std::optional<Ambiente> ambiente;
    std::map<QString, QString> arquivos;  // program folder
    std::optional<QString> aliases;       // content of the alias store; none: no store
    QString caminho, usuario, senha;      // expected, or...
    QString erro = {};                    // ...the start of the reason after the fixed prefix
};

const QString U = codificarPar("gerente");
const QString S = codificarPar(QString::fromUtf8("s3nhã"));
const QString ALIAS = QStringLiteral("[VOSTREN]\nSERVER NAME=aliashost:/dados/erp.fdb\nUSER NAME=X\n");

std::vector<Caso> casos()
{
    const QString longa = QString(300, u'c');
    return {
        {"só o ambiente: aparado e nunca decodificado", kAmbienteCompleto, {}, std::nullopt,
         "/env/base.fdb", "envuser", "envpass"},
        {"ambiente valendo mesmo com alias e sem arquivo", Ambiente{"/env.fdb", "14", "14"}, {}, ALIAS,
         "/env.fdb", "14", "14"},
        {"ambiente incompleto é ignorado inteiro: vale o alias", Ambiente{"/env.fdb", "u", "  "}, {}, ALIAS,
         "aliashost:/dados/erp.fdb", "SYSDBA", "plovendar"},
        {"Caminho.ini vazio apaga o ambiente", kAmbienteCompleto, {{"Caminho.ini", "[DATABASENF]\nCaminho=\n"}},
         std::nullopt, "", "", ""},
        {"Caminho.ini vazio e Vostren.ini dá usuário e senha", kAmbienteCompleto,
         {{"Caminho.ini", "[DATABASENF]\n"}, {"Vostren.ini", "[Conexao]\nUsuario=" + U + "\nSenha=" + S + "\n"}},
         std::nullopt, "", "gerente", QString::fromUtf8("s3nhã")},
        {"uma chave de DATABASENF basta: DATABASEESTOQUE não é lido", std::nullopt,
         {{"Caminho.ini", "[DATABASENF]\nCaminho=/nf.fdb\n[DATABASEESTOQUE]\nCaminho=/est.fdb\nUsuario=" + U + "\n"}},
         std::nullopt, "/nf.fdb", "", ""},
        {"DATABASENF vazio: DATABASEESTOQUE decodificado", std::nullopt,
         {{"Caminho.ini", "[databasenf]\nUsuario=\n[DataBaseEstoque]\ncaminho=/est.fdb\nUSUARIO=" + U + "\nsenha=" + S + "\n"}},
         std::nullopt, "/est.fdb", "gerente", QString::fromUtf8("s3nhã")},
        {"Caminho.ini: valor em branco fica como lido", std::nullopt,
         {{"Caminho.ini", "[DATABASENF]\nCaminho=/nf.fdb\nUsuario=  \nSenha=" + S + "\n"}}, std::nullopt,
         "/nf.fdb", "  ", QString::fromUtf8("s3nhã")},
        {"Caminho.ini e Caminho.Dir: o Dir é ignorado", std::nullopt,
         {{"Caminho.ini", "[DATABASENF]\nCaminho=/ini.fdb\n"}, {"Caminho.Dir", "/dir.fdb\n"}}, std::nullopt,
         "/ini.fdb", "", ""},
        {"Caminho.Dir: só a primeira linha, padrões, ambiente descartado", kAmbienteCompleto,
         {{"Caminho.Dir", "srv:/primeira.fdb\r\n/segunda.fdb\r\n"}}, ALIAS, "srv:/primeira.fdb", "SYSDBA", "plovendar"},
        {"Caminho.Dir vazio", std::nullopt, {{"Caminho.Dir", ""}}, std::nullopt, "", "SYSDBA", "plovendar"},
        {"Vostren.ini com usuário em branco dá SYSDBA sobre o do Caminho.ini", std::nullopt,
         {{"Caminho.ini", "[DATABASENF]\nCaminho=/nf.fdb\nUsuario=" + U + "\nSenha=" + S + "\n"},
          {"Vostren.ini", "[CONEXAO]\nUsuario= \n"}},
         std::nullopt, "/nf.fdb", "SYSDBA", "plovendar"},
        {"Vostren.ini não toca no caminho do ambiente", kAmbienteCompleto,
         {{"Vostren.ini", "[Conexao]\nUsuario=" + U + "\n"}}, std::nullopt, "/env/base.fdb", "gerente", "plovendar"},
        {"VostrenCheckout.ini: usuário como escrito, senha em grupos de três", std::nullopt,
         {{"Caminho.ini", "[DATABASENF]\nCaminho=/nf.fdb\nUsuario=" + U + "\n"},
          {"VostrenCheckout.ini", "[conexao]\nCaminho=pdv:/caixa.fdb\nUsuario=14\nSenha=0650660\n"}},
         std::nullopt, "pdv:/caixa.fdb", "14", "BA"},
        {"VostrenCheckout.ini vence até com caminho vazio", kAmbienteCompleto,
         {{"Vostren.ini", "[Conexao]\nUsuario=" + U + "\n"},
          {"VostrenCheckout.ini", "[CONEXAO]\nSenha=" + codificarCheckout("caixa") + "\n"}},
         std::nullopt, "", "SYSDBA", "caixa"},
        {"nomes de arquivo sem distinção de caixa", std::nullopt, {{"caminho.INI", "[DATABASENF]\nCaminho=/min.fdb\n"}},
         std::nullopt, "/min.fdb", "", ""},
        {"alias: caminho depois do primeiro '=' cortado em 255", std::nullopt, {},
         "[vostren]\nSERVER NAME=" + longa + "=x\n", longa.left(255), "SYSDBA", "plovendar"},
        {"alias: linha sem '=' vale inteira até 255", std::nullopt, {}, "[VOSTREN]\n" + longa + "\n", longa.left(255),
         "SYSDBA", "plovendar"},
        {"sem fonte nenhuma", std::nullopt, {}, std::nullopt, {}, {}, {}, "O alias \"VOSTREN\" não existe"},
        {"alias ausente do arquivo", std::nullopt, {}, "[OUTRO]\nSERVER NAME=x\n", {}, {}, {},
         "O alias \"VOSTREN\" não existe em"},
        {"alias sem parâmetros", std::nullopt, {}, "[VOSTREN]\n\n[OUTRO]\nA=1\n", {}, {}, {},
         "O alias \"VOSTREN\" não tem parâmetros"},
        {"senha do checkout que não é número", std::nullopt,
         {{"Caminho.Dir", "/dir.fdb"}, {"VostrenCheckout.ini", "[CONEXAO]\nSenha=06A065\n"}},
         std::nullopt, {}, {}, {}, "'06A' não é um valor inteiro válido"},
    };
}

class Precedencia : public ::testing::Test {
protected:
    void SetUp() override { salvo_ = {qgetenv(kVar[0]), qgetenv(kVar[1]), qgetenv(kVar[2])}; }
    void TearDown() override
    {
        for (int i = 0; i < 3; ++i)
            qputenv(kVar[i], salvo_[i]);
    }
    static void definirAmbiente(const std::optional<Ambiente> &a)
    {
        for (const char *v : kVar)
            qunsetenv(v);
        if (a) {
            qputenv(kVar[0], a->caminho);
            qputenv(kVar[1], a->usuario);
            qputenv(kVar[2], a->senha);
        }
    }
    static constexpr const char *kVar[3] = {"CAMINHOBANCOVOSTREN", "USUARIOBANCOVOSTREN", "SENHABANCOVOSTREN"};
    std::vector<QByteArray> salvo_;
};

void gravar(const QString &caminho, const QString &texto)
{
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(texto.toUtf8());
}

TEST_F(Precedencia, TabelaDeFontes)
{
    for (const Caso &c : casos()) {
        SCOPED_TRACE(c.nome);
        QTemporaryDir programa, config;
        for (const auto &[nome, conteudo] : c.arquivos)
            gravar(QDir(programa.path()).filePath(nome), conteudo);
        const QString aliases = QDir(config.path()).filePath("aliases.ini");
        if (c.aliases)
            gravar(aliases, *c.aliases);
        definirAmbiente(c.ambiente);

        TConexao sessao(AmbienteConfiguracao{programa.path(), aliases});
        if (c.erro.isEmpty()) {
            ASSERT_NO_THROW(sessao.CarregarConfiguracao());
            EXPECT_EQ(sessao.caminho(), c.caminho);
            EXPECT_EQ(sessao.usuario(), c.usuario);
            EXPECT_EQ(sessao.senha(), c.senha);
        } else {
            try {
                sessao.CarregarConfiguracao();
                ADD_FAILURE() << "sem erro";
            } catch (const Erro &e) {
                const QString prefixo = QStringLiteral("Não foi possível conectar ao banco de dados. \r");
                EXPECT_TRUE(e.mensagem().startsWith(prefixo + c.erro)) << e.what();
            }
        }
    }
}

TEST_F(Precedencia, ArquivoIlegivelEFalhaNoMeioGuardamOQueJaFoiLido)
{
    QTemporaryDir programa;
    definirAmbiente(kAmbienteCompleto);
    QDir(programa.path()).mkdir("Caminho.ini");  // exists, but cannot be read as a file
    TConexao sessao(AmbienteConfiguracao{programa.path(), QDir(programa.path()).filePath("sem-aliases.ini")});
    try {
        sessao.CarregarConfiguracao();
        FAIL() << "sem erro";
    } catch (const Erro &e) {
        EXPECT_TRUE(e.mensagem().startsWith("Não foi possível conectar ao banco de dados. \rNão foi possível ler o arquivo"))
            << e.what();
    }
    EXPECT_EQ(sessao.caminho(), "/env/base.fdb");  // the environment had been read before the failure

    QDir(programa.path()).rmdir("Caminho.ini");
    gravar(QDir(programa.path()).filePath("VostrenCheckout.ini"), "[CONEXAO]\nCaminho=/pdv.fdb\nSenha=x65\n");
    EXPECT_THROW(sessao.CarregarConfiguracao(), Erro);
    EXPECT_EQ(sessao.caminho(), "/pdv.fdb");
    EXPECT_EQ(sessao.usuario(), "SYSDBA");
}

}  // namespace
