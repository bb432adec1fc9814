#include "tests/checks/apoio.h"

#include "checks/esquema.h"

#include <algorithm>

namespace teste {

Resultado executar(firebird::Conexao &conexao, const QString &sql, const QString &codigoFilial) {
    firebird::Consulta consulta(sql);
    consulta.setConexao(&conexao);
    return executar(consulta, codigoFilial);
}

Resultado executar(firebird::Consulta &consulta, const QString &codigoFilial) {
    verificacoes::abrirComFilial(consulta, codigoFilial);
    Resultado r;
    for (int c = 0; c < consulta.numeroCampos(); ++c) r.colunas << consulta.nomeCampo(c);
    for (; !consulta.fim(); consulta.proximo()) {
        QStringList linha;
        for (int c = 0; c < consulta.numeroCampos(); ++c)
            linha << (consulta.nulo(c) ? nulo : consulta.texto(c));
        r.linhas.push_back(linha);
    }
    consulta.fechar();
    return r;
}

namespace {

QString descrever(const QStringList &linha) { return '[' + linha.join(QStringLiteral(" | ")) + ']'; }

QString diferencaColunas(const Resultado &a, const Resultado &b) {
    if (a.colunas != b.colunas)
        return QStringLiteral("colunas ") + descrever(a.colunas) + QStringLiteral(" <> ") + descrever(b.colunas);
    if (a.linhas.size() != b.linhas.size())
        return QStringLiteral("%1 linhas na referência, %2 no programa").arg(a.linhas.size()).arg(b.linhas.size());
    return {};
}

}  // namespace

QString diferencaExata(const Resultado &a, const Resultado &b) {
    if (QString d = diferencaColunas(a, b); !d.isEmpty()) return d;
    for (size_t i = 0; i < a.linhas.size(); ++i)
        if (a.linhas[i] != b.linhas[i])
            return QStringLiteral("linha %1: ").arg(i) + descrever(a.linhas[i]) + QStringLiteral(" <> ") +
                   descrever(b.linhas[i]);
    return {};
}

QString diferencaListagem(const Resultado &a, const Resultado &b) {
    if (QString d = diferencaColunas(a, b); !d.isEmpty()) return d;
    size_t i = 0;
    while (i < a.linhas.size()) {
        size_t fim = i + 1;
        auto empata = [&](const QStringList &x, const QStringList &y) { return x[0] == y[0] && x[1] == y[1]; };
        while (fim < a.linhas.size() && empata(a.linhas[fim], a.linhas[i])) ++fim;
        std::vector<QStringList> ga(a.linhas.begin() + i, a.linhas.begin() + fim);
        std::vector<QStringList> gb(b.linhas.begin() + i, b.linhas.begin() + fim);
        for (const QStringList &l : gb)
            if (!empata(l, ga.front()))
                return QStringLiteral("linha %1: ").arg(i) + descrever(ga.front()) + QStringLiteral(" <> ") +
                       descrever(l);
        if (fim < b.linhas.size() && empata(b.linhas[fim], ga.front()))
            return QStringLiteral("linha %1: grupo maior no programa ").arg(fim) + descrever(b.linhas[fim]);
        std::sort(ga.begin(), ga.end());
        std::sort(gb.begin(), gb.end());
        if (ga != gb)
            return QStringLiteral("grupo na linha %1: ").arg(i) + descrever(ga.front()) + QStringLiteral(" ...");
        i = fim;
    }
    return {};
}

}  // namespace teste
