// Laying out, measuring and drawing memos of the listing's kind: a product description in
// 9 points in the 211.65368-pixel product column (text rectangle 209 pixels wide).
#include "engine/text_layout.h"
#include "engine/views.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

QStringList Descriptions()
{
    // 60 characters each, the catalogue's kind of text: upper case, units, digits.
    static const char *base[] = {
        "REFRIGERANTE DE COLA SEM ACUCAR LATA 350ML PACK COM 12 UNID.",
        "BISCOITO RECHEADO SABOR CHOCOLATE PACOTE 140G CAIXA C/ 48 UN",
        "SABAO EM PO MULTIACAO PERFUMADO EMBALAGEM ECONOMICA 2KG PROMO",
        "OLEO DE SOJA REFINADO TIPO 1 GARRAFA PET 900ML CAIXA 20 UNID",
        "CAFE TORRADO E MOIDO EXTRA FORTE A VACUO PACOTE 500G FARDO 10",
        "PAPEL HIGIENICO FOLHA DUPLA NEUTRO 30M PACOTE COM 12 ROLOS XX",
        "LEITE UHT INTEGRAL CAIXA 1 LITRO COM TAMPA FARDO 12 UNIDADES.",
        "ARROZ BRANCO LONGO FINO TIPO 1 PACOTE 5KG SAFRA NOVA SELECAO",
    };
    QStringList list;
    for (const char *s : base)
        list << QString::fromLatin1(s);
    return list;
}

TfrxFont ProductFont()
{
    TfrxFont f;
    f.Size = 9;
    return f;
}

void LayOutAndMeasure(benchmark::State &state)
{
    const QStringList texts = Descriptions();
    TfrxDrawText layout;
    const TfrxTextRect rect{4, 0, 213, 31};
    const TfrxFont font = ProductFont();
    std::size_t k = 0;
    double sink = 0;
    for (auto _ : state) {
        std::lock_guard<std::recursive_mutex> lock(TfrxDrawText::Lock());
        layout.SetFont(font);
        layout.SetOptions(true, false, 0, true, true, false, false);
        layout.SetGaps(2, 0, 0);
        layout.SetDimensions(rect, rect, 1, 1, 1);
        layout.SetText(QStringList{texts[qsizetype(k++ % std::size_t(texts.size()))]});
        sink += layout.TextHeight() + layout.MaxLineWidth();
    }
    benchmark::DoNotOptimize(sink);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(LayOutAndMeasure);

void DrawOnImage(benchmark::State &state)
{
    const QStringList texts = Descriptions();
    const double scale = double(state.range(0)) / 100.0;
    QImage image(int(1300 * scale), 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    TfrxDrawText layout;
    const TfrxTextRect rect{4, 0, 213, 31};
    const TfrxTextRect clip{nint(4 * scale), 0, nint(213 * scale), nint(31 * scale)};
    std::size_t k = 0;
    for (auto _ : state) {
        std::lock_guard<std::recursive_mutex> lock(TfrxDrawText::Lock());
        layout.SetFont(ProductFont());
        layout.SetOptions(true, false, 0, true, true, false, false);
        layout.SetGaps(2, 0, 0);
        layout.SetDimensions(rect, clip, 1, scale, scale);
        layout.SetText(QStringList{texts[qsizetype(k++ % std::size_t(texts.size()))]});
        layout.DrawText(&painter, haLeft, vaTop);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(DrawOnImage)->Arg(100)->Arg(400);

// The same through the memo: CalcHeight of the product memo, as the band engine asks it.
void MemoCalcHeight(benchmark::State &state)
{
    const QStringList texts = Descriptions();
    TfrxMemoView memo;
    memo.SetBounds(2, 0, 211.65368, 30.23624);
    memo.SetFont(ProductFont());
    std::size_t k = 0;
    double sink = 0;
    for (auto _ : state) {
        memo.Memo = QStringList{texts[qsizetype(k++ % std::size_t(texts.size()))]};
        sink += memo.CalcHeight();
    }
    benchmark::DoNotOptimize(sink);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(MemoCalcHeight);

// The product memo drawn through the object model at zoom 1: frame, layout and glyphs.
void MemoDraw(benchmark::State &state)
{
    const QStringList texts = Descriptions();
    QImage image(1300, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    TfrxMemoView memo;
    memo.SetBounds(2, 0, 211.65368, 30.23624);
    memo.SetFont(ProductFont());
    std::size_t k = 0;
    for (auto _ : state) {
        memo.Memo = QStringList{texts[qsizetype(k++ % std::size_t(texts.size()))]};
        memo.Draw(&painter, 1, 1, 0, 0);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(MemoDraw);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
