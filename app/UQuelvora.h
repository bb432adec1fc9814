#pragma once
// The main window: pick a branch, optionally only active products, and ask for the report or
// the spreadsheet. It owns every query of the checks, all attached to the session's one
// connection. The components are public members, as the output commands (each in its own
// file) and the tests work with them directly.
#include "platform/firebird/BancoFirebird.h"

#include <QWidget>
#include <optional>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QLabel;
class QProgressBar;
class QPushButton;
class TConexao;

class TfrmQuelvora : public QWidget {
    Q_OBJECT
public:
    // Runs FormCreate: a connection failure is shown in an error box, and the window is still
    // created, with an empty branch selector.
    explicit TfrmQuelvora(TConexao &sessao, QWidget *parent = nullptr);
    TfrmQuelvora();  // on the process's session
    ~TfrmQuelvora() override;

    void FormCreate();
    void FormShow();
    void FormKeyDown(int Key, Qt::KeyboardModifiers Shift);
    void CancelarEmissao();

    // "Gerar em Excel" (app/UQuelvora_excel.cpp).
    void btnExcelClick();
    void GerarExcel(firebird::Consulta &Listagem, firebird::Consulta &ContaOcorrencias, firebird::Consulta &QTD);

    // The key value of cbbfilial: the chosen branch's CODEMPRESA as text, empty when none.
    QString codigoFilialSelecionada() const;

    QLabel *lblTitulo;
    QLabel *lblFilial;
    QComboBox *cbbfilial;
    QCheckBox *chkProdAtivo;
    QPushButton *btnValidar;
    QPushButton *btnExcel;
    QLabel *lblObs;
    QLabel *imgLogo;
    QLabel *lblMsg;
    QProgressBar *Barra;
    QFileDialog *svdDiretorioSalvar = nullptr;  // made on first use by GerarExcel

    firebird::Consulta qryFilial;
    firebird::Consulta qryFilialSelecionada;
    firebird::Consulta qryListagem;
    firebird::Consulta qryListagemProdAtivos;
    firebird::Consulta qryContaOcorrencias;
    firebird::Consulta qryContaOcorrenciasProdAtivos;
    firebird::Consulta qryQTD;
    firebird::Consulta qryQTDAtivos;

    // The branch list, read whole once; empty (not opened) after a failed connection.
    std::optional<firebird::Linhas> cdsFilial;

    // True while the spreadsheet export writes rows; Esc clears it after a confirmed question.
    bool FGerando = false;

protected:
    void showEvent(QShowEvent *evento) override;
    bool eventFilter(QObject *alvo, QEvent *evento) override;

private:
    void criarComponentes();
    TConexao &sessao_;
    const QEvent *teclaEmCurso_ = nullptr;
};
