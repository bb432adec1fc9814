#pragma once
// Failure messages show QString values as text instead of their bytes.
#include <QString>
#include <QStringList>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &texto, std::ostream *saida) { *saida << '"' << texto.toStdString() << '"'; }
inline void PrintTo(const QStringList &lista, std::ostream *saida) {
    *saida << '[' << lista.join(QStringLiteral(", ")).toStdString() << ']';
}
QT_END_NAMESPACE
