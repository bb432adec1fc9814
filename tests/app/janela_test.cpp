#include "app/IndicacaoOcupado.h"
#include "app/UQuelvora.h"
#include "app/uMessageUtil.h"
#include "caixas.h"
#include "connection/UConexao.h"
#include "tests/fixtures/BancoTemporario.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QApplication &aplicacao()
{
    static int argc = 1;
    static char nome[] = "quelvora";
    static char *argv[] = {nome, nullptr};
    // Never destroyed: tearing it down among the exit handlers, after Qt's own globals are
    // gone, crashes the process.
    static QApplication *app = new QApplication(argc, argv);
    return *app;
}

// Points the process environment at a database for one test, restoring it afterwards.
class AmbienteDoBanco {
public:
    explicit AmbienteDoBanco(const QString &caminho)
    {
        for (const char *v : kVar)
            salvo_ << qgetenv(v);
        qputenv(kVar[0], caminho.toUtf8());
        qputenv(kVar[1], "SYSDBA");
        qputenv(kVar[2], "masterkey");
    }
    ~AmbienteDoBanco()
    {
        for (int i = 0; i < 3; ++i)
            qputenv(kVar[i], salvo_[i]);
    }
    AmbienteConfiguracao configuracao() const
    {
        return {programa_.path(), QDir(programa_.path()).filePath("sem-aliases.ini")};
    }

private:
    static constexpr const char *kVar[3] = {"CAMINHOBANCOVOSTREN", "USUARIOBANCOVOSTREN", "SENHABANCOVOSTREN"};
    QList<QByteArray> salvo_;
    QTemporaryDir programa_;
};

void mostrar(QWidget &janela)
{
    janela.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&janela));
    QTest::qWait(50);  // lets a queued error box of the show come up
}

// A key as the user types it: into the active window, at the control that has the focus.
void teclar(QWidget &janela, QWidget *controle, Qt::Key tecla)
{
    janela.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&janela));
    controle->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), controle);
    QTest::keyClick(controle, tecla);
}

QStringList itens(const QComboBox *combo)
{
    QStringList nomes;
    for (int i = 0; i < combo->count(); ++i)
        nomes << combo->itemText(i) + u'=' + combo->itemData(i).toString();
    return nomes;
}

class Janela : public ::testing::Test {
protected:
    void SetUp() override { aplicacao(); }
};

TEST_F(Janela, AbreComAsFiliaisEAPrimeiraSelecionada)
{
    fixtures::BancoTemporario banco;
    banco.inserirReferencias();
    AmbienteDoBanco ambiente(banco.caminho());
    TConexao sessao(ambiente.configuracao());
    RespondedorDeCaixas caixas;

    TfrmQuelvora janela(sessao);
    EXPECT_EQ(janela.cbbfilial->currentIndex(), -1);  // selected only when shown
    mostrar(janela);

    EXPECT_TRUE(caixas.vistas().isEmpty());
    EXPECT_EQ(janela.windowTitle(), "Quelvora de Tributações - v.24.10be0");
    EXPECT_EQ(janela.size(), QSize(372, 259));
    EXPECT_EQ(itens(janela.cbbfilial),
              QStringList({"MATRIZ SÃO PAULO=1", "FILIAL RIO DE JANEIRO=2", "FILIAL CURITIBA=3"}));
    EXPECT_EQ(janela.cbbfilial->currentText(), "MATRIZ SÃO PAULO");
    EXPECT_EQ(janela.codigoFilialSelecionada(), "1");
    EXPECT_FALSE(janela.chkProdAtivo->isChecked());
    EXPECT_FALSE(janela.lblMsg->isVisible());
    EXPECT_FALSE(janela.Barra->isVisible());
    EXPECT_FALSE(janela.FGerando);

    // Every query is on the session's connection.
    for (const firebird::Consulta *q : {&janela.qryFilial, &janela.qryFilialSelecionada, &janela.qryListagem,
                                        &janela.qryListagemProdAtivos, &janela.qryContaOcorrencias,
                                        &janela.qryContaOcorrenciasProdAtivos, &janela.qryQTD, &janela.qryQTDAtivos})
        EXPECT_EQ(q->conexao(), sessao.GetConexao());

    // The user picks another branch with the keyboard.
    teclar(janela, janela.cbbfilial, Qt::Key_Down);
    EXPECT_EQ(janela.codigoFilialSelecionada(), "2");

    if (const QByteArray destino = qgetenv("QUELVORA_CAPTURA"); !destino.isEmpty()) {
        janela.grab().save(QString::fromLocal8Bit(destino) + "-janela.png");
        IndicacaoOcupado ocupado(janela);
        janela.Barra->setValue(42);
        janela.Barra->show();
        janela.grab().save(QString::fromLocal8Bit(destino) + "-ocupada.png");
    }
}

