// Time and memory of the inconsistency workbook, split into reading the listing and writing the
// workbook.
//
//   bench-planilha sintetico LINHAS [REPETICOES]   rows made up in memory: writing alone
//   bench-planilha banco ARQUIVO.fdb [--ativos] [--filial CODIGO] [REPETICOES]
//                                                   the demo database through the program's
//                                                   statements, as the batch command reads it
//
// Prints one line per run and the medians; the peak resident memory is the process's own.
#include "checks/catalogo.h"
#include "export/fonte_consultas.h"
#include "export/planilha_inconsistencias.h"
#include "platform/firebird/BancoFirebird.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <vector>

namespace {

using Relogio = std::chrono::steady_clock;

double segundos(Relogio::duration d) { return std::chrono::duration<double>(d).count(); }

// Processor time of the whole process (the embedded database engine included): on a shared
// machine the wall clock also counts other people's work.
double cpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double picoMiB() {
    struct rusage uso {};
    getrusage(RUSAGE_SELF, &uso);
    return double(uso.ru_maxrss) / 1024.0;
}

// Counts the time spent inside the source: that is reading, the rest is writing.
class FonteCronometrada : public FonteInconsistencias {
public:
    explicit FonteCronometrada(FonteInconsistencias &base) : base_(base) {}
    bool proximaLinha(LinhaListagem &linha) override {
        const auto inicio = Relogio::now();
        const double inicioCpu = cpu();
        const bool ha = base_.proximaLinha(linha);
        leituraCpu += cpu() - inicioCpu;
        leitura += Relogio::now() - inicio;
        linhas += ha;
        return ha;
    }
    bool proximaContagem(QString &descricao, QString &quantidade) override {
        const auto inicio = Relogio::now();
        const double inicioCpu = cpu();
        const bool ha = base_.proximaContagem(descricao, quantidade);
        leituraCpu += cpu() - inicioCpu;
        leitura += Relogio::now() - inicio;
        return ha;
    }
    qint64 totalOcorrencias() override { return base_.totalOcorrencias(); }

    Relogio::duration leitura{};
    double leituraCpu = 0;
    qint64 linhas = 0;

private:
    FonteInconsistencias &base_;
};

// Rows shaped like the demo's: fifteen rules in order, products as "code - description".
class FonteSintetica : public FonteInconsistencias {
public:
    explicit FonteSintetica(qint64 linhas) : total_(linhas) {}
    bool proximaLinha(LinhaListagem &l) override {
        if (atual_ >= total_)
            return false;
        const int regra = int(atual_ * 15 / std::max<qint64>(total_, 1));
        l[0] = QStringLiteral("REGRA %1 DE VERIFICAÇÃO DAS TRIBUTAÇÕES DO PRODUTO").arg(regra + 1, 2, 10, QLatin1Char('0'));
        l[1] = QStringLiteral("%1 - PRODUTO DE DEMONSTRAÇÃO NÚMERO %1 500G").arg(atual_ + 1);
        l[2] = QStringLiteral("MERCEARIA");
        l[3] = QStringLiteral("BISCOITOS E BOLACHAS");
        for (int i = 4; i < 8; ++i)
            l[i] = QStringLiteral("060");
        l[8] = QStringLiteral("500");
        l[9] = QStringLiteral("100.000");
        l[10] = QStringLiteral("18.00");
        l[11] = QStringLiteral("18.00");
        l[12] = QStringLiteral("1700100");
        l[13] = QStringLiteral("Não");
        l[14] = QString();
        l[15] = QStringLiteral("19053100");
        ++atual_;
        return true;
    }
    bool proximaContagem(QString &descricao, QString &quantidade) override {
        if (contagem_ >= 15)
            return false;
        descricao = QStringLiteral("REGRA %1").arg(++contagem_);
        quantidade = QString::number(total_ / 15);
        return true;
    }
    qint64 totalOcorrencias() override { return total_; }

private:
    qint64 total_, atual_ = 0;
    int contagem_ = 0;
};

struct Medida {
    double abrir = 0, leitura = 0, escrita = 0;
    double abrirCpu = 0, leituraCpu = 0, escritaCpu = 0;
    qint64 linhas = 0, bytes = 0;
};

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : (v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2);
}

