// "Gerar em Excel" end to end: a real embedded database, the window offscreen with its save
// dialog and the Esc question driven as a user would, and the batch command as a process; every
// workbook read back by openpyxl.
#include "app/UQuelvora.h"
#include "caixas.h"
#include "connection/UConexao.h"
#include "tests/export/impressao_qstring.h"
#include "tests/export/leitura_planilha.h"
#include "tests/fixtures/BancoTemporario.h"
#include "tests/fixtures/arquivos.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStandardPaths>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

const QString TituloResumo = QStringLiteral("QUANTIDADE DE OCORRÊNCIAS ENCONTRADAS:");
const QString RegraAliquota = QStringLiteral("ALIQUOTA INCORRETA DE ACORDO COM A UF");
const QString RegraBase = QStringLiteral("BASE MAIOR QUE 100%");

QApplication &aplicacao() {
    static int argc = 1;
    static char nome[] = "quelvora";
    static char *argv[] = {nome, nullptr};
    // Never destroyed: ended during exit, after Qt's and the font service's own static data,
    // it would crash the process.
    static QApplication *app = new QApplication(argc, argv);
    return *app;
}

// Three products with a base above 100 % (one of them inactive), two with a rate that is not
// the state's, one without fault. Sorted by rule: the rate rule first.
void preencher(fixtures::BancoTemporario &banco, int produtosBase = 3) {
    banco.inserirReferencias();
    std::vector<fixtures::Linha> produtos;
    int codigo = 0;
    for (int i = 0; i < produtosBase; ++i) {
        fixtures::Linha p = fixtures::BancoTemporario::produtoSemInconsistencia(++codigo);
        p[QStringLiteral("baseicmsreg00")] = QStringLiteral("150");
        if (i == 1)
            p[QStringLiteral("ativo")] = QStringLiteral("N");
        produtos.push_back(p);
    }
    for (int i = 0; i < 2; ++i) {
        fixtures::Linha p = fixtures::BancoTemporario::produtoSemInconsistencia(++codigo);
        p[QStringLiteral("aliqicmsreg00")] = QStringLiteral("12");
        produtos.push_back(p);
    }
    produtos.push_back(fixtures::BancoTemporario::produtoSemInconsistencia(++codigo));
    banco.inserir(QStringLiteral("produto"), produtos);
}

// The database's location through the environment, as the program reads it.
class AmbienteDoBanco {
public:
    explicit AmbienteDoBanco(const QString &caminho) {
        for (int i = 0; i < 3; ++i)
            salvo_ << qgetenv(Variaveis[i]);
        qputenv(Variaveis[0], caminho.toUtf8());
        qputenv(Variaveis[1], "SYSDBA");
        qputenv(Variaveis[2], "masterkey");
    }
    ~AmbienteDoBanco() {
        for (int i = 0; i < 3; ++i)
            qputenv(Variaveis[i], salvo_[i]);
    }
    AmbienteConfiguracao configuracao() const {
        return {programa_.path(), QDir(programa_.path()).filePath(QStringLiteral("sem-aliases.ini"))};
    }

private:
    static constexpr const char *Variaveis[3] = {"CAMINHOBANCOVOSTREN", "USUARIOBANCOVOSTREN", "SENHABANCOVOSTREN"};
    QList<QByteArray> salvo_;
    QTemporaryDir programa_;
};

// Records what the desktop is asked to open instead of starting an application.
class Desktop : public QObject {
    Q_OBJECT
public:
    Desktop() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "abrir"); }
    ~Desktop() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> abertos;
public slots:
    void abrir(const QUrl &url) { abertos << url; }
};

