#pragma once
// What every batch command shares: the same code paths as the window, output as UTF-8 text on
// standard output, failures as the program's Portuguese texts on standard error and exit
// status 1.
#include <QString>
#include <QStringList>

class Erro;

// One batch command: the words after its name on the command line; returns the exit status.
using ComandoDeLote = int (*)(const QStringList &argumentos);

void escreverSaida(const QString &texto);  // as it is: add the line break yourself
void escreverErro(const QString &texto);   // one message, line break added
int falhar(const QString &mensagem);       // writes the message, returns 1