Medida gravar(FonteInconsistencias &fonte, const QString &arquivo, double abrir, double abrirCpu) {
    FonteCronometrada cronometrada(fonte);
    const auto inicio = Relogio::now();
    const double inicioCpu = cpu();
    GravarPlanilhaInconsistencias(cronometrada, arquivo);
    const double totalCpu = cpu() - inicioCpu;
    const auto total = Relogio::now() - inicio;
    Medida m;
    m.abrir = abrir;
    m.abrirCpu = abrirCpu;
    m.leituraCpu = abrirCpu + cronometrada.leituraCpu;
    m.escritaCpu = totalCpu - cronometrada.leituraCpu;
    m.leitura = abrir + segundos(cronometrada.leitura);
    m.escrita = segundos(total - cronometrada.leitura);
    m.linhas = cronometrada.linhas;
    m.bytes = QFileInfo(arquivo).size();
    return m;
}

Medida medirBanco(const QString &banco, bool ativos, const QString &filial, const QString &arquivo) {
    firebird::Conexao conexao;
    firebird::ParametrosConexao parametros;
    parametros.banco = banco;
    parametros.usuario = QStringLiteral("SYSDBA");
    conexao.abrir(parametros);
    const auto variante = ativos ? verificacoes::Variante::ProdutosAtivos : verificacoes::Variante::TodosProdutos;
    firebird::Consulta listagem(verificacoes::sqlConsulta(verificacoes::nomeListagem(variante)));
    firebird::Consulta contagens(verificacoes::sqlConsulta(verificacoes::nomeContaOcorrencias(variante)));
    firebird::Consulta total(verificacoes::sqlConsulta(verificacoes::nomeTotal(variante)));
    const auto inicio = Relogio::now();
    const double inicioCpu = cpu();
    for (firebird::Consulta *c : {&listagem, &contagens, &total}) {
        c->setConexao(&conexao);
        c->setParametro(verificacoes::parametroFilial, filial);
        c->abrir();
    }
    const double abrir = segundos(Relogio::now() - inicio);
    const double abrirCpu = cpu() - inicioCpu;
    FonteConsultas fonte(listagem, contagens, total);
    return gravar(fonte, arquivo, abrir, abrirCpu);
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication aplicacao(argc, argv);
    QStringList args = aplicacao.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "uso: bench-planilha sintetico LINHAS [REPETICOES] | banco ARQUIVO.fdb [--ativos] [--filial CODIGO] [REPETICOES]\n");
        return 2;
    }
    const QString modo = args.takeFirst();
    const QString alvo = args.takeFirst();
    bool ativos = false;
    QString filial = QStringLiteral("1");
    int repeticoes = 3;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--ativos"))
            ativos = true;
        else if (args[i] == QLatin1String("--filial") && i + 1 < args.size())
            filial = args[++i];
        else
            repeticoes = std::max(1, args[i].toInt());
    }

    QTemporaryDir pasta;
    const QString arquivo = pasta.filePath(QStringLiteral("bench.xlsx"));
    std::vector<double> abrir, leitura, escrita, leituraCpu, escritaCpu;
    Medida m;
    try {
        for (int r = 0; r < repeticoes; ++r) {
            if (modo == QLatin1String("sintetico")) {
                FonteSintetica fonte(alvo.toLongLong());
                m = gravar(fonte, arquivo, 0, 0);
            } else {
                m = medirBanco(alvo, ativos, filial, arquivo);
            }
            abrir.push_back(m.abrir);
            leitura.push_back(m.leitura);
            escrita.push_back(m.escrita);
            leituraCpu.push_back(m.leituraCpu);
            escritaCpu.push_back(m.escritaCpu);
            std::printf("execução %d: %lld linhas, consultas abertas em %.2f s (CPU %.2f s), leitura %.2f s (CPU %.2f s), "
                        "escrita %.2f s (CPU %.2f s), arquivo %.1f MB\n",
                        r + 1, (long long)m.linhas, m.abrir, m.abrirCpu, m.leitura, m.leituraCpu, m.escrita,
                        m.escritaCpu, double(m.bytes) / 1e6);
            std::fflush(stdout);
        }
    } catch (const Erro &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("medianas de %d: abertura das consultas %.2f s, leitura (com a abertura) %.2f s (CPU %.2f s), "
                "escrita %.2f s (CPU %.2f s); %lld linhas, arquivo %.1f MB, pico de memória %.0f MiB\n",
                repeticoes, mediana(abrir), mediana(leitura), mediana(leituraCpu), mediana(escrita),
                mediana(escritaCpu), (long long)m.linhas, double(m.bytes) / 1e6, picoMiB());
    return 0;
}
