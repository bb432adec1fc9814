#pragma once
// The process's one database session. The first request resolves the settings and opens the
// connection; later requests return the same connection, re-opened when it was closed. A
// failed attempt keeps nothing, so the next request reads the settings again.
#include "connection/configuracao.h"
#include "platform/firebird/BancoFirebird.h"

#include <QString>
#include <memory>

class TConexao {
public:
    // The session of the process, with the real program folder and alias store.
    static TConexao &Instancia();

    // A session of its own, for tests that point it at a temporary folder.
    explicit TConexao(AmbienteConfiguracao ambiente = {});
    ~TConexao();
    TConexao(const TConexao &) = delete;
    TConexao &operator=(const TConexao &) = delete;

    // The open connection; owned by the session. Throws Erro with the Portuguese text of the
    // failure ("Não foi possível conectar..." or "Ocorreu um erro ao ao tentar comunicar...").
    firebird::Conexao *GetConexao();

    // Fills FCaminho, FUsuario, FSenha from every source again.
    void CarregarConfiguracao();

    const QString &caminho() const { return FCaminho; }
    const QString &usuario() const { return FUsuario; }
    const QString &senha() const { return FSenha; }

private:
    std::unique_ptr<firebird::Conexao> CriarConexao();

    AmbienteConfiguracao ambiente_;
    std::unique_ptr<firebird::Conexao> FConexao;
    QString FCaminho;
    QString FUsuario;
    QString FSenha;
};
