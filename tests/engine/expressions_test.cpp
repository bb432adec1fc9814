// Memo evaluation: text expansion, formats, deferred markers, the expression cache and the
// expression compiler's grammar and messages.
#include "memory_cursor.h"
#include "qt_printers.h"

#include "engine/bands.h"
#include "engine/datasets.h"
#include "engine/expr_compiler.h"
#include "engine/expressions.h"
#include "engine/pages.h"
#include "engine/report.h"
#include "engine/views.h"
#include "platform/erro/Erro.h"

#include <gtest/gtest.h>

namespace {

struct Fixture {
    TfrxReport report;
    TfrxReportPage *page = new TfrxReportPage(&report);
    TfrxMasterData *band = new TfrxMasterData(page);
    TfrxMemoView *memo = new TfrxMemoView(band);
    Fixture() {
        page->SetName("Page1");
        band->SetName("MasterData1");
        memo->SetName("Memo1");
        report.Variables.Set("FILIAL", "'Loja Centro'");
        report.Variables.Set("Colchete", "'[x]'");
        report.Variables.Set("Zero", 0);
        report.Variables.Set("ZeroTexto", "'0'");
        report.Variables.Set("Valor", 1234.5);
        report.Variables.Set("Dia", QDate(2026, 12, 11));
        report.Variables.Set("Sim", true);
    }
    QString Print(const QString &text) {
        memo->SetText(text);
        memo->EvaluateData();
        QString t = memo->Text();
        if (t.endsWith(QLatin1String("\r\n"))) t.chop(2);
        return t;
    }
};

TEST(TextExpansion, BracketsQuotesNestingAndBlanks) {
    const struct { const char *memo, *printed; } cases[] = {
        {"sem expressão ] nenhuma", "sem expressão ] nenhuma"},
        {"Filial: [FILIAL]", "Filial: Loja Centro"},
        {"[FILIAL] e [FILIAL]", "Loja Centro e Loja Centro"},
        {"[ 1 + 2 ]", "3"},
        {"[ 'a]b' ]", "a]b"},
        {"[Copy('[abc]', 2, 3)]", "abc"},
        {"[Colchete] fica [Colchete]", "[x] fica [x]"},
        {"fim [1 + 2", "fim 3"},
        {"a[FILIAL]b\r\nlinha 2 [1*2]", "aLoja Centrob\r\nlinha 2 2"},
    };
    for (const auto &c : cases) {
        Fixture f;
        try {
            EXPECT_EQ(f.Print(QString::fromUtf8(c.memo)), QString::fromUtf8(c.printed)) << c.memo;
        } catch (const Erro &e) {
            ADD_FAILURE() << c.memo << ": " << e.what();
        }
        EXPECT_TRUE(f.report.Errors().isEmpty()) << c.memo;
    }
}

TEST(TextExpansion, FindingTheExpressionThatStartsAtABracket) {
    const struct { const char *text; int at; const char *expr; int end; } cases[] = {
        {"x [a [b] c] y", 2, "a [b] c", 10},
        {"[frxDBListagem.\"CST\"]", 0, "frxDBListagem.\"CST\"", 20},
        {"[\"]\"]", 0, "\"]\"", 4},
        {"['it''s]']", 0, "'it''s]'", 9},
        {"[aberto", 0, "aberto", 6},
        {"[a]]", 0, "a", 2},
    };
    for (const auto &c : cases) {
        QString expr;
        qsizetype end = -1;
        ASSERT_TRUE(frxFindExpression(QString::fromUtf8(c.text), c.at, "[", "]", expr, end)) << c.text;
        EXPECT_EQ(expr, QString::fromUtf8(c.expr)) << c.text;
        EXPECT_EQ(end, c.end) << c.text;
    }
}

TEST(TextExpansion, OtherDelimitersAndExpressionsSwitchedOff) {
    Fixture f;
    f.memo->ExpressionDelimiters = "<%,%>";
    EXPECT_EQ(f.Print("[1+1] <%1+1%>"), "[1+1] 2");
    f.memo->ExpressionDelimiters = "[,]";
    f.memo->AllowExpressions = false;
    EXPECT_EQ(f.Print("[1+1]"), "[1+1]");
}

TEST(FormatSuffix, KindAndFormatAfterABlankAndHash) {
    const struct { const char *memo, *printed; } cases[] = {
        {"[Valor #n%2,2f]", "1234,50"},
        {"[Valor #n%2.2f]", "1234.50"},
        {"[Dia #ddd/mm/yyyy]", "11/12/2026"},
        {"[Dia #Tdd \"de\" mmmm]", "11 de dezembro"},
        {"[Sim #bNão,Sim]", "Sim"},
        {"[<Zero> = 1 #bNão,Sim]", "Não"},
        {"[Length('a #b)')]", "5"},
        {"[FILIAL #x]", "Loja Centro"},
    };
    for (const auto &c : cases) {
        Fixture f;
        try {
            EXPECT_EQ(f.Print(QString::fromUtf8(c.memo)), QString::fromUtf8(c.printed)) << c.memo;
        } catch (const Erro &e) {
            ADD_FAILURE() << c.memo << ": " << e.what();
        }
    }
}

TEST(FormatValue, TheFourKinds) {
    auto fmt = [](TfrxFormatKind k, const char *s, const char *dec = "", const char *thou = "") {
        TfrxFormat f;
        f.Kind = k;
        f.FormatStr = QString::fromUtf8(s);
        f.DecimalSeparator = QString::fromUtf8(dec);
        f.ThousandSeparator = QString::fromUtf8(thou);
        return f;
    };
    const struct { QVariant value; TfrxFormat format; const char *text; } cases[] = {
        {QVariant(), fmt(fkNumeric, "%2.2f"), ""},
        {1234.5, fmt(fkNumeric, "#,##0.00"), "1.234,50"},
        {-0.004, fmt(fkNumeric, "#0.00"), "0,00"},
        {3.14159, fmt(fkNumeric, "0.00"), "0.00"},  // without '#' it is a printf-style format
        {-12.5, fmt(fkNumeric, "#,##0.0;(#,##0.0)"), "(12,5)"},
        {0.0, fmt(fkNumeric, "#0.0;-#0.0;zero"), "zero"},
        {3.14159, fmt(fkNumeric, "#0.000"), "3,142"},
        {7.0, fmt(fkNumeric, "#000"), "007"},
        {1234567.0, fmt(fkNumeric, "#,##0", "", " "), "1 234 567"},
        {12.7, fmt(fkNumeric, "%d"), "12"},
        {5, fmt(fkNumeric, "%3.3d"), "005"},
        {3.14159, fmt(fkNumeric, "%2.2f"), "3,14"},
        {3.14159, fmt(fkNumeric, "%2.2f", "."), "3.14"},
        {1234567.891, fmt(fkNumeric, "%n"), "1.234.567,89"},
        {QString("abc"), fmt(fkNumeric, "%2.2f"), "abc"},
        {QString("2,5"), fmt(fkNumeric, "%2.1f"), "2,5"},
        {QDateTime(QDate(2026, 12, 11), QTime(14, 5, 9)), fmt(fkDateTime, "dd/mm/yyyy hh:nn:ss"), "11/12/2026 14:05:09"},
        {QDateTime(QDate(2026, 1, 2), QTime(8, 3)), fmt(fkDateTime, "d/m/yy h:mm"), "2/1/26 8:03"},
        {QDate(2026, 12, 11), fmt(fkDateTime, "dddd, d 'de' mmmm"), "sexta-feira, 11 de dezembro"},
        {QString("não é data"), fmt(fkDateTime, "dd/mm"), "não é data"},
        {true, fmt(fkBoolean, "Não,Sim"), "Sim"},
        {false, fmt(fkBoolean, "Não,Sim"), "Não"},
        {QString("True"), fmt(fkBoolean, "N,S"), "N"},
        {42, fmt(fkText, ""), "42"},
        {qint64(9007199254740993LL), fmt(fkText, ""), "9007199254740993"},
        {1.5, fmt(fkText, ""), "1,5"},
        {QString("texto"), fmt(fkText, "ignored"), "texto"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(frxFormatValue(c.value, c.format), QString::fromUtf8(c.text))
            << c.value.toString().toStdString() << " / " << c.format.FormatStr.toStdString();
}

TEST(Markers, PageCountIsPutInOnlyAtOutputAndOnlyInTheFirstMarker) {
    Fixture f;
    EXPECT_EQ(f.Print("[TotalPages#]"), "[TotalPages#]");
    EXPECT_EQ(f.Print("[2]/[totalpages#] [TOTALPAGES#]"), "2/[TotalPages#] [TotalPages#]");
    f.memo->TotalPages = 3;
    f.memo->ApplyDeferredMacros();
    EXPECT_EQ(f.memo->Text(), "2/3 [TotalPages#]\r\n");
}

TEST(Markers, CopyNameComesFromTheGlobalVariablesAtOutput) {
    Fixture f;
    EXPECT_EQ(f.Print("Via: [CopyName#]"), "Via: [CopyName#]");
    f.memo->CopyNo = 1;
    f.memo->ApplyDeferredMacros();
    EXPECT_EQ(f.memo->Text(), "Via: \r\n") << "no such global variable: empty text";
    frxGlobalVariables().Set("CopyName1", "Cliente");
    f.memo->SetText("[CopyName#]");
    f.memo->ApplyDeferredMacros();
    EXPECT_EQ(f.memo->Text(), "Cliente\r\n");
    frxGlobalVariables().Clear();
}

TEST(Memo, HideZerosHidesNumericZeroButNotTheTextZero) {
    Fixture f;
    f.memo->HideZeros = true;
    EXPECT_EQ(f.Print("[Zero]"), "");
    EXPECT_EQ(f.Print("[0.0]"), "");
    EXPECT_EQ(f.Print("[ZeroTexto]"), "0");
    EXPECT_EQ(f.Print("[1-1] e [2]"), " e 2");
}

TEST(Memo, SuppressRepeatedBlanksAValueEqualToThePreviousRow) {
    Fixture f;
    f.memo->SuppressRepeated = true;
    QStringList printed;
    for (const char *v : {"'A'", "'A'", "'B'", "'A'", "'A'"}) {
        f.report.Variables.Set("V", v);
        printed << f.Print("[V]");
    }
    EXPECT_EQ(printed, (QStringList{"A", "", "B", "A", ""}));
}

TEST(Memo, ADataBoundMemoPrintsTheFieldWhateverItsTextSays) {
    Fixture f;
    MemoryCursor q;
    q.fields = {{"CST", cfkString}, {"QTD", cfkInteger}, {"OBS", cfkMemo}};
    q.rows = {{"060", 0, QByteArray("linha 1\r\nlinha 2")}};
    TfrxDBDataset ds;
    ds.SetName("frxDB");
    ds.SetDataSet(&q);
    f.report.DataSets.Add(&ds);
    f.report.BeginDataSets();
    f.memo->SetDataSet(&ds);
    f.memo->DataField = "CST";
    EXPECT_EQ(f.Print("[FILIAL] nunca"), "060");
    EXPECT_EQ(f.memo->Value.toString(), "060");
    f.memo->DataField = "QTD";
    f.memo->HideZeros = true;
    EXPECT_EQ(f.Print("x"), "");
    f.memo->HideZeros = false;
    f.memo->DisplayFormat.Kind = fkNumeric;
    f.memo->DisplayFormat.FormatStr = "%2.2f";
    EXPECT_EQ(f.Print("x"), "0,00");
    f.memo->DataField = "OBS";
    EXPECT_EQ(f.Print("x"), "linha 1\r\nlinha 2");
    f.report.EndDataSets();
}

TEST(Memo, HighlightConditionAndTheReportsValueVariable) {
    Fixture f;
    f.memo->Highlight.Condition = "Value > 1000";
    f.Print("[Valor]");
    EXPECT_TRUE(f.memo->Highlight.Active);
    EXPECT_DOUBLE_EQ(f.report.ScriptValue.toDouble(), 1234.5);
    f.Print("[Zero]");
    EXPECT_FALSE(f.memo->Highlight.Active);
}

TEST(Calc, EachDistinctExpressionIsCompiledOncePerRun) {
    Fixture f;
    for (int row = 0; row < 50; ++row) {
        f.Print("[1 + 2] [Length('abc')]");
        auto *other = new TfrxMemoView(f.band);
        other->SetText("[1 + 2]");
        other->EvaluateData();
    }
    EXPECT_EQ(f.report.CompiledExpressionCount(), 2);
    f.Print("[FILIAL]");  // resolved by name: nothing compiled for the name itself
    EXPECT_EQ(f.report.CompiledExpressionCount(), 3) << "the variable's text 'Loja Centro' is compiled";
    f.report.ClearExpressionCache();
    EXPECT_EQ(f.report.CompiledExpressionCount(), 0);
}

TEST(Calc, TextsDifferingOnlyInLetterCaseAreDifferentExpressions) {
    Fixture f;
    EXPECT_EQ(f.report.Calc("'abc'").toString(), "abc");
    EXPECT_EQ(f.report.Calc("'ABC'").toString(), "ABC");
    EXPECT_EQ(f.report.CompiledExpressionCount(), 2);
}

TEST(Calc, DivisionByZeroFailsTheRunUnlessIgnored) {
    for (const char *expr : {"1 / 0", "5 div 0", "5 mod (2 - 2)"}) {
        Fixture f;
        f.report.CurObject = "Memo1";
        EXPECT_THROW(f.report.Calc(expr), Erro) << expr;
        ASSERT_EQ(f.report.Errors().size(), 1);
        EXPECT_TRUE(f.report.Errors()[0].startsWith("Memo1: ")) << f.report.Errors()[0].toStdString();
        EXPECT_TRUE(f.report.Errors()[0].contains("by zero"));

        Fixture g;
        g.report.EngineOptions.IgnoreDevByZero = true;
        QVariant v = QVariant(1);
        EXPECT_NO_THROW(v = g.report.Calc(expr)) << expr;
        EXPECT_TRUE(v.isNull());
        EXPECT_TRUE(g.report.Errors().isEmpty());
    }
}

TEST(Calc, CalledFromScriptCodeTheTextSaysSoAndIsNotCollected) {
    Fixture f;
    try {
        f.report.Calc("'a' * 2", true);
        FAIL();
    } catch (const Erro &e) {
        EXPECT_EQ(e.mensagem(), "Error in Calc expression: Could not convert variant of type (UnicodeString) into type (Double)");
    }
    EXPECT_TRUE(f.report.Errors().isEmpty());
}

TEST(Get, UnknownNamesInAngleBracketsAreCollectedAndTheRunGoesOn) {
    Fixture f;
    EXPECT_EQ(f.Print("[<FILIAL>]|[<Desconhecido>]|[IIF(<Sim>, 1, 2)]"), "Loja Centro||1");
    EXPECT_EQ(f.report.Errors(), QStringList{QString::fromUtf8("Variável ou campo de dados desconhecido: Desconhecido")});
    f.report.Set("Novo", 5);
    EXPECT_EQ(f.report.Variables.Get("novo").toInt(), 5);
    EXPECT_EQ(f.Print("[Set('Outro', 7)][<Outro> + 1]"), "8");
}

// ---- the compiler ------------------------------------------------------------------------

struct Scope : TfrxExprScope {
    bool IsIdentifier(const QString &name) const override { return name.compare("Memo1", Qt::CaseInsensitive) == 0; }
    QVariant Identifier(const QString &) override { return frxObjectVariant(&memo); }
    QVariant ReportValue(const QString &text) override { return text == "x" ? QVariant(10) : QVariant(); }
    void SetReportValue(const QString &, const QVariant &) override {}
    QVariant Aggregate(const QString &, const std::vector<QVariant> &) override { return {}; }
    TfrxMemoView memo;
    Scope() {
        memo.SetName("Memo1");
        memo.SetText("abc");
        memo.SetWidth(49.13389);
    }
};

QString Compile(const QString &expr) {
    Scope scope;
    QString error;
    auto c = frxCompileFunction("function fr3f0: Variant; begin Result := " + expr + " end; begin end.", scope, error);
    if (!c) return "error: " + error;
    try {
        const QVariant v = c->Evaluate(scope);
        return QString(v.isNull() ? "null" : v.typeName()) + ":" + frxVariantToText(v);
    } catch (const TfrxExprError &e) {
        return "fails: " + e.Message;
    }
}

TEST(Compiler, GrammarOfExpressions) {
    const struct { const char *expr, *result; } cases[] = {
        {"1 + 2 * 3", "int:7"},
        {"(1 + 2) * 3", "int:9"},
        {"-2 + 5", "int:3"},
        {"- (2 * 3)", "int:-6"},
        {"7 div 2", "int:3"},
        {"7 mod 3", "int:1"},
        {"7 / 2", "double:3,5"},
        {"$FF + $10", "int:271"},
        {"1.5e2", "double:150"},
        {"9223372036854775807 + 1", "double:9,22337203685478E+18"},
        {"'it''s'", "QString:it's"},
        {"'a' + 'b'", "QString:ab"},
        {"'a' + #13#10 + 'b'", "QString:a\r\nb"},
        {"#65#66'C'", "QString:ABC"},
        {"'1' + 2", "int:3"},
        {"1 < 2", "bool:True"},
        {"2 <= 1", "bool:False"},
        {"2 >= 2", "bool:True"},
        {"1 <> 1", "bool:False"},
        {"'abc' = 'abc'", "bool:True"},
        {"'abc' = 'ABC'", "bool:False"},
        {"3 in [1, 2, 3]", "bool:True"},
        {"5 in [1..4]", "bool:False"},
        {"'b' in ['a'..'c']", "bool:True"},
        {"not (1 = 2)", "bool:True"},
        {"True and False", "bool:False"},
        {"True or False", "bool:True"},
        {"True xor True", "bool:False"},
        {"not 0", "int:-1"},
        {"6 and 3", "int:2"},
        {"6 or 3", "int:7"},
        {"1 shl 4", "int:16"},
        {"256 shr 4", "int:16"},
        {"IIF(1 > 2, 'sim', 'não')", "QString:não"},
        {"iif(True, 1, 1 div 0)", "int:1"},
        {"{ comentário } 1 + 1", "int:2"},
        {"(* comentário *) 2 * 2", "int:4"},
        {"<x> * 2", "int:20"},
        {"<x> < 11", "bool:True"},
        {"1 <<x>", "bool:True"},
        {"Memo1.Name + '!'", "QString:Memo1!"},
        {"MEMO1.Width", "double:49,13389"},
        {"Memo1 is TfrxMemoView", "bool:True"},
        {"Memo1 is TfrxView", "bool:True"},
        {"Memo1 is TfrxBand", "bool:False"},
        {"Length('abc') + Pos('c', 'abc')", "int:6"},
        {"Copy('abcdef', 2, 3)", "QString:bcd"},
        {"UpperCase('ação')", "QString:AÇÃO"},
        {"Null", "null:"},
        {"Null + 1", "null:"},
        {"Null = Null", "bool:True"},
        {"Round(2.5) + Trunc(-1.7)", "int:1"},
        {"FormatFloat('0.00', 1.005)", "QString:1,00"},
        {"1 / 0", "fails: Floating point division by zero"},
        {"1 div 0", "fails: Division by zero"},
        {"'a' * 2", "fails: Could not convert variant of type (UnicodeString) into type (Double)"},
        {"StrToInt('x1')", "fails: 'x1' is not a valid integer value"},
    };
    for (const auto &c : cases) EXPECT_EQ(Compile(QString::fromUtf8(c.expr)), QString::fromUtf8(c.result)) << c.expr;
}

TEST(Compiler, CompileFailuresCarryTheLanguagesMessage) {
    const struct { const char *expr, *message; } cases[] = {
        {"", "Expression expected"},
        {"1 +", "Expression expected"},
        {"(1 + 2", "')' expected"},
        {"[1, 2", "']' expected"},
        {"Foo + 1", "Identificador não declarado: 'Foo'"},
        {"frxDBListagem.\"CST\"", "Identificador não declarado: 'frxDBListagem'"},
        {"Memo1.", "Identifier expected"},
        {"'abc", "Unterminated string"},
        {"1 2", "';' expected"},
        {"1 + 2 // o resto da linha some", "';' expected"},
        {"{ sem fim 1", "Expression expected"},
        {"IIF(1)", "Not enough actual parameters"},
        {"Length('a', 'b')", "Too many actual parameters"},
        {"<sem fim", "'>' expected"},
        {"1 + end", "Expression expected"},
        {"Memo1 is 3", "Identifier expected"},
        {"\"texto\"", "Expression expected"},
    };
    for (const auto &c : cases) EXPECT_EQ(Compile(QString::fromUtf8(c.expr)), "error: " + QString::fromUtf8(c.message)) << c.expr;
}

TEST(Compiler, HostileInputIsAnErrorNotACrash) {
    EXPECT_TRUE(Compile(QString(5000, u'(') + "1" + QString(5000, u')')).startsWith("error: "));
    EXPECT_TRUE(Compile(QString(3000, u'-') + "1").startsWith("error: "));
    EXPECT_TRUE(Compile(QString("not ").repeated(3000) + "1").startsWith("error: "));
}

TEST(Calc, ACompileErrorOfAMemoNamesTheMemoAndTheExpression) {
    Fixture f;
    try {
        f.Print("[(1 + 2]");
        FAIL();
    } catch (const Erro &e) {
        EXPECT_EQ(e.mensagem(), QString::fromUtf8("Memo1: Erro na expressão '(1 + 2': ')' expected"));
    }
    EXPECT_EQ(f.report.CompiledExpressionCount(), 0) << "a failure is not cached";
}

}  // namespace
