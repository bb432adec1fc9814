#pragma once
// The program's error box: the failure's text, an error icon and OK. Every failure shown to the
// user goes through here, so the window stays usable after it.
#include <QString>

class QWidget;

void mostrarErro(QWidget *pai, const QString &mensagem);

// The program's texts separate their lines with a carriage return; screens and terminals want a
// line feed, or the second line would be drawn over the first.
QString textoParaExibir(const QString &mensagem);
