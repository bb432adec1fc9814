#include "app/caixa_erro.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

QString textoParaExibir(const QString &mensagem)
{
    QString texto = mensagem;
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    texto.replace(u'\r', u'\n');
    return texto;
}

void mostrarErro(QWidget *pai, const QString &mensagem)
{
    // No application title is set, so the box carries the executable's name.
    const QString titulo = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QMessageBox caixa(QMessageBox::Critical, titulo, textoParaExibir(mensagem), QMessageBox::Ok, pai);
    caixa.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    caixa.exec();
}
