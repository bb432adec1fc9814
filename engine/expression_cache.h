#pragma once
// The report's cache of compiled expressions: one function per distinct expression text,
// compiled once per run and kept until the cache is emptied at the start of the next run.
#include "engine/expr_compiler.h"

#include <map>

class TfrxReport;

class TfrxExpressionCache {
public:
    explicit TfrxExpressionCache(TfrxReport *report);
    ~TfrxExpressionCache();

    // Compiles on first use; error receives the text to report (empty on success).
    QVariant Calc(const QString &expr, QString &error);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    static bool IsDivisionByZero(const QString &message);

private:
    class Scope;
    TfrxReport *FReport;
    std::unique_ptr<Scope> FScope;
    // Keyed by the exact text: two expressions that differ only in letter case (two text
    // literals, say) are two expressions.
    std::map<QString, std::unique_ptr<TfrxCompiledExpression>> FItems;
};
