// Memo evaluation as a listing run does it: per row, every data memo of the band expands its
// "[frxDBListagem."FIELD"]" text through name resolution, and the per-run cache serves the
// compiled expressions.
#include "memory_cursor.h"

#include "engine/bands.h"
#include "engine/datasets.h"
#include "engine/expressions.h"
#include "engine/pages.h"
#include "engine/report.h"
#include "engine/views.h"

#include <benchmark/benchmark.h>

namespace {

const char *const kFields[] = {"DESC_ERRO", "PRODUTO", "GRUPO", "SUBGRUPO", "CST", "CST_REG01", "CST_REG02",
                               "CST_REG03", "CSOSN", "BASEICMS", "ALIQICMS", "ALIQECF", "CEST", "STENTRADA",
                               "STSAIDA", "CODNCM"};

struct Listing {
    MemoryCursor query;
    TfrxDBDataset ds;
    TfrxReport report;
    TfrxReportPage *page = new TfrxReportPage(&report);
    TfrxMasterData *band = new TfrxMasterData(page);
    std::vector<TfrxMemoView *> memos;

    Listing() {
        for (const char *f : kFields) query.fields.push_back({f, cfkString, 20});
        for (int r = 0; r < 1000; ++r) {
            std::vector<QVariant> row;
            for (int c = 0; c < 16; ++c) row.push_back(QStringLiteral("valor %1 %2").arg(r).arg(c));
            query.rows.push_back(row);
        }
        ds.SetName("frxDBListagem");
        ds.SetDataSet(&query);
        report.DataSets.Add(&ds);
        for (const char *f : kFields) {
            auto *m = new TfrxMemoView(band);
            m->SetName(QStringLiteral("frxDBListagem") + f);
            m->SetText(QStringLiteral("[frxDBListagem.\"%1\"]").arg(f));
            memos.push_back(m);
        }
        report.BeginDataSets();
        ds.First();
    }
    ~Listing() { report.EndDataSets(); }
};

void EvaluateListingRow(benchmark::State &state) {
    Listing l;
    std::vector<QStringList> design;
    for (TfrxMemoView *m : l.memos) design.push_back(m->Memo);
    for (auto _ : state) {
        for (size_t i = 0; i < l.memos.size(); ++i) {
            l.memos[i]->Memo = design[i];  // the band engine restores the design text per row
            l.memos[i]->EvaluateData();
        }
        l.ds.Next();
        if (l.ds.Eof()) l.ds.First();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(l.memos.size()));
}
BENCHMARK(EvaluateListingRow);

void CalcCachedExpression(benchmark::State &state) {
    TfrxReport report;
    report.Variables.Set("N", 5);
    report.Calc("IIF(<N> > 1, 'muitos', 'um')");
    for (auto _ : state) benchmark::DoNotOptimize(report.Calc("IIF(<N> > 1, 'muitos', 'um')"));
}
BENCHMARK(CalcCachedExpression);

void CompileOnce(benchmark::State &state) {
    TfrxReport report;
    for (auto _ : state) {
        report.ClearExpressionCache();
        benchmark::DoNotOptimize(report.Calc("'Mercado D''Ávila - Centro'"));
    }
}
BENCHMARK(CompileOnce);

void FormatNumber(benchmark::State &state) {
    TfrxFormat f;
    f.Kind = fkNumeric;
    f.FormatStr = "#,##0.00";
    double v = 1234.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(frxFormatValue(v, f));
        v += 0.01;
    }
}
BENCHMARK(FormatNumber);

}  // namespace

BENCHMARK_MAIN();
