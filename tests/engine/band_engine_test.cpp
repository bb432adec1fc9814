// Runs of the band engine over small reports built in code, read back from the prepared pages.
#include "engine/band_engine.h"
#include "engine/bands.h"
#include "engine/datasets.h"
#include "engine/pages.h"
#include "engine/preview_pages.h"
#include "engine/report.h"
#include "engine/report_prepare.h"
#include "engine/views.h"
#include "platform/erro/Erro.h"
#include "tests/engine/aplicacao_de_teste.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Rows of text fields fed through the engine's event dataset.
class Linhas {
public:
    Linhas(const QString &nome, QStringList campos, std::vector<QStringList> linhas)
        : FLinhas(std::move(linhas))
    {
        ds.SetName(nome);
        ds.Fields = std::move(campos);
        ds.RangeEnd = reCount;
        ds.RangeEndCount = int(FLinhas.size());
        ds.OnGetValue = [this](const QString &campo, QVariant &valor) {
            const int i = ds.Fields.indexOf(campo);
            if (i >= 0 && ds.RecNo >= 0 && ds.RecNo < int(FLinhas.size()))
                valor = FLinhas[ds.RecNo].value(i);
        };
        ds.OnFirst = [this] { ++firsts; };
    }
    TfrxUserDataSet ds;
    int firsts = 0;

private:
    std::vector<QStringList> FLinhas;
};

// A report with one landscape page of 831.4966 pixels printable height.
struct Relatorio {
    Relatorio()
    {
        report.SetName(QStringLiteral("Relatorio"));
        report.EngineOptions.NewSilentMode = simSilent;
        report.PreviewPages = &pages;
        page = new TfrxReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        page->SetOrientation(poLandscape);
        page->SetPaperWidth(340);
        page->SetPaperHeight(240);
    }
    ~Relatorio() { report.PreviewPages = nullptr; }

    template <class B>
    B *band(const char *name, double top, double height)
    {
        auto *b = new B(page);
        b->SetName(QString::fromLatin1(name));
        b->SetBounds(0, top, page->PrintableWidth(), height);
        return b;
    }
    TfrxMemoView *memo(TfrxBand *b, const char *name, const QString &text, double top = 0,
                       double height = 18.89765)
    {
        auto *m = new TfrxMemoView(b);
        m->SetName(QString::fromLatin1(name));
        m->SetBounds(0, top, 300, height);
        m->SetText(text);
        return m;
    }
    void use(TfrxDataSet &ds) { report.DataSets.Add(&ds); }

    // One line per placed band and memo of every page: "page band top" and "  memo text".
    QStringList dump()
    {
        QStringList out;
        for (int i = 0; i < pages.Count(); ++i) {
            TfrxReportPage *p = pages.GetPage(i);
            for (TfrxComponent *c : p->Objects()) {
                auto *b = dynamic_cast<TfrxBand *>(c);
                if (!b)
                    continue;
                out << QStringLiteral("%1 %2 %3").arg(i + 1).arg(b->Name()).arg(b->Top(), 0, 'f', 5);
                for (TfrxComponent *v : b->Objects())
                    if (auto *m = dynamic_cast<TfrxCustomMemoView *>(v)) {
                        m->TotalPages = pages.Count();
                        m->ApplyDeferredMacros();
                        out << QStringLiteral("  %1 %2").arg(m->Name(), m->Text().trimmed());
                    }
            }
        }
        return out;
    }
    // The bands of one page, by name.
    QStringList bandsOn(int page)
    {
        QStringList out;
        for (TfrxComponent *c : pages.GetPage(page)->Objects())
            out << c->Name();
        return out;
    }

    TfrxReport report;
    TfrxPreviewPages pages{&report};
    TfrxReportPage *page;
};

std::vector<QStringList> numeradas(int n, const QString &grupo = QStringLiteral("A"))
{
    std::vector<QStringList> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back({grupo, QString::number(i)});
    return rows;
}

char nomeDoPrograma[] = "band_engine_test";
const auto *const aplicacao =
    ::testing::AddGlobalTestEnvironment(new AmbienteComAplicacao<QCoreApplication>(nomeDoPrograma));

}  // namespace

