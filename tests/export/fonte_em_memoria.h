#pragma once
// Listing, counts and total held in memory: the workbook as the export writes it from rows,
// without a database in between.
#include "export/planilha_inconsistencias.h"

#include <utility>
#include <vector>

struct FonteEmMemoria : FonteInconsistencias {
    std::vector<LinhaListagem> linhas;
    std::vector<std::pair<QString, QString>> contagens;
    qint64 total = 0;
    size_t lidas = 0, contagensLidas = 0;

    bool proximaLinha(LinhaListagem &linha) override {
        if (lidas >= linhas.size())
            return false;
        linha = linhas[lidas++];
        return true;
    }
    bool proximaContagem(QString &descricao, QString &quantidade) override {
        if (contagensLidas >= contagens.size())
            return false;
        std::tie(descricao, quantidade) = contagens[contagensLidas++];
        return true;
    }
    qint64 totalOcorrencias() override { return total; }

    // A product row of the given rule; the other fields show where they came from.
    void produto(const QString &regra, const QString &produto) {
        LinhaListagem l;
        l[0] = regra;
        l[1] = produto;
        for (int i = 2; i < ColunasListagem; ++i)
            l[i] = QStringLiteral("%1-%2").arg(produto).arg(i);
        linhas.push_back(l);
        ++total;
    }
};