// Answers the save dialog as a user: types the name into its name field and presses Enter, or
// presses Esc. Records the name and folder the dialog offered.
class RespondedorDeDialogo {
public:
    explicit RespondedorDeDialogo(QString digitar) : digitar_(std::move(digitar)) {
        QObject::connect(&relogio_, &QTimer::timeout, [this] { responder(); });
        relogio_.start(10);
    }
    QString nomeOferecido, pastaOferecida, filtros;
    int vezes = 0;

private:
    void responder() {
        auto *dialogo = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialogo || !dialogo->isVisible())
            return;
        ++vezes;
        auto *nome = dialogo->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(nome, nullptr);
        nomeOferecido = nome->text();
        pastaOferecida = dialogo->directory().absolutePath();
        filtros = dialogo->nameFilters().join(u';');
        if (digitar_.isEmpty()) {
            QTest::keyClick(dialogo, Qt::Key_Escape);
            return;
        }
        // The name goes in whole: typed key by key, the dialog's path completer pops up and
        // swallows the Enter that should accept the dialog.
        nome->setFocus();
        nome->setText(digitar_);
        QTest::keyClick(nome, Qt::Key_Return);
    }
    QString digitar_;
    QTimer relogio_;
};

class Excel : public ::testing::Test {
protected:
    void SetUp() override { aplicacao(); }

    QTemporaryDir saida;
    QString arquivo = saida.filePath(QStringLiteral("inconsistencias.xlsx"));

    QStringList conteudoDaSaida() const { return fixtures::entradasDe(saida.path()); }
    void escreverArquivo(const QByteArray &conteudo) { fixtures::escreverEm(arquivo, conteudo); }
    QByteArray lerArquivo() const { return fixtures::conteudoDe(arquivo); }
};

QStringList textos(const RespondedorDeCaixas &caixas) {
    QStringList lista;
    for (const auto &caixa : caixas.vistas())
        lista << caixa.texto;
    return lista;
}

// The window is usable again however the export ended.
void esperarJanelaLivre(const TfrmQuelvora &janela) {
    EXPECT_FALSE(janela.FGerando);
    EXPECT_FALSE(janela.lblMsg->isVisible());
    EXPECT_FALSE(janela.Barra->isVisible());
    EXPECT_TRUE(janela.btnExcel->isEnabled());
    EXPECT_TRUE(janela.btnValidar->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The workbook of the fixture for branch 1, all products: two groups, their counts.
void conferirPlanilhaCompleta(const PlanilhaLida &lida, int produtosBase = 3) {
    ASSERT_EQ(lida.erro, QString());
    const int ultimaBase = 3 + produtosBase;
    // The reader lists merged ranges in no fixed order.
    QStringList mescladas = lida.mescladas();
    QStringList esperadas{"A2:A3", QStringLiteral("A4:A%1").arg(ultimaBase),
                          QStringLiteral("A%1:B%1").arg(ultimaBase + 2)};
    mescladas.sort();
    esperadas.sort();
    EXPECT_EQ(mescladas, esperadas);
    EXPECT_EQ(lida.valor("A1"), QStringLiteral("INCONSISTÊNCIA"));
    EXPECT_EQ(lida.valor("A2"), RegraAliquota);
    EXPECT_EQ(lida.valor("B2"), QStringLiteral("%1 - PRODUTO %1").arg(produtosBase + 1));
    EXPECT_EQ(lida.valor("A4"), RegraBase);
    EXPECT_EQ(lida.valor("B4"), QStringLiteral("1 - PRODUTO 1"));
    EXPECT_EQ(lida.valor(QStringLiteral("A%1").arg(ultimaBase + 2)), TituloResumo);
    EXPECT_EQ(lida.valor(QStringLiteral("A%1").arg(ultimaBase + 3)), RegraAliquota);
    EXPECT_EQ(lida.valor(QStringLiteral("B%1").arg(ultimaBase + 3)), QStringLiteral("2"));
    EXPECT_EQ(lida.valor(QStringLiteral("A%1").arg(ultimaBase + 4)), RegraBase);
    EXPECT_EQ(lida.valor(QStringLiteral("B%1").arg(ultimaBase + 4)), QString::number(produtosBase));
    EXPECT_EQ(lida.ultimaLinha(), ultimaBase + 4);
}

TEST_F(Excel, BotaoGravaAbreEDeixaAJanelaLivre) {
    fixtures::BancoTemporario banco;
    preencher(banco);
    AmbienteDoBanco ambiente(banco.caminho());
    TConexao sessao(ambiente.configuracao());
    RespondedorDeCaixas caixas;
    Desktop desktop;
    TfrmQuelvora janela(sessao);
    janela.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&janela));

    RespondedorDeDialogo dialogo(arquivo);
    QTest::mouseClick(janela.btnExcel, Qt::LeftButton);

    EXPECT_EQ(dialogo.vezes, 1);
    EXPECT_TRUE(dialogo.nomeOferecido.startsWith(QStringLiteral("Relatório de Inconsistências Tributárias - Filial 1 - ")))
        << dialogo.nomeOferecido.toStdString();
    EXPECT_TRUE(dialogo.nomeOferecido.endsWith(QStringLiteral(".xlsx")));
    EXPECT_FALSE(dialogo.nomeOferecido.contains(u'/') || dialogo.nomeOferecido.contains(u':'));
    EXPECT_EQ(dialogo.pastaOferecida, QDir::home().absolutePath());
    EXPECT_EQ(dialogo.filtros, QStringLiteral("Arquivos XLSX (*.xlsx)"));
    EXPECT_EQ(textos(caixas), QStringList());
    conferirPlanilhaCompleta(LerPlanilha(arquivo));
    EXPECT_EQ(desktop.abertos, QList<QUrl>{QUrl::fromLocalFile(arquivo)});
    EXPECT_EQ(janela.Barra->maximum(), 5);
    EXPECT_EQ(janela.Barra->value(), 5);
    esperarJanelaLivre(janela);

    // Active products only: the inactive one is left out.
    janela.chkProdAtivo->setChecked(true);
    QTest::mouseClick(janela.btnExcel, Qt::LeftButton);
    PlanilhaLida ativos = LerPlanilha(arquivo);
    EXPECT_EQ(ativos.mescladas(), (QStringList{"A2:A3", "A4:A5", "A7:B7"}));
    EXPECT_EQ(ativos.valor("B9"), QStringLiteral("2"));
    EXPECT_EQ(conteudoDaSaida(), QStringList{"inconsistencias.xlsx"});
}

