// gerar-base-demo ARQUIVO.fdb [--produtos N] [--semente S]
#include "tools/gerador_demo.h"

#include "platform/erro/Erro.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>

namespace {

int uso() {
    std::fputs("uso: gerar-base-demo ARQUIVO.fdb [--produtos N] [--semente S]\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QString arquivo;
    ferramentas::OpcoesDemo opcoes;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"--produtos"_qs || a == u"--semente"_qs) {
            bool ok = false;
            if (i + 1 >= args.size())
                return uso();
            const QString valor = args[++i];
            if (a == u"--produtos"_qs) {
                opcoes.produtos = valor.toInt(&ok);
                if (!ok || opcoes.produtos < 1 || opcoes.produtos > 10'000'000) {
                    std::fprintf(stderr, "Número de produtos inválido: %s (de 1 a 10000000)\n", qPrintable(valor));
                    return 2;
                }
            } else {
                opcoes.semente = valor.toULongLong(&ok);
                if (!ok) {
                    std::fprintf(stderr, "Semente inválida: %s (um número inteiro não negativo)\n", qPrintable(valor));
                    return 2;
                }
            }
        } else if (a.startsWith(u"--"_qs) || !arquivo.isEmpty()) {
            return uso();
        } else {
            arquivo = a;
        }
    }
    if (arquivo.isEmpty())
        return uso();

    QElapsedTimer relogio;
    relogio.start();
    try {
        const auto r = ferramentas::gerarBaseDemo(arquivo, opcoes);
        std::printf("Base demo criada: %s\n"
                    "  %d produtos (%d com inconsistência, %d no perfil de imposto, %d inativos), "
                    "%d linhas de CSOSN, %d filiais; %.1f s\n",
                    qPrintable(arquivo), r.produtos, r.comInconsistencia, r.noPerfil, r.inativos,
                    r.linhasCsosn, r.filiais, double(relogio.elapsed()) / 1000.0);
        return 0;
    } catch (const Erro &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
