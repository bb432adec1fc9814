// --listar-filiais and the command table, run as a script runs them.
#include "tests/app/execucao_lote.h"
#include "tests/fixtures/BancoTemporario.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using lote::executar;
using lote::Resultado;

TEST(ListarFiliais, CodigoTabNomeEmUtf8NaOrdemDaConsulta)
{
    fixtures::BancoTemporario banco;
    banco.inserirReferencias();
    banco.inserir("filiais", {{{"codempresa", "7"}, {"nomeempresa", "LOJA D'ÁGUA"}, {"estado", "BA"}},
                              {{"codempresa", "8"}, {"nomeempresa", QString()}, {"estado", "AM"}}});
    banco.conexao().fechar();  // the embedded engine lets one process at a time have the file
    const Resultado r = executar({"--listar-filiais"}, banco.caminho());
    EXPECT_EQ(r.status, 0) << r.erro.toStdString();
    EXPECT_EQ(r.erro, "");
    EXPECT_EQ(r.saida, QString::fromUtf8("1\tMATRIZ SÃO PAULO\n2\tFILIAL RIO DE JANEIRO\n3\tFILIAL CURITIBA\n"
                                         "7\tLOJA D'ÁGUA\n8\t\n"));
}

TEST(ListarFiliais, FalhasVaoParaOErroPadraoComStatus1)
{
    fixtures::BancoTemporario semFiliais;
    semFiliais.executar(QStringLiteral("drop table filiais"));
    semFiliais.conexao().fechar();
    struct Caso {
        const char *nome;
        QStringList argumentos;
        QString banco;
        QString inicio;
    } casos[] = {
        {"sem configuração", {"--listar-filiais"}, "",
         "Não foi possível conectar ao banco de dados. \nO alias \"VOSTREN\" não existe"},
        {"banco inexistente", {"--listar-filiais"}, semFiliais.pasta() + "/nao-existe.fdb",
         "Ocorreu um erro ao ao tentar comunicar com o banco de dados.\nMotivo: "},
        {"sem a tabela filiais", {"--listar-filiais"}, semFiliais.caminho(),
         "Não foi possível ler a lista de filiais do banco de dados.\nMotivo: "},
        {"argumento a mais", {"--listar-filiais", "x"}, semFiliais.caminho(),
         "O comando --listar-filiais não aceita argumentos"},
        {"comando desconhecido", {"--listar"}, semFiliais.caminho(), "Comando desconhecido: --listar\n"},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nome);
        lote::esperarFalha(executar(c.argumentos, c.banco), c.inicio);
    }
}

}  // namespace
