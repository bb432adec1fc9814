#include "app/uMessageUtil.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

bool TMessageUtil::Confirmar(const QString &Mensagem)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return true;
    QMessageBox caixa(QMessageBox::Question, QStringLiteral("Confirmação"), Mensagem, QMessageBox::NoButton,
                      QApplication::activeWindow());
    // Qt's own captions would be English without a translation loaded.
    QPushButton *sim = caixa.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
    caixa.addButton(QStringLiteral("&Não"), QMessageBox::NoRole);
    caixa.setDefaultButton(sim);
    caixa.exec();
    return caixa.clickedButton() == sim;
}

bool TMessageUtil::Confirmar(const QString &Mensagem, QWidget *Controle)
{
    const bool resposta = Confirmar(Mensagem);
    // isVisible() and isEnabled() already look at every parent.
    if (Controle && Controle->isVisible() && Controle->isEnabled() && Controle->focusPolicy() != Qt::NoFocus)
        Controle->setFocus(Qt::OtherFocusReason);
    return resposta;
}
