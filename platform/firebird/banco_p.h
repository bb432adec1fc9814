#pragma once
// Internals shared by the connection, query and batch code; nothing outside this folder
// includes it.
#include "platform/firebird/BancoFirebird.h"
#include "platform/firebird/parametros_nomeados.h"

#include <firebird/Interface.h>

#include <QDate>
#include <QHash>
#include <QTime>
#include <cstring>
#include <deque>
#include <vector>

namespace firebird {

Firebird::IMaster *mestre();
Firebird::IUtil *utilitario();
Firebird::IProvider *despachante();

constexpr unsigned charsetWin1252 = 53;  // Firebird's fixed id of WIN1252

// A value of a row buffer: the engine's offsets need not suit the type's alignment.
template <class T>
T ler(const unsigned char *p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// A status wrapper that throws on error and gives its status back to the library when done.
class Status {
public:
    Status() : wrapper_(mestre()->getStatus()) {}
    ~Status() { wrapper_.dispose(); }
    Status(const Status &) = delete;
    Status &operator=(const Status &) = delete;
    Firebird::ThrowStatusWrapper *operator&() { return &wrapper_; }

private:
    Firebird::ThrowStatusWrapper wrapper_;
};

QString mensagemFirebird(Firebird::IStatus *status);

// Runs f and turns the library's exception into an Erro carrying its formatted message.
template <class F>
decltype(auto) protegido(F &&f) {
    try {
        return f();
    } catch (const Firebird::FbException &e) {
        throw Erro(mensagemFirebird(e.getStatus()));
    }
}

// Releasing never throws: cleanup runs in destructors and after failures, and a connection
// that is already gone must still let go of its handles.
void liberar(Firebird::IResultSet *&cursor);
void liberar(Firebird::IStatement *&comando);
void desfazer(Firebird::ITransaction *&transacao);
void liberar(Firebird::IMessageMetadata *&metadados);

// Text parameters: every marker gets a nullable VARCHAR in WIN1252 and the server converts it
// to the type it needs, as the program binds everything as text.
class MensagemEntrada {
public:
    ~MensagemEntrada();
    void preparar(unsigned quantidade);
    // Fills the buffer; a null QString binds NULL. Grows a slot (and rebuilds the layout) when a
    // value is longer than it, so that the server, not this code, judges the length.
    void preencher(const std::vector<QString> &valores);
    Firebird::IMessageMetadata *metadados() const { return metadados_; }
    unsigned char *buffer() { return buffer_.empty() ? nullptr : buffer_.data(); }

private:
    void montar();
    std::vector<unsigned> capacidades_;
    std::vector<unsigned> deslocamentos_;
    std::vector<unsigned> deslocamentosNulo_;
    std::vector<QByteArray> bytes_;
    Firebird::IMessageMetadata *metadados_ = nullptr;
    std::vector<unsigned char> buffer_;
};

struct Lote_;

struct Conexao::Estado {
    Conexao *dono = nullptr;
    ParametrosConexao parametros;
    Firebird::IAttachment *anexo = nullptr;
    Firebird::ITransaction *implicita = nullptr;  // shared by every query, started on first use
    std::vector<Consulta::Estado *> consultas;   // attached, so closing can release them first
    std::vector<Lote_ *> lotes;

    Firebird::ITransaction *transacaoImplicita();
    Firebird::ITransaction *iniciarTransacaoEscrita();
    void exigirAberta() const;
    void exigirEscrita() const;
};

struct Campo {
    QString nome;
    unsigned tipo = 0;
    int escala = 0;
    unsigned subtipo = 0;
    unsigned charset = 0;
    unsigned tamanho = 0;
    unsigned deslocamento = 0;
    unsigned deslocamentoNulo = 0;
};

struct Consulta::Estado {
    Conexao *conexao = nullptr;
    QString sql;
    SqlPosicional posicional;
    QHash<QString, QString> valores;  // upper-case name -> value

    Firebird::IStatement *comando = nullptr;
    Firebird::IMessageMetadata *saida = nullptr;
    MensagemEntrada entrada;
    std::vector<Campo> campos;
    QHash<QString, int> indicePorNome;  // upper-case name -> first field of that name

    Firebird::IResultSet *cursor = nullptr;
    bool aberta = false;
    bool fim = true;
    bool temLinha = false;  // at the end the last row stays readable, as the caller's loops expect
    std::vector<unsigned char> linha;
    std::vector<unsigned char> proxima;
    std::deque<std::vector<unsigned char>> adiante;  // fetched ahead by a record count
    bool esgotado = false;
    int lidas = 0;
    quint64 aberturas = 0;  // tells a reader holding rows of an earlier run that they are stale

    void preparar(Firebird::ITransaction *t);
    void liberarComando();  // the prepared statement belongs to one attachment
    void fecharCursor();
    bool buscar(std::vector<unsigned char> &destino);
    const Campo &campo(int indice) const;
    QString textoDe(const Campo &c) const;
};

// Field values of a row buffer laid out by the statement's output message.
bool nuloCampo(const Campo &c, const unsigned char *linha);
QString textoCampo(const Campo &c, const unsigned char *linha, Conexao::Estado &conexao);
QByteArray lerBlob(const Campo &c, const unsigned char *linha, Conexao::Estado &conexao);
QDate dataDe(ISC_DATE d);
QTime horaDe(ISC_TIME t);

}  // namespace firebird