TEST_F(Janela, OrdemDeTabulacaoComecaNaCaixaDeSelecao)
{
    fixtures::BancoTemporario banco;
    banco.inserirReferencias();
    AmbienteDoBanco ambiente(banco.caminho());
    TConexao sessao(ambiente.configuracao());
    TfrmQuelvora janela(sessao);
    mostrar(janela);
    janela.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&janela));

    EXPECT_EQ(QApplication::focusWidget(), janela.chkProdAtivo);
    QTest::keyClick(janela.chkProdAtivo, Qt::Key_Space);
    EXPECT_TRUE(janela.chkProdAtivo->isChecked());
    QList<QWidget *> visitados;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visitados << QApplication::focusWidget();
    }
    EXPECT_EQ(visitados, QList<QWidget *>({janela.cbbfilial, janela.btnExcel, janela.btnValidar, janela.chkProdAtivo}));
}

TEST_F(Janela, EscSoPerguntaDuranteUmaExportacao)
{
    fixtures::BancoTemporario banco;
    banco.inserirReferencias();
    AmbienteDoBanco ambiente(banco.caminho());
    TConexao sessao(ambiente.configuracao());
    TfrmQuelvora janela(sessao);
    mostrar(janela);
    RespondedorDeCaixas caixas(QStringLiteral("&Não"));

    // No export running: nothing is asked, nothing changes, and the control still gets the key.
    teclar(janela, janela.cbbfilial, Qt::Key_Escape);
    teclar(janela, janela.chkProdAtivo, Qt::Key_Escape);
    QTest::qWait(30);
    EXPECT_TRUE(caixas.vistas().isEmpty());
    EXPECT_FALSE(janela.FGerando);
    EXPECT_EQ(janela.codigoFilialSelecionada(), "1");

    // An export running (it raises the flag): Esc asks; No goes on, Yes stops it.
    janela.FGerando = true;
    teclar(janela, janela.chkProdAtivo, Qt::Key_Escape);
    ASSERT_EQ(caixas.vistas().size(), 1);
    EXPECT_EQ(caixas.vistas()[0].texto, "Deseja cancelar a emissão do relatório?");
    EXPECT_EQ(caixas.vistas()[0].icone, QMessageBox::Question);
    EXPECT_EQ(caixas.vistas()[0].botoes, QStringList({"&Sim", "&Não"}));
    EXPECT_TRUE(janela.FGerando);

    caixas.responderCom(QStringLiteral("&Sim"));
    teclar(janela, janela.btnValidar, Qt::Key_Escape);
    ASSERT_EQ(caixas.vistas().size(), 2);
    EXPECT_FALSE(janela.FGerando);
}

TEST_F(Janela, ConfirmarMoveOFocoSoParaQuemPodeRecebeLo)
{
    fixtures::BancoTemporario banco;
    banco.inserirReferencias();
    AmbienteDoBanco ambiente(banco.caminho());
    TConexao sessao(ambiente.configuracao());
    TfrmQuelvora janela(sessao);
    mostrar(janela);
    janela.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&janela));
    RespondedorDeCaixas caixas(QStringLiteral("&Sim"));

    EXPECT_TRUE(TMessageUtil::Confirmar(QStringLiteral("Pergunta?")));
    caixas.responderCom(QStringLiteral("&Não"));
    EXPECT_FALSE(TMessageUtil::Confirmar(QStringLiteral("Pergunta?"), janela.cbbfilial));
    EXPECT_EQ(janela.focusWidget(), janela.cbbfilial);

    janela.btnExcel->setEnabled(false);
    EXPECT_FALSE(TMessageUtil::Confirmar(QStringLiteral("Pergunta?"), janela.btnExcel));
    EXPECT_EQ(janela.focusWidget(), janela.cbbfilial);
    EXPECT_EQ(caixas.vistas().size(), 3);
}

