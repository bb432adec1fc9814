#include "connection/UConexao.h"

TConexao &TConexao::Instancia()
{
    // Lives until the process ends, as the connection does.
    static TConexao *instancia = new TConexao();
    return *instancia;
}

TConexao::TConexao(AmbienteConfiguracao ambiente) : ambiente_(std::move(ambiente)) {}

TConexao::~TConexao() = default;

void TConexao::CarregarConfiguracao()
{
    ConfiguracaoConexao configuracao;
    try {
        resolverConfiguracao(ambiente_, configuracao);
    } catch (...) {
        FCaminho = configuracao.caminho;
        FUsuario = configuracao.usuario;
        FSenha = configuracao.senha;
        throw;
    }
    FCaminho = configuracao.caminho;
    FUsuario = configuracao.usuario;
    FSenha = configuracao.senha;
}

std::unique_ptr<firebird::Conexao> TConexao::CriarConexao()
{
    auto conexao = std::make_unique<firebird::Conexao>();
    CarregarConfiguracao();
    firebird::ParametrosConexao parametros;
    parametros.banco = FCaminho;
    parametros.usuario = FUsuario;
    parametros.senha = FSenha;
    parametros.conjuntoCaracteres = QStringLiteral("WIN1252");
    parametros.esperarBloqueios = true;
    parametros.somenteLeitura = true;
    try {
        conexao->abrir(parametros);
    } catch (const Erro &e) {
        throw Erro(QStringLiteral("Ocorreu um erro ao ao tentar comunicar com o banco de dados.\rMotivo: ") +
                   e.mensagem());
    }
    return conexao;
}

firebird::Conexao *TConexao::GetConexao()
{
    if (!FConexao)
        FConexao = CriarConexao();
    if (!FConexao->conectada()) {
        const firebird::ParametrosConexao parametros = FConexao->parametros();
        FConexao->abrir(parametros);
    }
    return FConexao.get();
}