// Title once, footer on every page with "[Page]/[TotalPages#]", rows breaking over three pages,
// the page-level line once on the first page at its design place.
TEST(BandEngine, TitleFooterPageNumbersAndPageLevelLine)
{
    Relatorio r;
    Linhas dados(QStringLiteral("Dados"), {QStringLiteral("G"), QStringLiteral("N")}, numeradas(40));
    r.use(dados.ds);
    auto *title = r.band<TfrxReportTitle>("Titulo", 10, 52.91342);
    r.memo(title, "MemoTitulo", QStringLiteral("TÍTULO"));
    auto *md = r.band<TfrxMasterData>("Linha", 200, 46.13389);
    md->SetDataSet(&dados.ds);
    auto *m = r.memo(md, "Numero", QString());
    m->SetDataSet(&dados.ds);
    m->DataField = QStringLiteral("N");
    auto *footer = r.band<TfrxPageFooter>("Rodape", 400, 22.67718);
    r.memo(footer, "Page", QStringLiteral("[Page]/[TotalPages#]"));
    auto *line = new TfrxLineView(r.page);
    line->SetName(QStringLiteral("Regua"));
    line->SetBounds(0, 308.92146, 0, 52.91342);
    line->Frame.Typ = ftLeft;

    ASSERT_TRUE(frxPrepareReport(&r.report, true)) << r.report.Errors().join('\n').toStdString();
    // 1st page: title + 16 rows (52.91342 + 16 × 46.13389 = 791.05566 ≤ 808.81942);
    // then 17 per page: 16 + 17 + 7 = 40.
    ASSERT_EQ(r.pages.Count(), 3);

    const QStringList dump = r.dump();
    EXPECT_EQ(dump.filter(QStringLiteral("MemoTitulo")).size(), 1);
    EXPECT_EQ(dump.filter(QRegularExpression(QStringLiteral("^1 Linha "))).size(), 16);
    EXPECT_EQ(dump.filter(QRegularExpression(QStringLiteral("^2 Linha "))).size(), 17);
    EXPECT_EQ(dump.filter(QRegularExpression(QStringLiteral("^3 Linha "))).size(), 7);
    EXPECT_EQ(dump.filter(QStringLiteral("  Page ")),
              (QStringList{QStringLiteral("  Page 1/3"), QStringLiteral("  Page 2/3"), QStringLiteral("  Page 3/3")}));
    EXPECT_TRUE(dump.contains(QStringLiteral("1 Rodape 808.81942")));
    EXPECT_TRUE(dump.contains(QStringLiteral("3 Rodape 808.81942")));
    EXPECT_TRUE(dump.contains(QStringLiteral("2 Linha 0.00000"))) << "rows start at the top of later pages";

    // The line is on the first page only, where the design put it, inside the carrier band.
    auto regua = [&](int i) -> TfrxComponent * { return r.pages.GetPage(i)->FindObject(QStringLiteral("Regua")); };
    ASSERT_NE(regua(0), nullptr);
    EXPECT_NEAR(regua(0)->AbsTop() - r.pages.GetPage(0)->AbsTop(), 308.92146, 1e-4);
    EXPECT_EQ(regua(1), nullptr);
    EXPECT_EQ(regua(2), nullptr);
}

TEST(BandEngine, BandExactlyAsHighAsTheSpaceLeftStays)
{
    for (const double extra : {0.0, 0.0001}) {
        Relatorio r;
        Linhas dados(QStringLiteral("Dados"), {QStringLiteral("G"), QStringLiteral("N")}, numeradas(1));
        r.use(dados.ds);
        r.band<TfrxReportTitle>("Titulo", 10, 100);
        auto *footer = r.band<TfrxPageFooter>("Rodape", 400, 22.67718);
        (void)footer;
        auto *md = r.band<TfrxMasterData>("Linha", 200, 831.4966 - 22.67718 - 100 + extra);
        md->SetDataSet(&dados.ds);
        ASSERT_TRUE(frxPrepareReport(&r.report, true));
        EXPECT_EQ(r.pages.Count(), extra == 0 ? 1 : 2) << "extra " << extra;
        EXPECT_EQ(r.bandsOn(0).contains(QStringLiteral("Linha")), extra == 0);
    }
}

