#include "report/listagem.h"

#include "engine/bands.h"
#include "engine/pages.h"
#include "engine/resources.h"
#include "engine/views.h"

#include <initializer_list>

namespace {

enum class Tipo { Memo, Linha, Forma };

// One object of a band as the definition holds it. alturaFonte 0 means the memo keeps the
// band's font; campo names the dataset field of a data-bound memo.
struct Objeto {
    const char *nome;
    Tipo tipo;
    double left, top, width, height;
    const char *texto = nullptr;
    int alturaFonte = 0;
    bool negrito = false;
    TfrxHAlign alinhamento = haLeft;
    TfrxFrameTypes bordas = 0;
    TfrxFrameStyle estiloBorda = fsSolid;
    TColor cor = clNone;
    const char *campo = nullptr;
};

constexpr double kLarguraFaixa = 1209.4496;  // 320 mm of printable width

Objeto memo(const char *nome, double l, double t, double w, double h, const char *texto,
            int fonte, TfrxHAlign ha, bool negrito = false)
{
    Objeto o{nome, Tipo::Memo, l, t, w, h};
    o.texto = texto;
    o.alturaFonte = fonte;
    o.alinhamento = ha;
    o.negrito = negrito;
    return o;
}

Objeto campo(const char *nome, double l, double t, double w, double h, const char *texto,
             const char *nomeCampo, int fonte, TfrxHAlign ha, bool negrito = false)
{
    Objeto o = memo(nome, l, t, w, h, texto, fonte, ha, negrito);
    o.campo = nomeCampo;
    return o;
}

Objeto linha(const char *nome, double l, double t, double h)
{
    Objeto o{nome, Tipo::Linha, l, t, 0, h};
    o.bordas = ftLeft;
    return o;
}

Objeto forma(const char *nome, double l, double t, double w, double h, TColor cor)
{
    Objeto o{nome, Tipo::Forma, l, t, w, h};
    o.cor = cor;
    return o;
}

Objeto comBorda(Objeto o, TfrxFrameTypes bordas, TfrxFrameStyle estilo = fsSolid)
{
    o.bordas = bordas;
    o.estiloBorda = estilo;
    return o;
}

const std::initializer_list<Objeto> &objetosTitulo()
{
    static const std::initializer_list<Objeto> objetos = {
        memo("Memo1", 0, 0.77953, 1209.4496, 18.89765, "RELATÓRIO DE INCONSISTÊNCIAS TRIBUTÁRIAS",
             -13, haCenter, true),
        memo("Memo2", 0, 22.89765, 37.7953, 18.89765, "Filial:", -13, haLeft, true),
        memo("FILIAL", 45.35436, 22.89765, 385.51206, 18.89765, "[FILIAL]", 0, haLeft),
    };
    return objetos;
}

const std::initializer_list<Objeto> &objetosLinhaListagem()
{
    static const std::initializer_list<Objeto> objetos = {
        campo("frxDBListagemCST", 475.46475, 3.77953, 49.13389, 18.89765, "[frxDBListagem.\"CST\"]", "CST", -13, haCenter),
        campo("frxDBListagemCST_REG01", 528.37817, 3.77953, 49.13389, 18.89765, "[frxDBListagem.\"CST_REG01\"]", "CST_REG01", -13, haCenter),
        campo("frxDBListagemCST_REG02", 581.29159, 3.77953, 49.13389, 18.89765, "[frxDBListagem.\"CST_REG02\"]", "CST_REG02", -13, haCenter),
        campo("frxDBListagemCST_REG03", 634.20501, 3.77953, 49.13389, 18.89765, "[frxDBListagem.\"CST_REG03\"]", "CST_REG03", -13, haCenter),
        campo("frxDBListagemBASEICMS", 751.37044, 3.77953, 49.13389, 18.89765, "[frxDBListagem.\"BASEICMS\"]", "BASEICMS", -13, haCenter),
        campo("frxDBListagemALIQICMS", 804.28386, 3.77953, 68.03154, 18.89765, "[frxDBListagem.\"ALIQICMS\"]", "ALIQICMS", -13, haCenter),
        campo("frxDBListagemALIQECF", 876.09493, 3.77953, 56.69295, 18.89765, "[frxDBListagem.\"ALIQECF\"]", "ALIQECF", -13, haCenter),
        campo("frxDBListagemCEST", 936.56741, 3.77953, 56.69295, 18.89765, "[frxDBListagem.\"CEST\"]", "CEST", -13, haCenter),
        campo("frxDBListagemSTENTRADA", 997.03989, 3.77953, 68.03154, 18.89765, "[frxDBListagem.\"STENTRADA\"]", "STENTRADA", -13, haCenter),
        campo("frxDBListagemSTSAIDA", 1068.85096, 3.77953, 49.13389, 18.89765, "[frxDBListagem.\"STSAIDA\"]", "STSAIDA", -13, haCenter),
        campo("frxDBListagemCODNCM", 1125.54391, 3.77953, 79.37013, 18.89765, "[frxDBListagem.\"CODNCM\"]", "CODNCM", -13, haCenter),
        linha("Line6", 577.51206, 2.55906, 45.35436),
        linha("Line8", 630.42548, 2.55906, 45.35436),
        linha("Line10", 683.3389, 3.55906, 45.35436),
        linha("Line12", 747.59091, 2.77953, 45.35436),
        campo("frxDBListagemCSOSN", 690.3389, 3.77953, 52.91342, 18.89765, "[frxDBListagem.\"CSOSN\"]", "CSOSN", -13, haCenter),
        linha("Line14", 800.50433, 2.77953, 45.35436),
        linha("Line16", 872.3154, 2.77953, 45.35436),
        linha("Line18", 932.78788, 2.77953, 45.35436),
        linha("Line20", 993.26036, 2.77953, 45.35436),
        linha("Line22", 1065.07143, 1.77953, 45.35436),
        linha("Line26", 1204.91404, 2.77953, 45.35436),
        linha("Line24", 1117.98485, 2.77953, 45.35436),
        linha("Line2", 214.66945, 0.77953, 45.35436),
        linha("Line28", 0, 0, 45.35436),
        campo("frxDBListagemPRODUTO", 2, 0, 211.65368, 30.23624, "[frxDBListagem.\"PRODUTO\"]", "PRODUTO", -12, haLeft),
        campo("frxDBListagemGRUPO", 218.99227, 0, 124.72449, 30.23624, "[frxDBListagem.\"GRUPO\"]", "GRUPO", -12, haCenter),
        campo("Memo21", 347.71676, 0, 124.72449, 30.23624, "[frxDBListagem.\"SUBGRUPO\"]", "SUBGRUPO", -12, haCenter),
        linha("Line35", 345.93723, 0, 45.35436),
        linha("Line34", 472.44125, 0, 49.13389),
        linha("Line4", 524.35467, 0, 49.13389),
    };
    return objetos;
}

const std::initializer_list<Objeto> &objetosCabecalhoGrupo()
{
    static const std::initializer_list<Objeto> objetos = {
        forma("CorFundo", 0, 0, 1205.67007, 34.01577, clGradientActiveCaption),
        memo("Memo4", 2.47248, 39.23624, 207.87415, 18.89765, "PRODUTO", -13, haCenter),
        memo("Memo5", 475.46475, 41.57483, 49.13389, 18.89765, "CST0", -13, haCenter),
        memo("Memo6", 528.37817, 41.57483, 49.13389, 18.89765, "CST1", -13, haCenter),
        memo("Memo7", 581.29159, 41.57483, 49.13389, 18.89765, "CST2", -13, haCenter),
        memo("Memo3", 0, 0, 109.60637, 18.89765, "Inconsistência:", -13, haLeft),
        comBorda(campo("frxDBListagemDESC_ERRO", 0.55906, 15.11812, 789.92177, 18.89765,
                       "[frxDBListagem.\"DESC_ERRO\"]", "DESC_ERRO", -13, haLeft, true),
                 ftBottom),
        memo("Memo9", 750.23655, 41.57483, 49.13389, 18.89765, "B.ICMS", -13, haCenter),
        memo("Memo10", 804.14997, 41.57483, 68.03154, 18.89765, "Aliq.ICMS", -13, haCenter),
        memo("Memo11", 875.96104, 41.57483, 56.69295, 18.89765, "Aliq.ECF", -13, haCenter),
        memo("Memo12", 936.43352, 41.57483, 52.91342, 18.89765, "CEST", -13, haCenter),
        comBorda(memo("Memo13", 992.906, 32.7953, 124.72449, 15.11812, "Subs.Tributária", -13, haCenter),
                 ftBottom),
        memo("Memo14", 994.906, 47.69295, 68.03154, 15.11812, "ENTRADA", -13, haLeft),
        memo("Memo15", 1068.71707, 47.69295, 49.13389, 15.11812, "SAÍDA", -13, haLeft),
        memo("Memo17", 634.20501, 41.57483, 49.13389, 18.89765, "CST3", -13, haCenter),
        linha("Line1", 214.66945, 34.01577, 56.69295),
        linha("Line3", 524.59864, 34.23624, 56.69295),
        linha("Line5", 577.51206, 34.01577, 56.69295),
        linha("Line7", 630.42548, 34.01577, 56.69295),
        linha("Line9", 683.3389, 34.01577, 56.69295),
        memo("Memo16", 1125.54391, 41.57483, 71.81107, 18.89765, "NCM", -13, haCenter),
        linha("Line13", 800.50433, 34.01577, 56.69295),
        linha("Line11", 747.59091, 34.01577, 56.69295),
        memo("Memo8", 687.3389, 41.57483, 52.91342, 18.89765, "CSOSN", -13, haCenter),
        linha("Line15", 872.3154, 33.7953, 56.69295),
        linha("Line17", 932.78788, 34.01577, 56.69295),
        linha("Line19", 993.26036, 34.01577, 56.69295),
        linha("Line21", 1065.07143, 48.13389, 41.57483),
        linha("Line25", 1204.91404, 35.01577, 56.69295),
        linha("Line23", 1117.98485, 34.01577, 56.69295),
        comBorda(memo("Linha", 1.16512, 68.03154, 1201.89054, 18.89765, nullptr, -13, haCenter), ftTop,
                 fsDot),
        linha("Line27", 0, 34.01577, 52.91342),
        memo("Memo19", 215.43321, 41.57483, 128.50402, 18.89765, "GRUPO", -13, haCenter),
        memo("Memo20", 343.93723, 41.57483, 124.72449, 18.89765, "SUB GRUPO", -13, haCenter),
        linha("Line36", 472.44125, 34.23624, 56.69295),
        linha("Line33", 345.71676, 34.01577, 52.91342),
    };
    return objetos;
}

const std::initializer_list<Objeto> &objetosRodape()
{
    static const std::initializer_list<Objeto> objetos = {
        memo("Page", 1069.60699, 0, 136.06308, 18.89765, "[Page]/[TotalPages#]", -13, haRight),
    };
    return objetos;
}

const std::initializer_list<Objeto> &objetosCabecalhoContagem()
{
    static const std::initializer_list<Objeto> objetos = {
        forma("CorFundo2", 0, 0, 1205.67007, 34.01577, clMoneyGreen),
        memo("Memo18", 0, 7.77953, 400.63018, 18.89765, "QUANTIDADE DE OCORRÊNCIAS ENCONTRADAS:", -13,
             haLeft, true),
    };
    return objetos;
}

const std::initializer_list<Objeto> &objetosLinhaContagem()
{
    static const std::initializer_list<Objeto> objetos = {
        campo("frxDBContaOcorrenciasDESC_ERRO", 0, 2, 461.10266, 18.89765,
              "[frxDBContaOcorrencias.\"DESC_ERRO\"]", "DESC_ERRO", -13, haLeft),
        campo("frxDBContaOcorrenciasQUANTIDADE", 491.3389, 2, 83.14966, 18.89765,
              "[frxDBContaOcorrencias.\"QUANTIDADE\"]", "QUANTIDADE", -13, haLeft),
        linha("Line30", 0, 0, 22.67718),
        comBorda(memo("LinhaResultado2", 2, 11.89765, 797.48083, 11.33859, nullptr, -13, haLeft), ftBottom),
        linha("Line32", 799.92177, 0, 22.67718),
    };
    return objetos;
}

void criarObjetos(TfrxBand *faixa, const std::initializer_list<Objeto> &objetos, TfrxDBDataset *dataset)
{
    for (const Objeto &o : objetos) {
        TfrxView *v = nullptr;
        switch (o.tipo) {
        case Tipo::Memo: {
            auto *m = new TfrxMemoView(faixa);
            if (o.texto)
                m->SetText(QString::fromUtf8(o.texto));
            if (o.alturaFonte != 0) {
                TfrxFont f;
                f.Name = QStringLiteral("Arial");
                f.SetHeight(o.alturaFonte);
                f.Color = clBlack;
                f.Charset = DEFAULT_CHARSET;
                f.Style = o.negrito ? TFontStyles(fsBold) : TFontStyles(0);
                m->SetFont(f);
            }
            m->HAlign = o.alinhamento;
            if (o.campo) {
                m->SetDataSet(dataset);
                m->DataField = QString::fromLatin1(o.campo);
            }
            v = m;
            break;
        }
        case Tipo::Linha:
            v = new TfrxLineView(faixa);
            break;
        case Tipo::Forma: {
            auto *s = new TfrxShapeView(faixa);
            s->Color = o.cor;
            v = s;
            break;
        }
        }
        v->SetName(QString::fromLatin1(o.nome));
        v->SetBounds(o.left, o.top, o.width, o.height);
        v->Frame.Typ = o.bordas;
        if (o.estiloBorda != fsSolid)
            v->Frame.SetStyle(o.estiloBorda);
        v->ShowHint = false;
    }
}

template <class Faixa>
Faixa *criarFaixa(TfrxReportPage *pagina, const char *nome, double top, double altura)
{
    auto *faixa = new Faixa(pagina);
    faixa->SetName(QString::fromLatin1(nome));
    faixa->SetBounds(0, top, kLarguraFaixa, altura);
    return faixa;
}

}  // namespace