TEST_F(Excel, DialogoCanceladoNaoGravaNada) {
    fixtures::BancoTemporario banco;
    preencher(banco);
    AmbienteDoBanco ambiente(banco.caminho());
    TConexao sessao(ambiente.configuracao());
    RespondedorDeCaixas caixas;
    Desktop desktop;
    TfrmQuelvora janela(sessao);
    janela.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&janela));

    RespondedorDeDialogo dialogo{QString()};
    QTest::mouseClick(janela.btnExcel, Qt::LeftButton);
    EXPECT_EQ(dialogo.vezes, 1);
    EXPECT_TRUE(janela.qryListagem.aberta());  // the queries have run
    EXPECT_TRUE(conteudoDaSaida().isEmpty());
    EXPECT_TRUE(desktop.abertos.isEmpty());
    EXPECT_EQ(textos(caixas), QStringList());
    esperarJanelaLivre(janela);
}

// Esc while the rows are written: No goes on to a complete workbook; Yes stops before the next
// row, writes nothing and leaves the file that was there.
TEST_F(Excel, EscDuranteAGravacao) {
    fixtures::BancoTemporario banco;
    const int produtosBase = 200;
    preencher(banco, produtosBase);
    AmbienteDoBanco ambiente(banco.caminho());
    TConexao sessao(ambiente.configuracao());
    Desktop desktop;
    TfrmQuelvora janela(sessao);
    janela.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&janela));

    for (const QString &resposta : {QStringLiteral("&Não"), QStringLiteral("&Sim")}) {
        SCOPED_TRACE(resposta.toStdString());
        escreverArquivo("planilha boa");
        desktop.abertos.clear();
        RespondedorDeCaixas caixas(resposta);
        RespondedorDeDialogo dialogo(arquivo);
        int linhasNaPergunta = -1;
        // The key arrives like a real one: queued, and seen where the export lets the window
        // handle its input.
        auto conexao = QObject::connect(janela.Barra, &QProgressBar::valueChanged, [&](int valor) {
            if (valor != 10)
                return;
            // To the main window's focused control, as the window manager would: offscreen, the
            // application's focus can stay in the closed save dialog.
            QWidget *alvo = janela.focusWidget() ? janela.focusWidget() : &janela;
            QCoreApplication::postEvent(alvo, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
            linhasNaPergunta = valor;
        });
        QTest::mouseClick(janela.btnExcel, Qt::LeftButton);
        QObject::disconnect(conexao);

        ASSERT_EQ(caixas.vistas().size(), 1);
        EXPECT_EQ(caixas.vistas()[0].texto, QStringLiteral("Deseja cancelar a emissão do relatório?"));
        EXPECT_EQ(linhasNaPergunta, 10);
        if (resposta == QStringLiteral("&Sim")) {
            // The key is handled before row 11, which is still written; row 12 is not.
            EXPECT_EQ(janela.Barra->value(), 11);
            EXPECT_EQ(lerArquivo(), QByteArray("planilha boa"));
            EXPECT_TRUE(desktop.abertos.isEmpty());
        } else {
            EXPECT_EQ(janela.Barra->value(), produtosBase + 2);
            conferirPlanilhaCompleta(LerPlanilha(arquivo), produtosBase);
            EXPECT_EQ(desktop.abertos.size(), 1);
        }
        EXPECT_EQ(conteudoDaSaida(), QStringList{"inconsistencias.xlsx"});
        esperarJanelaLivre(janela);
    }
}

