// Fuzz target: the expression compiler and the memo text expansion take any text without
// crashing, hanging or leaking; failures must come back as errors.
#include "engine/bands.h"
#include "engine/expr_compiler.h"
#include "engine/pages.h"
#include "engine/report.h"
#include "engine/views.h"
#include "platform/erro/Erro.h"

#include <cstddef>
#include <cstdint>

namespace {

struct World {
    TfrxReport report;
    TfrxReportPage *page = new TfrxReportPage(&report);
    TfrxMasterData *band = new TfrxMasterData(page);
    TfrxMemoView *memo = new TfrxMemoView(band);
    World() {
        page->SetName("Page1");
        band->SetName("MasterData1");
        memo->SetName("Memo1");
    }
    void Reset() {
        report.Variables.Clear();
        report.Variables.Set("FILIAL", "'Loja'");
        report.Variables.Set("Laco", "Laco");
        report.Variables.Set("N", 3);
        report.ClearErrors();
        report.ClearExpressionCache();
    }
};

struct Scope : TfrxExprScope {
    TfrxReport *report;
    explicit Scope(TfrxReport *r) : report(r) {}
    bool IsIdentifier(const QString &name) const override { return report->FindObject(name) != nullptr; }
    QVariant Identifier(const QString &name) override { return frxObjectVariant(report->FindObject(name)); }
    QVariant ReportValue(const QString &) override { return 1; }
    void SetReportValue(const QString &, const QVariant &) override {}
    QVariant Aggregate(const QString &, const std::vector<QVariant> &) override { return {}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static World world;
    world.Reset();
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    Scope scope(&world.report);
    QString error;
    if (auto compiled = frxCompileExpression(text, scope, error)) {
        try {
            compiled->Evaluate(scope);
        } catch (const TfrxExprError &) {
        }
    } else if (error.isEmpty()) {
        __builtin_trap();  // a failure without a message
    }

    world.memo->SetText(text);
    try {
        world.memo->EvaluateData();
    } catch (const Erro &e) {
        if (e.mensagem().isEmpty()) __builtin_trap();
    }
    return 0;
}
