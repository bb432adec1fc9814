#include "connection/aliases.h"

#include "platform/erro/Erro.h"
#include "platform/ini/Ini.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {
constexpr auto kNomeArquivo = "quelvora/aliases.ini";
}

QString localizarArquivoAliases()
{
    return QStandardPaths::locate(QStandardPaths::GenericConfigLocation, QString::fromLatin1(kNomeArquivo));
}

QStringList parametrosAlias(const QString &alias, const QString &arquivo)
{
    QString caminho = arquivo.isEmpty() ? localizarArquivoAliases() : arquivo;
    if (caminho.isEmpty() || !QFileInfo::exists(caminho)) {
        if (caminho.isEmpty())
            caminho = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
                      QString::fromLatin1(kNomeArquivo);
        throw Erro(QStringLiteral("O alias \"%1\" não existe: não há arquivo de aliases em \"%2\".").arg(alias, caminho));
    }
    const ini::ArquivoIni aliases = ini::ArquivoIni::ler(caminho);
    if (!aliases.temSecao(alias))
        throw Erro(QStringLiteral("O alias \"%1\" não existe em \"%2\".").arg(alias, caminho));
    const QStringList linhas = aliases.linhas(alias);
    if (linhas.isEmpty())
        throw Erro(QStringLiteral("O alias \"%1\" não tem parâmetros em \"%2\".").arg(alias, caminho));
    return linhas;
}
