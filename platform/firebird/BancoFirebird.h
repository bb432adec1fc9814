#pragma once
// The database access contract over libfbclient's object-oriented API.
//
// A connection reaches one database: a plain file path opens it with the embedded engine, a
// "host:path" or "host/port:path" goes to a server. Text crosses this boundary as QString; on
// the wire it is WIN1252 both ways. Every failure is an Erro whose text is Firebird's own
// message, so that callers can prefix their Portuguese explanation.
//
// Reading connections (the program's) run every statement in one read-only, read-committed
// transaction that waits on locks: the tool cannot write to the ERP even by mistake. Writing
// connections exist only for the demo generator and for test fixtures.
#include "platform/erro/Erro.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace firebird {

struct ParametrosConexao {
    QString banco;         // attach path, passed unchanged ("Database")
    QString usuario;       // empty: left out ("User_Name")
    QString senha;         // empty: left out ("Password")
    QString conjuntoCaracteres = QStringLiteral("WIN1252");  // "ServerCharSet"
    bool esperarBloqueios = true;                             // "WaitOnLocks"
    bool somenteLeitura = true;
    // Writing connections only: whether the file is flushed at every commit. Filling a new file
    // without it is several times faster; whoever turns it off turns it back on when done.
    bool gravacaoForcada = true;
};

class Consulta;

class Conexao {
public:
    Conexao();
    ~Conexao();
    Conexao(const Conexao &) = delete;
    Conexao &operator=(const Conexao &) = delete;

    void abrir(const ParametrosConexao &parametros);  // no effect when already open
    void fechar();                                     // closes every open query first
    bool conectada() const;
    const ParametrosConexao &parametros() const;

    // Creates a new database file (page size 8192, WIN1252) and leaves this connection open on it
    // for writing. Fails when the file exists.
    void criarBanco(const ParametrosConexao &parametros);

    // Writing connections only: runs a statement (DDL or DML) in its own committed transaction.
    void executar(const QString &sql);

    // Writing connections only: many rows through one prepared statement in one transaction.
    // Values are bound positionally as text; a null QString binds SQL NULL.
    class Lote {
    public:
        virtual ~Lote() = default;
        virtual void inserir(const QStringList &valores) = 0;
        virtual void confirmar() = 0;  // commits; without it the destructor rolls back
    };
    std::unique_ptr<Lote> iniciarLote(const QString &sqlComParametrosPosicionais);

    struct Estado;
    Estado &estado() const;

private:
    std::unique_ptr<Estado> estado_;
};

// One fixed statement with named parameters (":pCODEMPRESA") bound as text. Fields are found by
// name without regard to case; a NULL reads as "" and as 0.
class Consulta {
public:
    explicit Consulta(QString sql = {});
    ~Consulta();
    Consulta(const Consulta &) = delete;
    Consulta &operator=(const Consulta &) = delete;

    void setConexao(Conexao *conexao);  // closes the query when the connection changes
    Conexao *conexao() const;
    void setSql(const QString &sql);
    const QString &sql() const;

    QStringList nomesParametros() const;  // in order of first appearance, as written
    void setParametro(const QString &nome, const QString &valor);  // name without ':', any case

    void abrir();   // runs the statement and stands on the first row; no effect when open
    void fechar();
    bool aberta() const;

    bool fim() const;  // end of rows
    void proximo();
    // Rows of the result, fetched to the end on first call (the cursor stays where it was).
    int contagemRegistros();

    int numeroCampos() const;
    QString nomeCampo(int indice) const;
    int indiceCampo(const QString &nome) const;  // -1 when absent; any case
    bool nulo(const QString &nome) const;
    QString texto(const QString &nome) const;    // throws Erro when the field does not exist
    qint64 inteiro(const QString &nome) const;
    QString texto(int indice) const;
    bool nulo(int indice) const;

    struct Estado;
    Estado &estado() const;

private:
    std::unique_ptr<Estado> estado_;
};

// The whole result of a statement read into memory (the branch list: read once, then browsed).
// The statement runs afresh from its first row and is left closed.
struct Linhas {
    QStringList campos;
    std::vector<QStringList> valores;
    int indiceCampo(const QString &nome) const;  // any case; -1 when absent
};
Linhas lerTudo(Consulta &consulta);

}  // namespace firebird
