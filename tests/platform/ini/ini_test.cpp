#include "platform/ini/Ini.h"
#include "platform/ini/Win1252.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString gravar(const QTemporaryDir &pasta, const QString &nome, const QByteArray &conteudo)
{
    const QString caminho = pasta.filePath(nome);
    QFile f(caminho);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(conteudo);
    return caminho;
}

TEST(ArquivoIni, NomesSemCaixaValoresComoEscritos)
{
    const auto ini = ini::ArquivoIni::deTexto(QStringLiteral(
        "Caminho=antes de qualquer seção\r\n"
        "; comentário\r\n"
        "[DataBaseNF]\r\n"
        "caminho=servidor:/dados/erp.fdb\r\n"
        "  USUARIO  =  AB12 \r\n"
        "Senha=x=y\r\n"
        "Vazio=\r\n"
        "[Outra]\n"
        "Caminho=errado\n"
        "[DATABASENF]\n"
        "Caminho=segunda seção de mesmo nome\n"));

    EXPECT_EQ(ini.valor("DATABASENF", "Caminho"), "servidor:/dados/erp.fdb");
    EXPECT_EQ(ini.valor("databasenf", "Usuario"), "  AB12 ");  // blanks are part of an encoded value
    EXPECT_EQ(ini.valor("DATABASENF", "Senha"), "x=y");
    EXPECT_EQ(ini.valor("DATABASENF", "Vazio"), "");
    EXPECT_EQ(ini.valor("DATABASENF", "Ausente"), "");
    EXPECT_EQ(ini.valor("Ausente", "Caminho"), "");
    EXPECT_TRUE(ini.temSecao("outra"));
    EXPECT_FALSE(ini.temSecao("Caminho"));
}

TEST(ArquivoIni, LinhasDaSecaoEmOrdem)
{
    const auto ini = ini::ArquivoIni::deTexto(QStringLiteral(
        "[VOSTREN]\n"
        "SERVER NAME=host:/base.fdb\n"
        "\n"
        "; nota\n"
        "SEM IGUAL\n"
        "USER NAME=SYSDBA\n"
        "[VAZIO]\n"));
    EXPECT_EQ(ini.linhas("vostren"),
              QStringList({"SERVER NAME=host:/base.fdb", "SEM IGUAL", "USER NAME=SYSDBA"}));
    EXPECT_TRUE(ini.linhas("VAZIO").isEmpty());
    EXPECT_TRUE(ini.temSecao("VAZIO"));
}

TEST(ArquivoIni, CodificacaoDoArquivo)
{
    QTemporaryDir pasta;
    // A file saved on Windows is code page 1252; one saved here is UTF-8, possibly with a BOM.
    const QString win = gravar(pasta, "win.ini", "[Conexao]\r\nCaminho=C:\\Dados\\Gest\xe3o \x80.fdb\r\n");
    const QString utf = gravar(pasta, "utf.ini", "\xEF\xBB\xBF[Conexao]\nCaminho=/dados/gest\xc3\xa3o.fdb\n");
    EXPECT_EQ(ini::ArquivoIni::ler(win).valor("conexao", "caminho"), QString::fromUtf8("C:\\Dados\\Gestão €.fdb"));
    EXPECT_EQ(ini::ArquivoIni::ler(utf).valor("conexao", "caminho"), QString::fromUtf8("/dados/gestão.fdb"));
}

TEST(PrimeiraLinha, SoAPrimeiraConta)
{
    QTemporaryDir pasta;
    struct Caso {
        const char *conteudo;
        const char *esperado;
    } casos[] = {
        {"", ""},
        {"/dados/erp.fdb", "/dados/erp.fdb"},
        {"/dados/erp.fdb\r\n/outra.fdb\r\n", "/dados/erp.fdb"},
        {"servidor:/erp.fdb\n\n", "servidor:/erp.fdb"},
        {"\n/segunda.fdb", ""},
        {" com brancos \r", " com brancos "},
    };
    int i = 0;
    for (const Caso &c : casos) {
        const QString caminho = gravar(pasta, QStringLiteral("c%1.Dir").arg(i++), c.conteudo);
        EXPECT_EQ(ini::lerPrimeiraLinha(caminho), QString::fromUtf8(c.esperado)) << c.conteudo;
    }
}

TEST(Leitura, ArquivoIlegivelDaErroEmPortugues)
{
    QTemporaryDir pasta;
    QDir(pasta.path()).mkdir("Caminho.ini");
    try {
        ini::ArquivoIni::ler(pasta.filePath("Caminho.ini"));
        FAIL() << "uma pasta foi lida como arquivo";
    } catch (const Erro &e) {
        EXPECT_TRUE(e.mensagem().startsWith("Não foi possível ler o arquivo")) << e.what();
        EXPECT_TRUE(e.mensagem().contains("é uma pasta")) << e.what();
    }
    EXPECT_THROW(ini::lerPrimeiraLinha(pasta.filePath("nao-existe.Dir")), Erro);
}

TEST(Win1252, TodosOsBytesIdaEVolta)
{
    QByteArray todos;
    for (int b = 0; b < 256; ++b)
        todos.append(static_cast<char>(b));
    const QString texto = ini::deWin1252(todos);
    EXPECT_EQ(texto[0x80], QChar(0x20AC));
    EXPECT_EQ(texto[0xE7], QChar(u'ç'));
    EXPECT_EQ(ini::paraWin1252(texto), todos);
    EXPECT_EQ(ini::paraWin1252(QStringLiteral("ação€→")), QByteArray("a\xe7\xe3o\x80?"));
}

}  // namespace