void MontarListagem(TfrxReport &r, TfrxDBDataset &frxDBListagem, TfrxDBDataset &frxDBContaOcorrencias)
{
    frxDBListagem.SetName(QStringLiteral("frxDBListagem"));
    frxDBListagem.SetUserName(QStringLiteral("frxDBListagem"));
    frxDBListagem.CloseDataSource = false;
    frxDBListagem.BCDToCurrency = false;
    frxDBContaOcorrencias.SetName(QStringLiteral("frxDBContaOcorrencias"));
    frxDBContaOcorrencias.SetUserName(QStringLiteral("frxDBContaOcorrencias"));
    frxDBContaOcorrencias.CloseDataSource = false;
    frxDBContaOcorrencias.BCDToCurrency = false;

    r.SetName(QStringLiteral("frxListagem"));
    r.Version = QStringLiteral("4.9.72");
    r.DotMatrixReport = false;
    r.IniFile = QStringLiteral("\\Software\\Quelvora\\Relatorios");
    r.PreviewOptions.Buttons = pbPrint | pbLoad | pbSave | pbExport | pbZoom | pbFind | pbOutline
                               | pbPageSetup | pbTools | pbEdit | pbNavigator | pbExportQuick;
    r.PreviewOptions.Zoom = 1;
    r.PrintOptions.Printer = frxGet(QStringLiteral("prDefault"));
    r.PrintOptions.PrintOnSheet = 0;
    r.ReportOptions.CreateDate = 44022.3986673843;
    r.ReportOptions.LastChange = 44032.8336058912;
    r.ScriptLanguage = QStringLiteral("PascalScript");
    r.ScriptText = QStringList{QStringLiteral("begin"), QString(), QStringLiteral("end.")};

    r.DataSets.Clear();
    r.DataSets.Add(&frxDBContaOcorrencias);
    r.DataSets.Add(&frxDBListagem);
    r.Variables.Clear();
    r.Variables.Add(QStringLiteral(" Cabeçalho"));
    r.Variables.Add(QStringLiteral("FILIAL"));

    auto *data = new TfrxDataPage(&r);
    data->SetName(QStringLiteral("Data"));
    data->SetHeight(1000);
    data->SetWidth(1000);

    auto *page = new TfrxReportPage(&r);
    page->SetName(QStringLiteral("Page1"));
    page->SetOrientation(poLandscape);
    page->SetPaperWidth(340);
    page->SetPaperHeight(240);
    page->SetPaperSize(DMPAPER_USER);
    page->LeftMargin = 10;
    page->RightMargin = 10;
    page->TopMargin = 10;
    page->BottomMargin = 10;
    page->Frame().SetStyle(fsDouble);
    page->Frame().Typ = 0;

    criarObjetos(criarFaixa<TfrxReportTitle>(page, "ReportTitle1", 18.89765, 52.91342), objetosTitulo(),
                 nullptr);

    auto *master1 = criarFaixa<TfrxMasterData>(page, "MasterData1", 241.88992, 46.13389);
    master1->SetDataSet(&frxDBListagem);
    master1->RowCount = 0;
    criarObjetos(master1, objetosLinhaListagem(), &frxDBListagem);

    auto *grupo = criarFaixa<TfrxGroupHeader>(page, "GroupHeader1", 132.28355, 88.14966);
    grupo->Condition = QStringLiteral("frxDBListagem.\"DESC_ERRO\"");
    criarObjetos(grupo, objetosCabecalhoGrupo(), &frxDBListagem);

    criarObjetos(criarFaixa<TfrxPageFooter>(page, "PageFooter1", 453.5436, 22.67718), objetosRodape(),
                 nullptr);
    criarObjetos(criarFaixa<TfrxHeader>(page, "Header1", 309.92146, 37.7953), objetosCabecalhoContagem(),
                 nullptr);

    auto *master2 = criarFaixa<TfrxMasterData>(page, "MasterData2", 370.39394, 23.23624);
    master2->SetDataSet(&frxDBContaOcorrencias);
    master2->RowCount = 0;
    criarObjetos(master2, objetosLinhaContagem(), &frxDBContaOcorrencias);

    // The one rule that lies on the page itself, outside every band.
    auto *regua = new TfrxLineView(page);
    regua->SetName(QStringLiteral("Line29"));
    regua->SetBounds(0, 308.92146, 0, 52.91342);
    regua->Frame.Typ = ftLeft;
    regua->ShowHint = false;
}

TRelatorioListagem::TRelatorioListagem()
{
    MontarListagem(frxListagem, frxDBListagem, frxDBContaOcorrencias);
    frxListagem.PreviewPages = &Paginas;
}

TRelatorioListagem::~TRelatorioListagem()
{
    frxListagem.PreviewPages = nullptr;
}

QString NomeFilialComoExpressao(const QString &nome)
{
    QString texto = nome;
    texto.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + texto + QLatin1Char('\'');
}