TEST(BandEngine, BandsWithTheSameTopToTwoDecimalsKeepTheFirst)
{
    Relatorio r;
    Linhas a(QStringLiteral("A"), {QStringLiteral("G"), QStringLiteral("N")}, numeradas(2));
    Linhas b(QStringLiteral("B"), {QStringLiteral("G"), QStringLiteral("N")}, numeradas(3));
    r.use(a.ds);
    r.use(b.ds);
    r.band<TfrxMasterData>("Primeira", 100.004, 20)->SetDataSet(&a.ds);
    r.band<TfrxMasterData>("Segunda", 99.996, 20)->SetDataSet(&b.ds);
    ASSERT_TRUE(frxPrepareReport(&r.report, true)) << r.report.Errors().join('\n').toStdString();
    EXPECT_EQ(r.bandsOn(0), (QStringList{QStringLiteral("Primeira"), QStringLiteral("Primeira")}));
}

TEST(BandEngine, UnconnectedHeaderStopsTheRunWithItsMessage)
{
    Relatorio r;
    Linhas dados(QStringLiteral("Dados"), {QStringLiteral("G"), QStringLiteral("N")}, numeradas(3));
    r.use(dados.ds);
    r.band<TfrxMasterData>("MasterData1", 100, 20)->SetDataSet(&dados.ds);
    r.band<TfrxHeader>("Header1", 200, 20);  // below its data band
    r.report.EngineOptions.NewSilentMode = simReThrow;
    try {
        frxPrepareReport(&r.report, true);
        FAIL() << "no error";
    } catch (const Erro &e) {
        EXPECT_EQ(e.mensagem(), QStringLiteral("Erro(s) encontrado(s):\r\nCabeçalho/Rodapé desconectado Header1"));
    }
    EXPECT_EQ(r.pages.Count(), 0);
    EXPECT_EQ(dados.firsts, 0) << "no record was read";

    r.report.EngineOptions.NewSilentMode = simSilent;
    EXPECT_FALSE(frxPrepareReport(&r.report, true));
    EXPECT_EQ(r.report.Errors(), QStringList{QStringLiteral("Cabeçalho/Rodapé desconectado Header1")});
}

// Group headings: printed before the first row of every group, not repeated on a new page, and
// printed at the bottom of a page even when no row fits after them (no keep is set).
TEST(BandEngine, GroupHeadingAtTheBottomOfAPage)
{
    Relatorio r;
    // 808.81942 of room: title 52.91342 + heading 20 + 15 rows of 46.13389 = 764.92177, which
    // leaves 43.9: the second heading fits there, its first row does not.
    std::vector<QStringList> rows = numeradas(15, QStringLiteral("A"));
    for (const QStringList &l : numeradas(3, QStringLiteral("B")))
        rows.push_back(l);
    Linhas dados(QStringLiteral("Dados"), {QStringLiteral("G"), QStringLiteral("N")}, rows);
    r.use(dados.ds);
    r.band<TfrxReportTitle>("Titulo", 10, 52.91342);
    auto *gh = r.band<TfrxGroupHeader>("Grupo", 100, 20);
    gh->Condition = QStringLiteral("Dados.\"G\"");
    auto *m = r.memo(gh, "NomeGrupo", QString());
    m->SetDataSet(&dados.ds);
    m->DataField = QStringLiteral("G");
    r.band<TfrxMasterData>("Linha", 200, 46.13389)->SetDataSet(&dados.ds);
    r.band<TfrxPageFooter>("Rodape", 400, 22.67718);

    ASSERT_TRUE(frxPrepareReport(&r.report, true)) << r.report.Errors().join('\n').toStdString();
    ASSERT_EQ(r.pages.Count(), 2);
    QStringList first;
    first << QStringLiteral("Titulo") << QStringLiteral("Grupo");
    for (int i = 0; i < 15; ++i)
        first << QStringLiteral("Linha");
    first << QStringLiteral("Grupo") << QStringLiteral("Rodape");
    EXPECT_EQ(r.bandsOn(0), first);
    EXPECT_EQ(r.bandsOn(1), (QStringList{QStringLiteral("Linha"), QStringLiteral("Linha"),
                                         QStringLiteral("Linha"), QStringLiteral("Rodape")}));
    const QStringList dump = r.dump();
    EXPECT_EQ(dump.filter(QStringLiteral("  NomeGrupo")),
              (QStringList{QStringLiteral("  NomeGrupo A"), QStringLiteral("  NomeGrupo B")}));
}