TEST_F(Janela, ListaDeFiliaisVaziaNaoSelecionaNada)
{
    fixtures::BancoTemporario banco;
    AmbienteDoBanco ambiente(banco.caminho());
    TConexao sessao(ambiente.configuracao());
    RespondedorDeCaixas caixas;
    TfrmQuelvora janela(sessao);
    mostrar(janela);
    EXPECT_TRUE(caixas.vistas().isEmpty());
    EXPECT_EQ(janela.cbbfilial->count(), 0);
    EXPECT_EQ(janela.codigoFilialSelecionada(), "");
}

// The window still opens after a failed start, with both error boxes seen in order.
TEST_F(Janela, FalhaAoConectarAbreAJanelaVaziaDepoisDeDuasCaixas)
{
    struct Caso {
        const char *nome;
        bool semTabelaFiliais;
        QString inicioPrimeiraCaixa;
    } casos[] = {
        {"banco inexistente", false, "Ocorreu um erro ao ao tentar comunicar com o banco de dados.\nMotivo: "},
        {"banco sem a tabela filiais", true, "Não foi possível ler a lista de filiais do banco de dados.\nMotivo: "},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nome);
        fixtures::BancoTemporario banco;
        if (c.semTabelaFiliais)
            banco.executar(QStringLiteral("drop table filiais"));
        AmbienteDoBanco ambiente(c.semTabelaFiliais ? banco.caminho() : banco.pasta() + "/nao-existe.fdb");
        TConexao sessao(ambiente.configuracao());
        RespondedorDeCaixas caixas;

        TfrmQuelvora janela(sessao);
        ASSERT_EQ(caixas.vistas().size(), 1);
        mostrar(janela);
        ASSERT_EQ(caixas.vistas().size(), 2);
        EXPECT_TRUE(janela.isVisible());

        const auto &primeira = caixas.vistas()[0];
        EXPECT_EQ(primeira.icone, QMessageBox::Critical);
        // No application title: the platform's default, the executable's name.
        EXPECT_EQ(primeira.titulo, QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
        EXPECT_TRUE(primeira.texto.startsWith(c.inicioPrimeiraCaixa)) << primeira.texto.toStdString();
        EXPECT_GT(primeira.texto.size(), c.inicioPrimeiraCaixa.size());  // the engine's reason follows
        EXPECT_EQ(caixas.vistas()[1].texto,
                  "cdsFilial: não é possível realizar esta operação com o conjunto de dados fechado.");
        EXPECT_EQ(janela.cbbfilial->count(), 0);
        EXPECT_EQ(janela.codigoFilialSelecionada(), "");
    }
}

TEST_F(Janela, IndicacaoOcupadoDesfeitaMesmoNumaFalha)
{
    fixtures::BancoTemporario banco;
    AmbienteDoBanco ambiente(banco.caminho());
    TConexao sessao(ambiente.configuracao());
    TfrmQuelvora janela(sessao);
    mostrar(janela);

    try {
        IndicacaoOcupado ocupado(janela);
        janela.Barra->show();
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        EXPECT_TRUE(janela.lblMsg->isVisible());
        EXPECT_EQ(janela.lblMsg->text(), "Preparando o relatório, aguarde...");
        EXPECT_FALSE(janela.btnValidar->isEnabled());
        EXPECT_FALSE(janela.btnExcel->isEnabled());
        throw Erro(QStringLiteral("falha no meio"));
    } catch (const Erro &) {
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(janela.lblMsg->isVisible());
    EXPECT_FALSE(janela.Barra->isVisible());
    EXPECT_TRUE(janela.btnValidar->isEnabled());
    EXPECT_TRUE(janela.btnExcel->isEnabled());
}

}  // namespace
