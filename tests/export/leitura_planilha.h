#pragma once
// A workbook read back by openpyxl, for tests: the cells as a spreadsheet program sees them.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

struct PlanilhaLida {
    QJsonObject raiz;
    QString erro;  // empty when openpyxl read the file

    QJsonObject celula(const QString &endereco) const { return raiz["celulas"].toObject()[endereco].toObject(); }
    QString valor(const QString &endereco) const { return celula(endereco)["valor"].toString(); }
    bool existe(const QString &endereco) const { return raiz["celulas"].toObject().contains(endereco); }
    QStringList mescladas() const {
        QStringList lista;
        for (const auto &v : raiz["mescladas"].toArray())
            lista << v.toString();
        return lista;
    }
    int ultimaLinha() const { return raiz["ultimaLinha"].toInt(); }
};

inline PlanilhaLida LerPlanilha(const QString &arquivo) {
    QProcess processo;
    processo.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral(QUELVORA_FONTE "/tests/export/ler_planilha.py"), arquivo});
    PlanilhaLida lida;
    if (!processo.waitForFinished(120000) || processo.exitCode() != 0) {
        lida.erro = QString::fromUtf8(processo.readAllStandardError());
        if (lida.erro.isEmpty())
            lida.erro = QStringLiteral("openpyxl não terminou");
        return lida;
    }
    QJsonParseError falha;
    lida.raiz = QJsonDocument::fromJson(processo.readAllStandardOutput(), &falha).object();
    if (falha.error != QJsonParseError::NoError)
        lida.erro = falha.errorString();
    return lida;
}
