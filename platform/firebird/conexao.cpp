#include "platform/firebird/banco_p.h"
#include "platform/firebird/win1252.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <mutex>
#include <unistd.h>

using namespace Firebird;

namespace firebird {
namespace {

// The embedded engine keeps its lock tables in a folder shared by every process on the machine
// (/tmp/firebird unless FIREBIRD_LOCK says otherwise). When that folder belongs to another
// user and is closed to us, every attach fails with a bare I/O error; a folder of our own lets
// the program still open its files. An explicit setting is always respected.
void prepararAmbienteEmbarcado() {
    if (qEnvironmentVariableIsSet("FIREBIRD_LOCK"))
        return;
    const QString padrao = QStringLiteral("/tmp/firebird");
    const QFileInfo info(padrao);
    if (!info.exists() || (info.isDir() && info.isWritable() && info.isExecutable()))
        return;
    const QString proprio = QDir::tempPath() + QStringLiteral("/firebird-") + QString::number(getuid());
    QDir().mkpath(proprio);
    qputenv("FIREBIRD_LOCK", QFile::encodeName(proprio));
}

// The engine converts file names between UTF-8 and the locale's encoding. A process that never
// chose a locale runs in "C", which is ASCII only, and could not open a file in a folder with an
// accent in its name. For the attach alone, this thread reads UTF-8; nothing else changes.
class LocaleUtf8 {
public:
    LocaleUtf8() {
        if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0)
            return;
        novo_ = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
        if (novo_)
            anterior_ = uselocale(novo_);
    }
    ~LocaleUtf8() {
        if (novo_) {
            uselocale(anterior_);
            freelocale(novo_);
        }
    }
    LocaleUtf8(const LocaleUtf8 &) = delete;
    LocaleUtf8 &operator=(const LocaleUtf8 &) = delete;

private:
    locale_t novo_ = nullptr;
    locale_t anterior_ = nullptr;
};

std::once_flag inicio;
IMaster *mestre_ = nullptr;

std::vector<unsigned char> tpb(bool escrita, bool esperar) {
    return {isc_tpb_version3,
            static_cast<unsigned char>(escrita ? isc_tpb_write : isc_tpb_read),
            isc_tpb_read_committed,
            isc_tpb_rec_version,
            static_cast<unsigned char>(esperar ? isc_tpb_wait : isc_tpb_nowait)};
}

}  // namespace

IMaster *mestre() {
    std::call_once(inicio, [] {
        prepararAmbienteEmbarcado();
        mestre_ = fb_get_master_interface();
    });
    return mestre_;
}

IUtil *utilitario() { return mestre()->getUtilInterface(); }

IProvider *despachante() {
    static IProvider *p = mestre()->getDispatcher();
    return p;
}

QString mensagemFirebird(IStatus *status) {
    char texto[4096];
    const unsigned n = utilitario()->formatStatus(texto, sizeof texto, status);
    const QByteArray bytes(texto, qsizetype(std::min<unsigned>(n, sizeof texto)));
    // Paths come in the system's encoding (UTF-8 here); values quoted from rows in WIN1252.
    QString mensagem = QString::fromUtf8(bytes);
    if (mensagem.contains(QChar::ReplacementCharacter))
        mensagem = deWin1252(bytes);
    return mensagem.trimmed();
}

void liberar(IResultSet *&cursor) {
    if (!cursor)
        return;
    CheckStatusWrapper st(mestre()->getStatus());
    cursor->close(&st);
    if (st.getState() & IStatus::STATE_ERRORS)
        cursor->release();
    st.dispose();
    cursor = nullptr;
}

void liberar(IStatement *&comando) {
    if (!comando)
        return;
    CheckStatusWrapper st(mestre()->getStatus());
    comando->free(&st);
    if (st.getState() & IStatus::STATE_ERRORS)
        comando->release();
    st.dispose();
    comando = nullptr;
}

