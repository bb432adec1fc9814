#pragma once
// Yes/no questions to the user. A console process (batch mode: no widget application) has no
// one to ask, so the answer there is yes.
#include <QString>

class QWidget;

class TMessageUtil {
public:
    static bool Confirmar(const QString &Mensagem);
    // Asks, then gives Controle the focus whatever the answer, when it can take it.
    static bool Confirmar(const QString &Mensagem, QWidget *Controle);
};
