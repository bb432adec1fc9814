// Preparing the inconsistency report from a demo database: pages per second, memory per page
// held, peak memory and the size of the prepared-report file, with and without the file cache.
//
//   bench_relatorio BANCO.fdb [--filial CODIGO] [--cache] [--vezes N] [--fp3 ARQUIVO]
//
// After the preparations every page is rebuilt as objects once (what the preview, printing and
// export do for each page they show), and the pages per second of that are given too.
//
// The listing and count queries are opened and read whole before the clock starts, so the
// figures are those of the preparation alone (as when the preview prepares the second time).
#include "checks/catalogo.h"
#include "engine/report_prepare.h"
#include "platform/firebird/CursorConsulta.h"
#include "report/listagem.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Kilobytes of a "VmRSS:"/"VmHWM:" line of /proc/self/status.
long statusKiB(const char *campo)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &linha : f.readAll().split('\n'))
        if (linha.startsWith(campo))
            return linha.mid(int(qstrlen(campo))).trimmed().split(' ').value(0).toLong();
    return -1;
}

double segundosCpu()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "uso: bench_relatorio BANCO.fdb [--filial CODIGO] [--cache] [--vezes N] [--fp3 ARQUIVO]\n");
        return 2;
    }
    const QString banco = args.value(0);
    QString filial = QStringLiteral("1"), fp3;
    bool cache = false;
    int vezes = 3;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--filial")) filial = args.value(++i);
        else if (args[i] == QLatin1String("--cache")) cache = true;
        else if (args[i] == QLatin1String("--vezes")) vezes = args.value(++i).toInt();
        else if (args[i] == QLatin1String("--fp3")) fp3 = args.value(++i);
    }

    try {
        firebird::Conexao conexao;
        firebird::ParametrosConexao p;
        p.banco = banco;
        conexao.abrir(p);
        firebird::Consulta listagem(verificacoes::sqlConsulta(QStringLiteral("qryListagem")));
        firebird::Consulta contagem(verificacoes::sqlConsulta(QStringLiteral("qryContaOcorrencias")));
        for (firebird::Consulta *q : {&listagem, &contagem}) {
            q->setConexao(&conexao);
            q->setParametro(verificacoes::parametroFilial, filial);
            q->abrir();
        }
        firebird::CursorConsulta cursorListagem(listagem), cursorContagem(contagem);
        QElapsedTimer leitura;
        leitura.start();
        const int linhas = cursorListagem.RecordCount();
        cursorContagem.RecordCount();
        const double segundosLeitura = leitura.nsecsElapsed() / 1e9;

        TRelatorioListagem r;
        r.frxDBListagem.SetDataSet(&cursorListagem);
        r.frxDBContaOcorrencias.SetDataSet(&cursorContagem);
        r.frxListagem.Variables.Set(QStringLiteral("FILIAL"), NomeFilialComoExpressao(QStringLiteral("FILIAL DE TESTE")));
        r.frxListagem.EngineOptions.UseFileCache = cache;
        r.frxListagem.EngineOptions.NewSilentMode = simReThrow;

        const long antes = statusKiB("VmRSS:");
        // Wall clock and processor time: on a loaded machine the second is the figure to compare.
        std::vector<double> tempos, cpu;
        long depois = 0;
        for (int i = 0; i < vezes; ++i) {
            QElapsedTimer t;
            t.start();
            const double c0 = segundosCpu();
            frxPrepareReport(&r.frxListagem, true);
            cpu.push_back(segundosCpu() - c0);
            tempos.push_back(t.nsecsElapsed() / 1e9);
            depois = std::max(depois, statusKiB("VmRSS:"));
        }
        auto mediana_de = [](std::vector<double> v) {
            std::sort(v.begin(), v.end());
            return v[v.size() / 2];
        };
        const double mediana = mediana_de(tempos);
        const double medianaCpu = mediana_de(cpu);
        const int paginas = r.Paginas.Count();

        const long pico = statusKiB("VmHWM:");
        // Rebuilding pages: the page cache is emptied so every page is read from its text.
        r.Paginas.ClearPageCache();
        const double r0 = segundosCpu();
        QElapsedTimer reconstrucao;
        reconstrucao.start();
        for (int i = 0; i < paginas; ++i)
            r.Paginas.GetPage(i);
        const double segundosReconstrucao = reconstrucao.nsecsElapsed() / 1e9;
        const double cpuReconstrucao = segundosCpu() - r0;

        qint64 tamanho = -1;
        if (!fp3.isEmpty()) {
            r.Paginas.SaveToFile(fp3);
            tamanho = QFileInfo(fp3).size();
        }
        std::printf("banco=%s linhas=%d paginas=%d cache=%s leitura=%.2fs preparo_mediana=%.3fs (%d vezes) "
                    "paginas_por_s=%.0f cpu_mediana=%.3fs paginas_por_s_cpu=%.0f rss_antes=%ldKiB rss_depois=%ldKiB por_pagina=%.1fKiB pico=%ldKiB fp3=%lld "
                    "reconstrucao=%.3fs reconstrucao_paginas_por_s_cpu=%.0f\n",
                    qPrintable(QFileInfo(banco).fileName()), linhas, paginas, cache ? "sim" : "nao",
                    segundosLeitura, mediana, vezes, paginas / mediana, medianaCpu, paginas / medianaCpu, antes, depois,
                    paginas ? double(depois - antes) / paginas : 0.0, pico,
                    static_cast<long long>(tamanho), segundosReconstrucao,
                    cpuReconstrucao > 0 ? paginas / cpuReconstrucao : 0.0);
        return 0;
    } catch (const Erro &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
