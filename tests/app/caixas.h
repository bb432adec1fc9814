#pragma once
// Watches for the modal boxes the program opens, the way a user sees them, records their text
// and answers them, so that a test never hangs on one.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

class RespondedorDeCaixas {
public:
    struct Caixa {
        QMessageBox::Icon icone;
        QString titulo;
        QString texto;
        QStringList botoes;
    };

    // Resposta: the caption of the button to press ("&Sim", "&Não", "OK").
    explicit RespondedorDeCaixas(QString resposta = QStringLiteral("OK")) : resposta_(std::move(resposta))
    {
        QObject::connect(&relogio_, &QTimer::timeout, [this] { responder(); });
        relogio_.start(10);
    }
    void responderCom(const QString &resposta) { resposta_ = resposta; }
    const QList<Caixa> &vistas() const { return vistas_; }

private:
    void responder()
    {
        auto *caixa = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!caixa || !caixa->isVisible())
            return;
        Caixa vista{caixa->icon(), caixa->windowTitle(), caixa->text(), {}};
        QAbstractButton *alvo = nullptr;
        for (QAbstractButton *b : caixa->buttons()) {
            vista.botoes << b->text();
            if (b->text() == resposta_)
                alvo = b;
        }
        vistas_ << vista;
        if (alvo)
            alvo->click();
        else
            caixa->reject();
    }

    QString resposta_;
    QList<Caixa> vistas_;
    QTimer relogio_;
};
