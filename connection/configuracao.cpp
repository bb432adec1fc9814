#include "connection/configuracao.h"

#include "connection/UCriptografiaUtil.h"
#include "connection/aliases.h"
#include "platform/erro/Erro.h"
#include "platform/ini/Ini.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// Blanks and control characters, as the ERP trims them (every code up to the space).
QString aparar(const QString &texto)
{
    qsizetype inicio = 0;
    qsizetype fim = texto.size();
    while (inicio < fim && texto[inicio].unicode() <= u' ')
        ++inicio;
    while (fim > inicio && texto[fim - 1].unicode() <= u' ')
        --fim;
    return texto.mid(inicio, fim - inicio);
}

bool emBranco(const QString &texto)
{
    return aparar(texto).isEmpty();
}

void lerAmbiente(ConfiguracaoConexao &saida)
{
    const QString caminho = aparar(qEnvironmentVariable("CAMINHOBANCOVOSTREN"));
    const QString usuario = aparar(qEnvironmentVariable("USUARIOBANCOVOSTREN"));
    const QString senha = aparar(qEnvironmentVariable("SENHABANCOVOSTREN"));
    if (caminho.isEmpty() || usuario.isEmpty() || senha.isEmpty())
        return;
    saida = {caminho, usuario, senha};
}

void lerCaminhoIni(const QString &arquivo, const TCriptografia &cripto, ConfiguracaoConexao &saida)
{
    const ini::ArquivoIni caminhoIni = ini::ArquivoIni::ler(arquivo);
    auto lerSecao = [&](const QString &secao) {
        saida.caminho = caminhoIni.valor(secao, QStringLiteral("Caminho"));
        saida.usuario = caminhoIni.valor(secao, QStringLiteral("Usuario"));
        saida.senha = caminhoIni.valor(secao, QStringLiteral("Senha"));
    };
    lerSecao(QStringLiteral("DATABASENF"));
    if (saida.caminho.isEmpty() && saida.usuario.isEmpty() && saida.senha.isEmpty())
        lerSecao(QStringLiteral("DATABASEESTOQUE"));
    if (!emBranco(saida.usuario))
        saida.usuario = cripto.Decriptografar(saida.usuario);
    if (!emBranco(saida.senha))
        saida.senha = cripto.Decriptografar(saida.senha);
}

void lerAlias(const AmbienteConfiguracao &ambiente, ConfiguracaoConexao &saida)
{
    const QString primeira = parametrosAlias(QString::fromUtf16(ALIAS_BANCO), ambiente.arquivoAliases).first();
    const qsizetype igual = primeira.indexOf(u'=');
    saida.caminho = (igual < 0 ? primeira : primeira.mid(igual + 1)).left(255);
    saida.usuario = QString::fromUtf16(USUARIO_PADRAO);
    saida.senha = QString::fromUtf16(SENHA_PADRAO);
}

void lerVostrenIni(const QString &arquivo, const TCriptografia &cripto, ConfiguracaoConexao &saida)
{
    const ini::ArquivoIni vostren = ini::ArquivoIni::ler(arquivo);
    saida.usuario = vostren.valor(QStringLiteral("Conexao"), QStringLiteral("Usuario"));
    saida.senha = vostren.valor(QStringLiteral("Conexao"), QStringLiteral("Senha"));
    saida.usuario = emBranco(saida.usuario) ? QString::fromUtf16(USUARIO_PADRAO) : cripto.Decriptografar(saida.usuario);
    saida.senha = emBranco(saida.senha) ? QString::fromUtf16(SENHA_PADRAO) : cripto.Decriptografar(saida.senha);
}

void lerCheckoutIni(const QString &arquivo, const TCriptografia &cripto, ConfiguracaoConexao &saida)
{
    const ini::ArquivoIni checkout = ini::ArquivoIni::ler(arquivo);
    saida.caminho = checkout.valor(QStringLiteral("CONEXAO"), QStringLiteral("Caminho"));
    saida.usuario = checkout.valor(QStringLiteral("CONEXAO"), QStringLiteral("Usuario"));
    saida.senha = checkout.valor(QStringLiteral("CONEXAO"), QStringLiteral("Senha"));
    if (emBranco(saida.usuario))
        saida.usuario = QString::fromUtf16(USUARIO_PADRAO);
    saida.senha = emBranco(saida.senha)
                      ? QString::fromUtf16(SENHA_PADRAO)
                      : cripto.DecodificarCheckout(saida.senha, static_cast<std::uint16_t>(saida.senha.size() / 3));
}

void resolver(const AmbienteConfiguracao &ambiente, ConfiguracaoConexao &saida)
{
    saida = {};
    lerAmbiente(saida);

    const QString pasta = ambiente.pastaPrograma.isEmpty() ? QCoreApplication::applicationDirPath()
                                                           : ambiente.pastaPrograma;
    const TCriptografia cripto;

    if (const QString caminhoIni = localizarArquivo(pasta, QStringLiteral("Caminho.ini")); !caminhoIni.isEmpty()) {
        lerCaminhoIni(caminhoIni, cripto, saida);
    } else if (const QString caminhoDir = localizarArquivo(pasta, QStringLiteral("Caminho.Dir"));
               !caminhoDir.isEmpty()) {
        saida.caminho = ini::lerPrimeiraLinha(caminhoDir);
        saida.usuario = QString::fromUtf16(USUARIO_PADRAO);
        saida.senha = QString::fromUtf16(SENHA_PADRAO);
    } else if (saida.caminho.isEmpty() && saida.usuario.isEmpty() && saida.senha.isEmpty()) {
        lerAlias(ambiente, saida);
    }

    if (const QString vostren = localizarArquivo(pasta, QStringLiteral("Vostren.ini")); !vostren.isEmpty())
        lerVostrenIni(vostren, cripto, saida);
    if (const QString checkout = localizarArquivo(pasta, QStringLiteral("VostrenCheckout.ini")); !checkout.isEmpty())
        lerCheckoutIni(checkout, cripto, saida);
}

}  // namespace

QString localizarArquivo(const QString &pasta, const QString &nome)
{
    const QDir dir(pasta);
    if (QFileInfo::exists(dir.filePath(nome)))
        return dir.filePath(nome);
    const QStringList parecidos = dir.entryList({nome}, QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString &achado : parecidos)
        if (achado.compare(nome, Qt::CaseInsensitive) == 0)
            return dir.filePath(achado);
    return {};
}

void resolverConfiguracao(const AmbienteConfiguracao &ambiente, ConfiguracaoConexao &saida)
{
    try {
        resolver(ambiente, saida);
    } catch (const Erro &e) {
        throw Erro(QStringLiteral("Não foi possível conectar ao banco de dados. \r") + e.mensagem());
    }
}
