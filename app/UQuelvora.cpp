#include "app/UQuelvora.h"

#include "app/BotaoComGlifo.h"
#include "app/caixa_erro.h"
#include "app/filiais.h"
#include "app/uMessageUtil.h"
#include "checks/catalogo.h"
#include "connection/UConexao.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

// Outside any namespace, as Qt's resource initialiser requires; the resources live in a static
// library, whose initialiser the linker would otherwise drop.
static void carregarRecursos()
{
    Q_INIT_RESOURCE(quelvora);
}

namespace {

const QColor kVermelho(0xFF, 0x00, 0x00);
const QColor kBordo(0x80, 0x00, 0x00);

// The layout was drawn for a narrow bitmap face; the font it resolves to here is about a tenth
// wider at the same pixel height, so the window takes that family's semi-condensed face, in
// which every caption fits the box it was designed for.
QFont fonte(int pixels, bool negrito = false)
{
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(pixels);
    f.setBold(negrito);
    f.setStretch(QFont::SemiCondensed);
    return f;
}

QLabel *rotulo(QWidget *pai, const QString &texto, QRect geometria, const QFont &f, std::optional<QColor> cor = {})
{
    auto *l = new QLabel(texto, pai);
    l->setFont(f);
    // Labels size themselves to their text from their top-left corner, so a caption is never cut.
    geometria.setWidth(std::max(geometria.width(), QFontMetrics(f).horizontalAdvance(texto) + 1));
    l->setGeometry(geometria);
    if (cor) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, *cor);
        l->setPalette(p);
    }
    return l;
}

}  // namespace

TfrmQuelvora::TfrmQuelvora() : TfrmQuelvora(TConexao::Instancia()) {}

TfrmQuelvora::TfrmQuelvora(TConexao &sessao, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      qryFilial(SQL_FILIAL),
      qryFilialSelecionada(SQL_FILIAL_SELECIONADA),
      qryListagem(verificacoes::sqlConsulta(QStringLiteral("qryListagem"))),
      qryListagemProdAtivos(verificacoes::sqlConsulta(QStringLiteral("qryListagemProdAtivos"))),
      qryContaOcorrencias(verificacoes::sqlConsulta(QStringLiteral("qryContaOcorrencias"))),
      qryContaOcorrenciasProdAtivos(verificacoes::sqlConsulta(QStringLiteral("qryContaOcorrenciasProdAtivos"))),
      qryQTD(verificacoes::sqlConsulta(QStringLiteral("qryQTD"))),
      qryQTDAtivos(verificacoes::sqlConsulta(QStringLiteral("qryQTDAtivos"))),
      sessao_(sessao)
{
    carregarRecursos();
    criarComponentes();
    FormCreate();
}

TfrmQuelvora::~TfrmQuelvora()
{
    qApp->removeEventFilter(this);
}

void TfrmQuelvora::criarComponentes()
{
    setWindowTitle(QStringLiteral("Quelvora de Tributações - v.24.10be0"));
    setFixedSize(372, 259);
    setFont(fonte(11));
    QPalette paleta = palette();
    paleta.setColor(QPalette::Window, paleta.color(QPalette::Button));
    setPalette(paleta);
    setAutoFillBackground(true);

    lblTitulo = rotulo(this, QStringLiteral("Quelvora de Tributações"), {76, 16, 233, 24}, fonte(19));
    lblFilial = rotulo(this, QStringLiteral("Filial:"), {40, 96, 39, 16}, fonte(13, true));

    cbbfilial = new QComboBox(this);
    cbbfilial->setGeometry(88, 96, 217, 21);

    chkProdAtivo = new QCheckBox(QStringLiteral("Validar apenas produtos ativos"), this);
    chkProdAtivo->setGeometry(88, 128, 217, 17);

    btnValidar = new BotaoComGlifo(QIcon(QStringLiteral(":/quelvora/pdf.png")), QStringLiteral("Gerar em PDF"), this);
    btnValidar->setGeometry(88, 56, 97, 25);

    // The glyph strip holds the normal picture and, beside it, the disabled one.
    const QPixmap tira(QStringLiteral(":/quelvora/planilha.png"));
    QIcon iconePlanilha;
    iconePlanilha.addPixmap(tira.copy(0, 0, 16, 16), QIcon::Normal);
    iconePlanilha.addPixmap(tira.copy(16, 0, 16, 16), QIcon::Disabled);
    btnExcel = new BotaoComGlifo(iconePlanilha, QStringLiteral("Gerar em Excel"), this);
    btnExcel->setGeometry(200, 56, 105, 25);
    connect(btnExcel, &QPushButton::clicked, this, &TfrmQuelvora::btnExcelClick);

    lblObs = rotulo(this, QStringLiteral("OBS: Não é validado tributações do perfil de imposto"), {24, 152, 317, 16},
                    fonte(13), kVermelho);

    imgLogo = new QLabel(this);
    imgLogo->setGeometry(179, 169, 193, 73);
    imgLogo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgLogo->setPixmap(QPixmap(QStringLiteral(":/quelvora/logo.png"))
                           .scaled(imgLogo->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));

    lblMsg = rotulo(this, QStringLiteral("Preparando o relatório, aguarde..."), {5, 222, 158, 13}, fonte(12), kBordo);
    lblMsg->hide();

    Barra = new QProgressBar(this);
    Barra->setGeometry(2, 240, 368, 16);
    Barra->setRange(0, 100);
    Barra->setValue(0);
    Barra->setAlignment(Qt::AlignCenter);
    Barra->setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid #808080; background: white; color: black; }"
                                        "QProgressBar::chunk { background-color: #800000; }"));
    Barra->hide();

    setTabOrder(chkProdAtivo, cbbfilial);
    setTabOrder(cbbfilial, btnExcel);
    setTabOrder(btnExcel, btnValidar);
    chkProdAtivo->setFocus(Qt::OtherFocusReason);

    if (const QScreen *tela = QGuiApplication::primaryScreen())
        move(tela->geometry().center() - rect().center());

    // Key preview: the window sees each key before the focused control does.
    qApp->installEventFilter(this);
}

