#pragma once
// The batch commands as a script runs them: the real executable, its exit status and its two
// output streams.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lote {

struct Resultado {
    int status;
    QString saida;
    QString erro;
};

// Alias store and settings folders point at an empty folder, so only the database given counts.
// No runtime folder, as under cron: the commands must not warn about it on standard error.
inline Resultado executar(const QStringList &argumentos, const QString &banco)
{
    QTemporaryDir config;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert("XDG_CONFIG_HOME", config.path());
    ambiente.insert("XDG_CONFIG_DIRS", config.path());
    ambiente.remove("XDG_RUNTIME_DIR");
    ambiente.remove("CAMINHOBANCOVOSTREN");
    ambiente.remove("USUARIOBANCOVOSTREN");
    ambiente.remove("SENHABANCOVOSTREN");
    if (!banco.isEmpty()) {
        ambiente.insert("CAMINHOBANCOVOSTREN", banco);
        ambiente.insert("USUARIOBANCOVOSTREN", "SYSDBA");
        ambiente.insert("SENHABANCOVOSTREN", "masterkey");
    }
    QProcess processo;
    processo.setProcessEnvironment(ambiente);
    processo.start(QStringLiteral(QUELVORA_BUILD "/quelvora"), argumentos);
    const bool terminou = processo.waitForFinished(120000);
    EXPECT_TRUE(terminou) << argumentos.join(' ').toStdString();
    if (!terminou) {
        // An attached embedded engine ignores a polite end.
        processo.kill();
        processo.waitForFinished();
    }
    EXPECT_EQ(processo.exitStatus(), QProcess::NormalExit) << argumentos.join(' ').toStdString();
    return {processo.exitCode(), QString::fromUtf8(processo.readAllStandardOutput()),
            QString::fromUtf8(processo.readAllStandardError())};
}

// A failure as a script sees it: status 1, nothing on standard output, the message on standard
// error as one or more whole lines.
inline void esperarFalha(const Resultado &r, const QString &inicio)
{
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.saida, "");
    EXPECT_TRUE(r.erro.startsWith(inicio)) << r.erro.toStdString();
    EXPECT_TRUE(r.erro.endsWith(u'\n'));
    EXPECT_FALSE(r.erro.contains(u'\r'));  // a bare carriage return would hide the first line
}

}  // namespace lote