TEST(BandEngine, EmptyDataPrintsNoHeadingsAndNoHeader)
{
    Relatorio r;
    Linhas vazia(QStringLiteral("Vazia"), {QStringLiteral("G"), QStringLiteral("N")}, {});
    Linhas contagem(QStringLiteral("Contagem"), {QStringLiteral("G"), QStringLiteral("N")}, {});
    r.use(vazia.ds);
    r.use(contagem.ds);
    r.band<TfrxReportTitle>("Titulo", 10, 52.91342);
    auto *gh = r.band<TfrxGroupHeader>("Grupo", 100, 88.14966);
    gh->Condition = QStringLiteral("Vazia.\"G\"");
    r.band<TfrxMasterData>("Linha", 200, 46.13389)->SetDataSet(&vazia.ds);
    r.band<TfrxHeader>("Cabecalho", 300, 37.7953);
    r.band<TfrxMasterData>("Conta", 350, 23.23624)->SetDataSet(&contagem.ds);
    r.band<TfrxPageFooter>("Rodape", 400, 22.67718);
    ASSERT_TRUE(frxPrepareReport(&r.report, true)) << r.report.Errors().join('\n').toStdString();
    ASSERT_EQ(r.pages.Count(), 1);
    EXPECT_EQ(r.bandsOn(0), (QStringList{QStringLiteral("Titulo"), QStringLiteral("Rodape")}));
}

// The run changes band and object bounds and memo texts; the report is restored afterwards,
// so a second run starts from the design and gives the same pages.
TEST(BandEngine, SecondRunStartsFromTheDesign)
{
    Relatorio r;
    Linhas dados(QStringLiteral("Dados"), {QStringLiteral("G"), QStringLiteral("N")}, numeradas(20));
    r.use(dados.ds);
    auto *md = r.band<TfrxMasterData>("Linha", 200, 46.13389);
    md->SetDataSet(&dados.ds);
    r.memo(md, "Texto", QStringLiteral("Nº [Dados.\"N\"]"));
    r.band<TfrxPageFooter>("Rodape", 400, 22.67718);

    ASSERT_TRUE(frxPrepareReport(&r.report, true));
    const QStringList first = r.dump();
    EXPECT_TRUE(first.contains(QStringLiteral("  Texto Nº 20")));

    auto *again = dynamic_cast<TfrxBand *>(r.report.FindObject(QStringLiteral("Linha")));
    ASSERT_NE(again, nullptr);
    EXPECT_DOUBLE_EQ(again->Top(), 200);
    auto *texto = dynamic_cast<TfrxMemoView *>(r.report.FindObject(QStringLiteral("Texto")));
    ASSERT_NE(texto, nullptr);
    EXPECT_EQ(texto->Text(), QStringLiteral("Nº [Dados.\"N\"]\r\n"));

    ASSERT_TRUE(frxPrepareReport(&r.report, true));
    EXPECT_EQ(r.dump(), first);

    // The same holds without the save and restore around the run.
    r.report.EngineOptions.DestroyForms = false;
    ASSERT_TRUE(frxPrepareReport(&r.report, true));
    EXPECT_EQ(r.dump(), first);
}

// The main window prepares and then shows with the clear flag: two preparations, and the preview
// ends up with one run's pages, prepared from the timer inside its message loop.
TEST(BandEngine, PrepareThenShowReportPreparesTwice)
{
    Relatorio r;
    Linhas dados(QStringLiteral("Dados"), {QStringLiteral("G"), QStringLiteral("N")}, numeradas(40));
    r.use(dados.ds);
    r.band<TfrxMasterData>("Linha", 200, 46.13389)->SetDataSet(&dados.ds);

    int shown = 0, pagesWhenShowStarted = -1, pagesAtClose = -1;
    TfrxPreviewHost host;
    host.Show = [&](TfrxReport *report) {
        ++shown;
        pagesWhenShowStarted = frxPreparedPages(report).Count();
        QEventLoop loop;
        QTimer::singleShot(300, &loop, &QEventLoop::quit);
        loop.exec();
        pagesAtClose = frxPreparedPages(report).Count();
    };
    frxSetPreviewHost(host);

    ASSERT_TRUE(frxPrepareReport(&r.report, true));
    const int onePass = r.pages.Count();
    frxShowReport(&r.report, true);
    frxSetPreviewHost({});

    EXPECT_EQ(shown, 1);
    EXPECT_EQ(dados.firsts, 2);
    EXPECT_EQ(pagesWhenShowStarted, 0) << "the first run's pages were discarded";
    EXPECT_EQ(pagesAtClose, onePass);
}
