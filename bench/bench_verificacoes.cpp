// bench-verificacoes BANCO.fdb CONSULTA [--referencia] [--repeticoes N] [--filial CODIGO]
//
// Opens one statement of the checks' catalogue on a demo database, reads every row with every
// column as text, closes it, N times; prints the median and the extremes in seconds, the rows and
// the process's peak resident memory. The embedded engine runs inside the process, so the
// process's CPU time is the engine's work plus the reading; on a shared machine it is the steadier
// figure of the two. CONSULTA is a catalogue name (qryListagem ...) or "piso":
// one count over the four joins with the tax-profile exclusion, the least work any rule statement
// must do. Each statement runs in a process of its own so that the peak memory is its own.
#include "checks/catalogo.h"
#include "checks/esquema.h"
#include "platform/firebird/BancoFirebird.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

using namespace verificacoes;

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fputs("uso: bench-verificacoes BANCO.fdb CONSULTA [--referencia] [--repeticoes N] [--filial CODIGO]\n",
                   stderr);
        return 2;
    }
    const QString banco = args[0], nome = args[1];
    Forma forma = Forma::Programa;
    int repeticoes = 5;
    QString filial = QStringLiteral("1");
    for (int i = 2; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--referencia")) forma = Forma::Referencia;
        else if (args[i] == QLatin1String("--repeticoes") && i + 1 < args.size()) repeticoes = args[++i].toInt();
        else if (args[i] == QLatin1String("--filial") && i + 1 < args.size()) filial = args[++i];
    }
    try {
        firebird::Conexao conexao;
        firebird::ParametrosConexao p;
        p.banco = banco;
        conexao.abrir(p);
        firebird::Consulta consulta(nome == QLatin1String("piso") ? sqlPisoContagem(Variante::TodosProdutos)
                                                                   : sqlConsulta(nome, forma));
        consulta.setConexao(&conexao);
        auto cpu = [] {
            rusage u{};
            getrusage(RUSAGE_SELF, &u);
            return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
        };
        std::vector<double> tempos, temposCpu;
        qint64 linhas = 0;
        qint64 caracteres = 0;
        for (int r = 0; r < repeticoes; ++r) {
            QElapsedTimer relogio;
            relogio.start();
            const double cpuInicio = cpu();
            abrirComFilial(consulta, filial);
            linhas = 0;
            const int campos = consulta.numeroCampos();
            for (; !consulta.fim(); consulta.proximo()) {
                for (int c = 0; c < campos; ++c) caracteres += consulta.texto(c).size();
                ++linhas;
            }
            consulta.fechar();
            tempos.push_back(relogio.nsecsElapsed() / 1e9);
            temposCpu.push_back(cpu() - cpuInicio);
        }
        std::vector<double> ordenados = tempos;
        std::sort(ordenados.begin(), ordenados.end());
        std::sort(temposCpu.begin(), temposCpu.end());
        rusage uso{};
        getrusage(RUSAGE_SELF, &uso);
        std::printf("%s\t%s\tmediana %.3f s\tmin %.3f\tmax %.3f\tcpu-mediana %.3f s\tn %d\tlinhas %lld\t"
                    "memoria-pico %ld MiB\n",
                    qPrintable(nome), forma == Forma::Referencia ? "referencia" : "programa",
                    ordenados[ordenados.size() / 2], ordenados.front(), ordenados.back(),
                    temposCpu[temposCpu.size() / 2], repeticoes,
                    static_cast<long long>(linhas), uso.ru_maxrss / 1024);
        std::fflush(stdout);
        return caracteres < 0;  // keeps the reads from being optimised away
    } catch (const Erro &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
