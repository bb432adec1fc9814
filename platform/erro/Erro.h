#pragma once
// The project's one failure type: an exception carrying a text. The program's messages are
// Portuguese and shown to the user as they stand; lower layers put the library's own message
// here so that callers can prefix their explanation.
#include <QString>
#include <QByteArray>
#include <exception>

class Erro : public std::exception {
public:
    explicit Erro(QString mensagem) : mensagem_(std::move(mensagem)), utf8_(mensagem_.toUtf8()) {}
    const QString &mensagem() const noexcept { return mensagem_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString mensagem_;
    QByteArray utf8_;
};
