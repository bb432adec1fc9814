#include "app/BotaoComGlifo.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
constexpr int kEspaco = 4;  // between glyph and caption
}

BotaoComGlifo::BotaoComGlifo(const QIcon &glifo, const QString &texto, QWidget *pai) : QPushButton(glifo, texto, pai)
{
    setIconSize({16, 16});
}

void BotaoComGlifo::paintEvent(QPaintEvent *)
{
    QStylePainter pintor(this);
    QStyleOptionButton opcao;
    initStyleOption(&opcao);
    pintor.drawControl(QStyle::CE_PushButtonBevel, opcao);

    const QSize glifo = iconSize();
    const int larguraTexto = fontMetrics().horizontalAdvance(text());
    const int largura = glifo.width() + kEspaco + larguraTexto;
    int x = (width() - largura) / 2;
    if (isDown())  // pressed buttons shift their face, as the platform's do
        x += 1;
    const int deslocamento = isDown() ? 1 : 0;
    const QIcon::Mode modo = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    icon().paint(&pintor, QRect(QPoint(x, (height() - glifo.height()) / 2 + deslocamento), glifo), Qt::AlignCenter, modo);
    const QRect areaTexto(x + glifo.width() + kEspaco, deslocamento, larguraTexto + 1, height());
    style()->drawItemText(&pintor, areaTexto, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(),
                          isEnabled(), text(), QPalette::ButtonText);

    if (hasFocus()) {
        QStyleOptionFocusRect foco;
        foco.initFrom(this);
        foco.rect = rect().adjusted(3, 3, -3, -3);
        pintor.drawPrimitive(QStyle::PE_FrameFocusRect, foco);
    }
}