void TfrmQuelvora::FormCreate()
{
    try {
        firebird::Conexao *conexao = sessao_.GetConexao();
        qryFilial.setConexao(conexao);
        try {
            cdsFilial = firebird::lerTudo(qryFilial);
        } catch (const Erro &e) {
            throw Erro(ERRO_LER_FILIAIS + e.mensagem());
        }
        const int codigo = cdsFilial->indiceCampo(QStringLiteral("CODEMPRESA"));
        const int nome = cdsFilial->indiceCampo(QStringLiteral("NOMEEMPRESA"));
        for (const QStringList &linha : cdsFilial->valores)
            cbbfilial->addItem(linha.value(nome), linha.value(codigo));
        cbbfilial->setCurrentIndex(-1);

        for (firebird::Consulta *q : {&qryQTDAtivos, &qryQTD, &qryFilial, &qryFilialSelecionada, &qryListagem,
                                      &qryListagemProdAtivos, &qryContaOcorrencias, &qryContaOcorrenciasProdAtivos})
            q->setConexao(sessao_.GetConexao());
    } catch (const Erro &e) {
        mostrarErro(this, e.mensagem());
    }
}

void TfrmQuelvora::FormShow()
{
    if (!cdsFilial)
        throw Erro(QStringLiteral("cdsFilial: não é possível realizar esta operação com o conjunto de dados fechado."));
    if (cdsFilial->valores.empty()) {
        cbbfilial->setCurrentIndex(-1);
    } else {
        const QString primeiro = cdsFilial->valores.front().value(cdsFilial->indiceCampo(QStringLiteral("codempresa")));
        cbbfilial->setCurrentIndex(cbbfilial->findData(primeiro));
    }
    FGerando = false;
}

void TfrmQuelvora::showEvent(QShowEvent *evento)
{
    QWidget::showEvent(evento);
    if (evento->spontaneous())  // restored from the task bar: not a new show
        return;
    try {
        FormShow();
    } catch (const Erro &e) {
        // After the window is on screen, so that the box stands over it.
        const QString mensagem = e.mensagem();
        QMetaObject::invokeMethod(this, [this, mensagem] { mostrarErro(this, mensagem); }, Qt::QueuedConnection);
    }
}

QString TfrmQuelvora::codigoFilialSelecionada() const
{
    return cbbfilial->currentIndex() < 0 ? QString() : cbbfilial->currentData().toString();
}

bool TfrmQuelvora::eventFilter(QObject *alvo, QEvent *evento)
{
    const auto tipo = evento->type();
    if (tipo != QEvent::KeyPress && tipo != QEvent::KeyRelease)
        return false;
    auto *widget = qobject_cast<QWidget *>(alvo);
    if (!widget || widget->window() != this)
        return false;
    if (tipo == QEvent::KeyRelease) {
        teclaEmCurso_ = nullptr;
        return false;
    }
    // A key the focused control ignores travels on to its parents as the same event; the window
    // takes it once, on arrival, however the handling went (a question box moves the focus).
    if (evento == teclaEmCurso_)
        return false;
    teclaEmCurso_ = evento;
    auto *tecla = static_cast<QKeyEvent *>(evento);
    FormKeyDown(tecla->key(), tecla->modifiers());
    return false;
}

void TfrmQuelvora::FormKeyDown(int Key, Qt::KeyboardModifiers Shift)
{
    if (Key == Qt::Key_Escape)
        CancelarEmissao();
}

void TfrmQuelvora::CancelarEmissao()
{
    if (!FGerando)
        return;
    if (TMessageUtil::Confirmar(QStringLiteral("Deseja cancelar a emissão do relatório?"), nullptr))
        FGerando = false;
}
