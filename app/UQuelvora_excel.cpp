// "Gerar em Excel": the findings of the checks for the chosen branch as a workbook, saved under
// a name the user picks and then opened with the desktop's application for it.
#include "app/IndicacaoOcupado.h"
#include "app/UQuelvora.h"
#include "app/caixa_erro.h"
#include "export/fonte_consultas.h"
#include "export/nome_planilha.h"
#include "export/planilha_inconsistencias.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>

#include <algorithm>
#include <limits>

namespace {

const QString ParametroFilial = QStringLiteral("pCODEMPRESA");

QFileDialog *criarDialogoSalvar(QWidget *janela) {
    auto *dialogo = new QFileDialog(janela);
    dialogo->setAcceptMode(QFileDialog::AcceptSave);
    dialogo->setFileMode(QFileDialog::AnyFile);
    // One entry, shown as "Arquivos XLSX", for the pattern *.xlsx.
    dialogo->setNameFilter(QStringLiteral("Arquivos XLSX (*.xlsx)"));
    dialogo->setOption(QFileDialog::HideNameFilterDetails);
    // The export replaces an existing file without asking, and safely; a name typed without an
    // extension is used as typed.
    dialogo->setOption(QFileDialog::DontConfirmOverwrite);
    dialogo->setDefaultSuffix(QString());
    // The same dialog on every desktop, and one that a test can drive.
    dialogo->setOption(QFileDialog::DontUseNativeDialog);
    dialogo->setWindowTitle(QStringLiteral("Salvar como"));
    return dialogo;
}

// The gauge's maximum is the announced total; more rows than that leave it full.
class Progresso {
public:
    Progresso(QProgressBar &barra, qint64 maximo) : barra_(barra) {
        maximo_ = int(std::clamp<qint64>(maximo, 0, std::numeric_limits<int>::max()));
        // A bar over an empty range shows a busy animation instead of 0 %.
        barra_.setRange(0, std::max(maximo_, 1));
        barra_.setValue(0);
        barra_.show();
    }
    // QProgressBar repaints only when what it shows changes.
    void avancar() {
        if (posicao_ < maximo_)
            barra_.setValue(++posicao_);
    }

private:
    QProgressBar &barra_;
    int maximo_ = 0;
    int posicao_ = 0;
};

// FGerando is true only while rows are written, and false again however the export ends.
class Gerando {
public:
    explicit Gerando(bool &flag) : flag_(flag) { flag_ = true; }
    ~Gerando() { flag_ = false; }

private:
    bool &flag_;
};

void mostrarPlanilha(QWidget *janela, const QString &arquivo) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(arquivo)))
        return;
    const QString titulo = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QMessageBox caixa(QMessageBox::Information, titulo,
                      QStringLiteral("A planilha foi gravada em:\n%1\n\nNenhum programa está configurado para abri-la.")
                          .arg(QDir::toNativeSeparators(arquivo)),
                      QMessageBox::Ok, janela);
    caixa.exec();
}

}  // namespace

void TfrmQuelvora::btnExcelClick() {
    // The box comes after the busy indication is undone, so the window is usable behind it.
    QString falha;
    try {
        IndicacaoOcupado ocupado(*this);
        const QString filial = codigoFilialSelecionada();
        QCoreApplication::processEvents();

        const bool ativos = chkProdAtivo->isChecked();
        firebird::Consulta &listagem = ativos ? qryListagemProdAtivos : qryListagem;
        firebird::Consulta &contagens = ativos ? qryContaOcorrenciasProdAtivos : qryContaOcorrencias;
        firebird::Consulta &total = ativos ? qryQTDAtivos : qryQTD;
        for (firebird::Consulta *consulta : {&listagem, &contagens, &total}) {
            consulta->fechar();
            consulta->setParametro(ParametroFilial, filial);
        }
        GerarExcel(listagem, contagens, total);
    } catch (const Erro &e) {
        falha = e.mensagem();
    } catch (const std::exception &e) {
        falha = QString::fromLocal8Bit(e.what());
    }
    if (!falha.isEmpty())
        mostrarErro(this, falha);
}

void TfrmQuelvora::GerarExcel(firebird::Consulta &Listagem, firebird::Consulta &ContaOcorrencias,
                              firebird::Consulta &QTD) {
    // The user waits here, before the dialog.
    Listagem.abrir();
    ContaOcorrencias.abrir();
    QTD.abrir();
    FonteConsultas fonte(Listagem, ContaOcorrencias, QTD);

    if (!svdDiretorioSalvar)
        svdDiretorioSalvar = criarDialogoSalvar(this);
    svdDiretorioSalvar->setDirectory(QDir::homePath());
    svdDiretorioSalvar->selectFile(NomePadraoPlanilha(codigoFilialSelecionada(), QDateTime::currentDateTime()));
    if (svdDiretorioSalvar->exec() != QDialog::Accepted || svdDiretorioSalvar->selectedFiles().isEmpty())
        return;
    const QString arquivo = svdDiretorioSalvar->selectedFiles().constFirst();

    Progresso progresso(*Barra, fonte.totalOcorrencias());
    ResultadoPlanilha resultado;
    {
        Gerando gerando(FGerando);
        AcompanhamentoPlanilha acompanhamento;
        acompanhamento.continuar = [this] {
            if (!FGerando)
                return false;
            // Where Esc and the window's other input are handled while the rows are written.
            QCoreApplication::processEvents();
            return true;
        };
        acompanhamento.linhaEscrita = [&progresso] { progresso.avancar(); };
        resultado = GravarPlanilhaInconsistencias(fonte, arquivo, acompanhamento);
    }
    Barra->hide();
    if (resultado == ResultadoPlanilha::Gravada)
        mostrarPlanilha(this, arquivo);
}