// A total smaller than the listing leaves the gauge full, and every row is still written.
TEST_F(Excel, BarraFicaCheiaQuandoHaMaisLinhasQueOTotal) {
    fixtures::BancoTemporario banco;
    preencher(banco);
    AmbienteDoBanco ambiente(banco.caminho());
    TConexao sessao(ambiente.configuracao());
    Desktop desktop;
    RespondedorDeCaixas caixas;
    TfrmQuelvora janela(sessao);
    janela.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&janela));
    janela.qryQTD.setSql(QStringLiteral("select 2 as QTD from rdb$database where 1 = 1 or cast(:pCODEMPRESA as varchar(20)) = ''"));

    QList<int> valores;
    QObject::connect(janela.Barra, &QProgressBar::valueChanged, [&](int v) { valores << v; });
    RespondedorDeDialogo dialogo(arquivo);
    QTest::mouseClick(janela.btnExcel, Qt::LeftButton);
    EXPECT_EQ(janela.Barra->maximum(), 2);
    EXPECT_EQ(valores, (QList<int>{1, 2}));
    conferirPlanilhaCompleta(LerPlanilha(arquivo));
    EXPECT_EQ(textos(caixas), QStringList());
}

// A folder that takes no files: the error box, the old file elsewhere untouched, the window usable.
TEST_F(Excel, PastaSemGravacaoMostraErro) {
    fixtures::BancoTemporario banco;
    preencher(banco);
    AmbienteDoBanco ambiente(banco.caminho());
    TConexao sessao(ambiente.configuracao());
    Desktop desktop;
    RespondedorDeCaixas caixas;
    TfrmQuelvora janela(sessao);
    janela.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&janela));

    RespondedorDeDialogo dialogo(QStringLiteral("/proc/inconsistencias.xlsx"));
    QTest::mouseClick(janela.btnExcel, Qt::LeftButton);
    ASSERT_EQ(caixas.vistas().size(), 1);
    EXPECT_EQ(caixas.vistas()[0].icone, QMessageBox::Critical);
    EXPECT_TRUE(caixas.vistas()[0].texto.startsWith(QStringLiteral("Não é possível gravar na pasta \"/proc\"")))
        << caixas.vistas()[0].texto.toStdString();
    EXPECT_TRUE(desktop.abertos.isEmpty());
    esperarJanelaLivre(janela);
}

struct Execucao {
    int status = -1;
    QString saida, erro;
};

Execucao executar(const QStringList &argumentos) {
    QProcess processo;
    processo.setProgram(QStringLiteral(QUELVORA_BUILD "/quelvora"));
    processo.setArguments(argumentos);
    processo.start();
    Execucao e;
    if (!processo.waitForFinished(120000))
        return e;
    e.status = processo.exitStatus() == QProcess::NormalExit ? processo.exitCode() : -1;
    e.saida = QString::fromUtf8(processo.readAllStandardOutput());
    e.erro = QString::fromUtf8(processo.readAllStandardError());
    return e;
}

