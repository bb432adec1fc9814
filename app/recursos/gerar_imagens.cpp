// Draws the window's pictures: the logo (1465 x 616, transparent background) and the two button
// glyphs. The PNG files it writes are kept in the repository beside this source, so the build
// needs no drawing step; run it again after changing a picture:
//   QT_QPA_PLATFORM=offscreen build/gerar-imagens app/recursos
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

const QColor kBordo(0x80, 0x00, 0x00);
const QColor kBordoClaro(0xB0, 0x30, 0x30);
const QColor kGrafite(0x33, 0x33, 0x38);

QImage desenharLogo()
{
    QImage img(1465, 616, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // The mark: a stack of three sheets, the front one ticked, as a checked catalogue.
    for (int i = 2; i >= 0; --i) {
        const QRectF folha(40 + i * 38, 70 + i * 30, 380, 470);
        p.setPen(QPen(QColor(0x60, 0x60, 0x66), 10));
        p.setBrush(i == 0 ? QColor(Qt::white) : QColor(0xE4, 0xE4, 0xE8));
        p.drawRoundedRect(folha, 34, 34);
    }
    const QRectF frente(40, 70, 380, 470);
    p.setPen(QPen(QColor(0xB8, 0xB8, 0xC0), 14, Qt::SolidLine, Qt::RoundCap));
    for (int linha = 0; linha < 4; ++linha) {
        const qreal y = frente.top() + 90 + linha * 62;
        p.drawLine(QPointF(frente.left() + 60, y), QPointF(frente.right() - (linha % 2 ? 120 : 60), y));
    }
    QLinearGradient fundo(QPointF(250, 300), QPointF(470, 560));
    fundo.setColorAt(0, kBordoClaro);
    fundo.setColorAt(1, kBordo);
    p.setPen(Qt::NoPen);
    p.setBrush(fundo);
    p.drawEllipse(QPointF(360, 430), 130, 130);
    QPainterPath visto;
    visto.moveTo(295, 430);
    visto.lineTo(345, 480);
    visto.lineTo(435, 375);
    p.setPen(QPen(Qt::white, 34, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(visto);

    // The name and a line of what it does.
    QFont nome(QStringLiteral("DejaVu Sans"));
    nome.setPixelSize(178);
    nome.setBold(true);
    p.setFont(nome);
    p.setPen(kGrafite);
    p.drawText(QRectF(560, 60, 905, 310), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Quelvora"));
    QFont lema(QStringLiteral("DejaVu Sans"));
    lema.setPixelSize(92);
    p.setFont(lema);
    p.setPen(kBordo);
    p.drawText(QRectF(575, 400, 890, 130), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("tributação em dia"));
    p.setPen(QPen(kBordo, 12, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(580, 395), QPointF(1420, 395));
    return img;
}

// A page with a folded corner and a band of colour.
void desenharFolha(QPainter &p, const QRectF &r, const QColor &faixa)
{
    QPainterPath folha;
    folha.moveTo(r.left(), r.top());
    folha.lineTo(r.right() - 4, r.top());
    folha.lineTo(r.right(), r.top() + 4);
    folha.lineTo(r.right(), r.bottom());
    folha.lineTo(r.left(), r.bottom());
    folha.closeSubpath();
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1));
    p.setBrush(Qt::white);
    p.drawPath(folha);
    p.fillRect(QRectF(r.left() + 0.5, r.bottom() - 6, r.width() - 1, 5.5), faixa);
}

QImage desenharGlifoPdf()
{
    QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    desenharFolha(p, QRectF(2.5, 0.5, 11, 15), QColor(0xC0, 0x10, 0x10));
    p.setPen(QColor(0x90, 0x90, 0x90));
    for (int y : {4, 6, 8})
        p.drawLine(5, y, 11, y);
    return img;
}

// Two 16 x 16 pictures side by side: normal, then disabled.
QImage desenharGlifoPlanilha()
{
    QImage img(32, 16, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    for (int estado = 0; estado < 2; ++estado) {
        QPainter p(&img);
        p.translate(estado * 16, 0);
        const QColor verde = estado == 0 ? QColor(0x1E, 0x7B, 0x3A) : QColor(0xA0, 0xA0, 0xA0);
        const QColor borda = estado == 0 ? QColor(0x30, 0x50, 0x38) : QColor(0x90, 0x90, 0x90);
        p.setPen(borda);
        p.setBrush(Qt::white);
        p.drawRect(QRect(1, 1, 13, 13));
        p.fillRect(QRect(2, 2, 12, 3), verde);
        p.setPen(estado == 0 ? QColor(0x70, 0xA0, 0x80) : QColor(0xC0, 0xC0, 0xC0));
        for (int x : {5, 9})
            p.drawLine(x, 5, x, 13);
        for (int y : {8, 11})
            p.drawLine(2, y, 13, y);
    }
    return img;
}

bool salvar(const QImage &img, const QString &caminho)
{
    if (img.save(caminho, "PNG"))
        return true;
    std::fprintf(stderr, "Não foi possível gravar %s\n", qPrintable(caminho));
    return false;
}

}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "uso: gerar-imagens PASTA\n");
        return 2;
    }
    const QDir pasta(QString::fromLocal8Bit(argv[1]));
    const bool ok = salvar(desenharLogo(), pasta.filePath("logo.png")) &&
                    salvar(desenharGlifoPdf(), pasta.filePath("pdf.png")) &&
                    salvar(desenharGlifoPlanilha(), pasta.filePath("planilha.png"));
    return ok ? 0 : 1;
}