void desfazer(ITransaction *&transacao) {
    if (!transacao)
        return;
    CheckStatusWrapper st(mestre()->getStatus());
    transacao->rollback(&st);
    if (st.getState() & IStatus::STATE_ERRORS)
        transacao->release();
    st.dispose();
    transacao = nullptr;
}

void liberar(IMessageMetadata *&metadados) {
    if (metadados)
        metadados->release();
    metadados = nullptr;
}

// ---------------------------------------------------------------------------------------------

struct Lote_ : Conexao::Lote {
    Conexao::Estado *conexao;
    ITransaction *transacao = nullptr;
    IStatement *comando = nullptr;
    MensagemEntrada entrada;
    unsigned quantidade = 0;
    std::vector<QString> valores;

    explicit Lote_(Conexao::Estado *c) : conexao(c) {}
    ~Lote_() override {
        encerrar();
        if (conexao)
            std::erase(conexao->lotes, this);
    }

    void encerrar() {
        liberar(comando);
        desfazer(transacao);
    }

    void inserir(const QStringList &linha) override {
        if (!transacao)
            throw Erro(QStringLiteral("O lote de inclusão já foi encerrado."));
        if (unsigned(linha.size()) != quantidade)
            throw Erro(QStringLiteral("O lote de inclusão espera %1 valores e recebeu %2.")
                           .arg(quantidade).arg(linha.size()));
        valores.assign(linha.begin(), linha.end());
        entrada.preencher(valores);
        protegido([&] {
            Status st;
            comando->execute(&st, transacao, entrada.metadados(), entrada.buffer(), nullptr, nullptr);
        });
    }

    void confirmar() override {
        if (!transacao)
            throw Erro(QStringLiteral("O lote de inclusão já foi encerrado."));
        liberar(comando);
        protegido([&] {
            Status st;
            transacao->commit(&st);
        });
        transacao = nullptr;
    }
};

// ---------------------------------------------------------------------------------------------

void Conexao::Estado::exigirAberta() const {
    if (!anexo)
        throw Erro(QStringLiteral("A conexão com o banco de dados não está aberta."));
}

void Conexao::Estado::exigirEscrita() const {
    exigirAberta();
    if (parametros.somenteLeitura)
        throw Erro(QStringLiteral("A conexão com o banco de dados é somente de leitura."));
}

ITransaction *Conexao::Estado::transacaoImplicita() {
    exigirAberta();
    if (!implicita) {
        const auto t = tpb(false, parametros.esperarBloqueios);
        implicita = protegido([&] {
            Status st;
            return anexo->startTransaction(&st, unsigned(t.size()), t.data());
        });
    }
    return implicita;
}

ITransaction *Conexao::Estado::iniciarTransacaoEscrita() {
    exigirEscrita();
    const auto t = tpb(true, parametros.esperarBloqueios);
    return protegido([&] {
        Status st;
        return anexo->startTransaction(&st, unsigned(t.size()), t.data());
    });
}

namespace {

std::vector<unsigned char> dpb(const ParametrosConexao &p, bool criar) {
    return protegido([&] {
        Status st;
        IXpbBuilder *b = utilitario()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
        // The path travels as UTF-8 and says so: otherwise the client reads it in the locale's
        // encoding, and under the C locale an accented folder name cannot be opened at all.
        b->insertTag(&st, isc_dpb_utf8_filename);
        const QByteArray charset = p.conjuntoCaracteres.toLatin1();
        if (!charset.isEmpty())
            b->insertString(&st, isc_dpb_lc_ctype, charset.constData());
        if (!p.usuario.isEmpty())
            b->insertString(&st, isc_dpb_user_name, p.usuario.toUtf8().constData());
        if (!p.senha.isEmpty())
            b->insertString(&st, isc_dpb_password, p.senha.toUtf8().constData());
        if (!p.somenteLeitura)
            b->insertInt(&st, isc_dpb_force_write, p.gravacaoForcada ? 1 : 0);
        if (criar) {
            b->insertInt(&st, isc_dpb_page_size, 8192);
            b->insertString(&st, isc_dpb_set_db_charset, "WIN1252");
            b->insertInt(&st, isc_dpb_sql_dialect, 3);
        }
        std::vector<unsigned char> bytes(b->getBuffer(&st), b->getBuffer(&st) + b->getBufferLength(&st));
        b->dispose();
        return bytes;
    });
}

}  // namespace