TEST_F(Excel, ComandoDeLote) {
    fixtures::BancoTemporario banco;
    preencher(banco);
    // The batch process opens the file with its own embedded engine.
    banco.conexao().fechar();
    AmbienteDoBanco ambiente(banco.caminho());

    Execucao todos = executar({QStringLiteral("--planilha"), arquivo});
    EXPECT_EQ(todos.status, 0) << todos.erro.toStdString();
    EXPECT_EQ(todos.erro, QString());  // not a terminal: no progress bar
    EXPECT_EQ(todos.saida, QStringLiteral("Planilha gravada em %1\n").arg(arquivo));
    conferirPlanilhaCompleta(LerPlanilha(arquivo));

    Execucao ativos = executar({QStringLiteral("--planilha"), arquivo, QStringLiteral("--filial"), QStringLiteral("1"),
                                QStringLiteral("--ativos")});
    EXPECT_EQ(ativos.status, 0) << ativos.erro.toStdString();
    EXPECT_EQ(LerPlanilha(arquivo).mescladas(), (QStringList{"A2:A3", "A4:A5", "A7:B7"}));

    struct Caso {
        const char *nome;
        QStringList argumentos;
        const char *mensagem;
    } casos[] = {
        {"sem arquivo", {QStringLiteral("--planilha")}, "Informe o arquivo da planilha."},
        {"filial sem código", {QStringLiteral("--planilha"), arquivo, QStringLiteral("--filial")}, "Falta o código da filial"},
        {"filial inexistente", {QStringLiteral("--planilha"), arquivo, QStringLiteral("--filial"), QStringLiteral("99")},
         "A filial \"99\" não existe no banco de dados."},
        {"argumento a mais", {QStringLiteral("--planilha"), arquivo, QStringLiteral("--xls")}, "Argumento inesperado: \"--xls\"."},
        {"nome que é uma pasta", {QStringLiteral("--planilha"), saida.path()}, "é uma pasta"},
    };
    const QByteArray antes = lerArquivo();
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.nome);
        Execucao e = executar(caso.argumentos);
        EXPECT_EQ(e.status, 1);
        EXPECT_TRUE(e.erro.contains(QString::fromUtf8(caso.mensagem))) << e.erro.toStdString();
        EXPECT_EQ(e.saida, QString());
    }
    EXPECT_EQ(lerArquivo(), antes);
    EXPECT_EQ(conteudoDaSaida(), QStringList{"inconsistencias.xlsx"});
}

// On a terminal the batch command shows its progress on standard error; the workbook is the same.
TEST_F(Excel, ComandoDeLoteMostraProgressoNoTerminal) {
    if (QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty())
        GTEST_SKIP() << "sem o programa script para dar um terminal ao processo";
    fixtures::BancoTemporario banco;
    preencher(banco);
    banco.conexao().fechar();
    AmbienteDoBanco ambiente(banco.caminho());

    // script runs the command on a pseudo-terminal and copies what it shows to its own output.
    const QString comando = QStringLiteral("'%1' --planilha '%2' 1>/dev/null").arg(QStringLiteral(QUELVORA_BUILD "/quelvora"), arquivo);
    QProcess processo;
    processo.start(QStringLiteral("script"), {QStringLiteral("-qec"), comando, QStringLiteral("/dev/null")});
    ASSERT_TRUE(processo.waitForFinished(120000));
    EXPECT_EQ(processo.exitCode(), 0);
    const QString tela = QString::fromUtf8(processo.readAllStandardOutput());
    EXPECT_TRUE(tela.contains(QStringLiteral("Verificando as tributações..."))) << tela.toStdString();
    EXPECT_TRUE(tela.contains(QStringLiteral("Gravando a planilha [################------------------------]  40%")))
        << tela.toStdString();
    EXPECT_TRUE(tela.contains(QStringLiteral("Gravando a planilha [########################################] 100%")))
        << tela.toStdString();
    conferirPlanilhaCompleta(LerPlanilha(arquivo));
}

}  // namespace

#include "excel_test.moc"
