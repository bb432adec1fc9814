#include "platform/ini/Ini.h"

#include "platform/ini/Win1252.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace ini {
namespace {

QString decodificar(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texto = utf8(bytes);
    if (!utf8.hasError())
        return texto;
    return deWin1252(bytes);
}

QString motivoLeitura(const QFile &arquivo)
{
    switch (arquivo.error()) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("acesso negado");
    case QFileDevice::OpenError:
        return QStringLiteral("o arquivo não pôde ser aberto (%1)").arg(arquivo.errorString());
    default:
        return QStringLiteral("erro de leitura (%1)").arg(arquivo.errorString());
    }
}

QStringList separarLinhas(const QString &texto)
{
    QStringList linhas;
    qsizetype inicio = 0;
    const qsizetype n = texto.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = texto[i];
        if (c != u'\n' && c != u'\r')
            continue;
        linhas.append(texto.mid(inicio, i - inicio));
        if (c == u'\r' && i + 1 < n && texto[i + 1] == u'\n')
            ++i;
        inicio = i + 1;
    }
    if (inicio < n)
        linhas.append(texto.mid(inicio));
    return linhas;
}

}  // namespace

QString lerTexto(const QString &caminho)
{
    if (QFileInfo(caminho).isDir())
        throw Erro(QStringLiteral("Não foi possível ler o arquivo \"%1\": é uma pasta, não um arquivo.")
                       .arg(caminho));
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly))
        throw Erro(QStringLiteral("Não foi possível ler o arquivo \"%1\": %2.").arg(caminho, motivoLeitura(arquivo)));
    const QByteArray bytes = arquivo.readAll();
    if (arquivo.error() != QFileDevice::NoError)
        throw Erro(QStringLiteral("Não foi possível ler o arquivo \"%1\": %2.").arg(caminho, motivoLeitura(arquivo)));
    return decodificar(bytes);
}

ArquivoIni ArquivoIni::ler(const QString &caminho)
{
    return deTexto(lerTexto(caminho));
}

ArquivoIni ArquivoIni::deTexto(const QString &texto)
{
    ArquivoIni ini;
    Secao *atual = nullptr;
    for (const QString &linha : separarLinhas(texto)) {
        const QString aparada = linha.trimmed();
        if (aparada.isEmpty() || aparada.startsWith(u';'))
            continue;
        if (aparada.startsWith(u'[')) {
            const qsizetype fim = aparada.indexOf(u']');
            if (fim > 0) {
                ini.secoes_.push_back({aparada.mid(1, fim - 1).trimmed(), {}});
                atual = &ini.secoes_.back();
                continue;
            }
        }
        // Lines before the first section header belong to no section and are never read.
        if (atual)
            atual->linhas.append(linha);
    }
    return ini;
}

const ArquivoIni::Secao *ArquivoIni::secao(const QString &nome) const
{
    // The first section of a name wins, as with the ERP's own reader.
    for (const Secao &s : secoes_)
        if (s.nome.compare(nome, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

bool ArquivoIni::temSecao(const QString &nome) const
{
    return secao(nome) != nullptr;
}

QString ArquivoIni::valor(const QString &nomeSecao, const QString &chave) const
{
    const Secao *s = secao(nomeSecao);
    if (!s)
        return {};
    for (const QString &linha : s->linhas) {
        const qsizetype igual = linha.indexOf(u'=');
        if (igual < 0)
            continue;
        if (linha.left(igual).trimmed().compare(chave, Qt::CaseInsensitive) == 0)
            return linha.mid(igual + 1);
    }
    return {};
}

QStringList ArquivoIni::linhas(const QString &nomeSecao) const
{
    const Secao *s = secao(nomeSecao);
    return s ? s->linhas : QStringList{};
}

QString lerPrimeiraLinha(const QString &caminho)
{
    const QString texto = lerTexto(caminho);
    const qsizetype fim = texto.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    return fim < 0 ? texto : texto.left(fim);
}

}  // namespace ini
