#pragma once
// The expression part of the report's script language: a compiler from text to a tree and its
// evaluation over the report's names. Names are checked when compiling (an unknown identifier
// is a compile error), as the report's script knows every object before a run.
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

class TfrxComponent;

// What the compiled expression sees: objects by name, the report's values and functions.
class TfrxExprScope {
public:
    virtual ~TfrxExprScope() = default;
    // Compile time: is the identifier an object, a variable of the script, or a function?
    virtual bool IsIdentifier(const QString &name) const = 0;
    // Run time.
    virtual QVariant Identifier(const QString &name) = 0;
    virtual QVariant ReportValue(const QString &text) = 0;  // <text>, also Get(text)
    virtual void SetReportValue(const QString &name, const QVariant &value) = 0;
    // Aggregates belong to the band engine; null without one.
    virtual QVariant Aggregate(const QString &name, const std::vector<QVariant> &args) = 0;
};

// A run-time failure of an expression; the text is the platform's message.
struct TfrxExprError {
    QString Message;
};

class TfrxCompiledExpression {
public:
    virtual ~TfrxCompiledExpression() = default;
    virtual QVariant Evaluate(TfrxExprScope &scope) const = 0;
};

// Compiles the source of one cached function ("function fr3f0: Variant; begin Result := <expr>
// end; begin end.") in the PascalScript form. On failure returns null and sets error to the
// language's message ("Expression expected", "')' expected", ...).
std::unique_ptr<TfrxCompiledExpression> frxCompileFunction(const QString &source, const TfrxExprScope &scope,
                                                           QString &error);
// Compiles a bare expression (tests, fuzzing).
std::unique_ptr<TfrxCompiledExpression> frxCompileExpression(const QString &expr, const TfrxExprScope &scope,
                                                             QString &error);

// Objects travel through expressions as variants holding the component pointer.
QVariant frxObjectVariant(TfrxComponent *c);
TfrxComponent *frxVariantObject(const QVariant &v);

inline const char *const frxDivisionByZero = "Division by zero";
inline const char *const frxFloatDivisionByZero = "Floating point division by zero";
