#include "engine/expression_cache.h"

#include "engine/pages.h"
#include "engine/resources.h"
#include "engine/report.h"
#include "engine/views.h"

// The names a cached function sees: the report's objects, the report itself and the script's
// own variables "Value" and "Self".
class TfrxExpressionCache::Scope final : public TfrxExprScope {
public:
    explicit Scope(TfrxReport *r) : report(r) {}

    bool IsIdentifier(const QString &name) const override {
        if (IsBuiltin(name)) return true;
        if (report->Name().compare(name, Qt::CaseInsensitive) == 0) return true;
        return report->FindObject(name) != nullptr;
    }

    QVariant Identifier(const QString &name) override {
        const QString n = name.toLower();
        if (n == QLatin1String("value")) return report->ScriptValue;
        if (n == QLatin1String("self")) return frxObjectVariant(report->Self);
        if (n == QLatin1String("report")) return frxObjectVariant(report);
        if (n == QLatin1String("engine") || n == QLatin1String("outline")) return {};
        if (report->Name().compare(name, Qt::CaseInsensitive) == 0) return frxObjectVariant(report);
        if (TfrxComponent *c = report->FindObject(name)) return frxObjectVariant(c);
        // The object went away after the expression was compiled.
        throw TfrxExprError{QStringLiteral("Access violation: %1 no longer exists").arg(name)};
    }

    QVariant ReportValue(const QString &text) override { return report->Get(text); }
    void SetReportValue(const QString &name, const QVariant &value) override { report->Set(name, value); }
    QVariant Aggregate(const QString &, const std::vector<QVariant> &) override { return {}; }

private:
    static bool IsBuiltin(const QString &name) {
        static const char *const names[] = {"Value", "Self", "Report", "Engine", "Outline"};
        for (const char *b : names)
            if (name.compare(QLatin1String(b), Qt::CaseInsensitive) == 0) return true;
        return false;
    }
    TfrxReport *report;
};

TfrxExpressionCache::TfrxExpressionCache(TfrxReport *report)
    : FReport(report), FScope(std::make_unique<Scope>(report)) {}

TfrxExpressionCache::~TfrxExpressionCache() = default;

void TfrxExpressionCache::Clear() { FItems.clear(); }

bool TfrxExpressionCache::IsDivisionByZero(const QString &message) {
    return message == QLatin1String(frxDivisionByZero) || message == QLatin1String(frxFloatDivisionByZero);
}

QVariant TfrxExpressionCache::Calc(const QString &expr, QString &error) {
    error.clear();
    auto it = FItems.find(expr);
    if (it == FItems.end()) {
        if (FReport->ScriptLanguage.compare(QLatin1String("PascalScript"), Qt::CaseInsensitive) != 0) {
            error = frxGet(QStringLiteral("clExprError")) + QLatin1String(" '") + expr + QLatin1String("': ") +
                    QStringLiteral("Linguagem de script não suportada: ") + FReport->ScriptLanguage;
            return {};
        }
        const QString source = QStringLiteral("function fr3f") + QString::number(FItems.size()) +
                               QLatin1String(": Variant; begin Result := ") + expr + QLatin1String(" end; begin end.");
        QString message;
        auto compiled = frxCompileFunction(source, *FScope, message);
        if (!compiled) {
            error = frxGet(QStringLiteral("clExprError")) + QLatin1String(" '") + expr + QLatin1String("': ") + message;
            return {};
        }
        it = FItems.emplace(expr, std::move(compiled)).first;
    }
    try {
        return it->second->Evaluate(*FScope);
    } catch (const TfrxExprError &e) {
        error = e.Message;
        return {};
    }
}