Conexao::Conexao() : estado_(std::make_unique<Estado>()) { estado_->dono = this; }

Conexao::~Conexao() {
    fechar();
    for (Consulta::Estado *c : estado_->consultas)
        c->conexao = nullptr;
    for (Lote_ *l : estado_->lotes)
        l->conexao = nullptr;
}

void Conexao::abrir(const ParametrosConexao &parametros) {
    if (estado_->anexo)
        return;
    estado_->parametros = parametros;
    const auto d = dpb(parametros, false);
    const QByteArray caminho = parametros.banco.toUtf8();
    const LocaleUtf8 utf8;
    estado_->anexo = protegido([&] {
        Status st;
        return despachante()->attachDatabase(&st, caminho.constData(), unsigned(d.size()), d.data());
    });
}

void Conexao::criarBanco(const ParametrosConexao &parametros) {
    if (estado_->anexo)
        throw Erro(QStringLiteral("A conexão já está aberta em outro banco de dados."));
    ParametrosConexao p = parametros;
    p.somenteLeitura = false;
    estado_->parametros = p;
    const auto d = dpb(p, true);
    const QByteArray caminho = p.banco.toUtf8();
    const LocaleUtf8 utf8;
    estado_->anexo = protegido([&] {
        Status st;
        return despachante()->createDatabase(&st, caminho.constData(), unsigned(d.size()), d.data());
    });
}

void Conexao::fechar() {
    for (Consulta::Estado *c : estado_->consultas)
        c->liberarComando();
    for (Lote_ *l : estado_->lotes)
        l->encerrar();
    if (estado_->implicita) {
        // Only reads ran in it: committing and rolling back are the same, and rollback cannot
        // fail on a lost connection in a way that keeps the handle.
        desfazer(estado_->implicita);
    }
    if (estado_->anexo) {
        CheckStatusWrapper st(mestre()->getStatus());
        estado_->anexo->detach(&st);
        if (st.getState() & IStatus::STATE_ERRORS)
            estado_->anexo->release();
        st.dispose();
        estado_->anexo = nullptr;
    }
}

bool Conexao::conectada() const { return estado_->anexo != nullptr; }

const ParametrosConexao &Conexao::parametros() const { return estado_->parametros; }

Conexao::Estado &Conexao::estado() const { return *estado_; }

void Conexao::executar(const QString &sql) {
    ITransaction *t = estado_->iniciarTransacaoEscrita();
    const QByteArray texto = paraWin1252(sql);
    try {
        protegido([&] {
            Status st;
            estado_->anexo->execute(&st, t, unsigned(texto.size()), texto.constData(), 3,
                                    nullptr, nullptr, nullptr, nullptr);
            t->commit(&st);
        });
    } catch (...) {
        desfazer(t);
        throw;
    }
}

std::unique_ptr<Conexao::Lote> Conexao::iniciarLote(const QString &sql) {
    auto lote = std::make_unique<Lote_>(estado_.get());
    lote->transacao = estado_->iniciarTransacaoEscrita();
    const QByteArray texto = paraWin1252(sql);
    protegido([&] {
        Status st;
        lote->comando = estado_->anexo->prepare(&st, lote->transacao, unsigned(texto.size()),
                                                texto.constData(), 3, 0);
        IMessageMetadata *m = lote->comando->getInputMetadata(&st);
        lote->quantidade = m->getCount(&st);
        m->release();
    });
    lote->entrada.preparar(lote->quantidade);
    estado_->lotes.push_back(lote.get());
    return lote;
}

}  // namespace firebird
