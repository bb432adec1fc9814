#pragma once
// A push button that lays out its glyph and caption as the window was designed for: both
// centred together, 4 pixels apart, with no extra padding. The style's own push button adds
// margins that a 97-pixel button with a 16-pixel glyph has no room for.
#include <QPushButton>

class BotaoComGlifo : public QPushButton {
    Q_OBJECT
public:
    BotaoComGlifo(const QIcon &glifo, const QString &texto, QWidget *pai);

protected:
    void paintEvent(QPaintEvent *evento) override;
};
