#include "checks/condicoes_p.h"

#include "platform/erro/Erro.h"

#include <QRegularExpression>
#include <map>
#include <optional>
#include <vector>

namespace verificacoes::interno {

const QStringList &finaisCst() {
    static const QStringList f{"00", "10", "20", "30", "40", "41", "50", "51", "60", "70"};
    return f;
}
const QStringList &finaisCsosn() {
    static const QStringList f{"101", "102", "103", "201", "202", "203", "300", "400", "500"};
    return f;
}
int bitVazio() { return 1 << 10; }
int bitOutro() { return 1 << 11; }

namespace {

constexpr int todos = (1 << 12) - 1;

int bitFinal(const QStringList &finais, const QString &f) {
    const int i = finais.indexOf(f);
    if (i < 0) throw Erro(QStringLiteral("Final de código sem classe: ") + f);
    return 1 << i;
}

// One test on a code column: the column's class must be in the set.
struct Teste {
    QString coluna;  // "FB00".."FB03" or "GB"
    int conjunto;
};

std::optional<Teste> classificarTeste(const QString &texto) {
    static const QRegularExpression cst(
        QStringLiteral(R"(^produto\.codtribut(0[0-3]) (not like '%(\d\d)'|like '%(\d\d)'|<> ''|is not null)$)"));
    static const QRegularExpression csosn(
        QStringLiteral(R"(^csosn_prod\.codcsosn (not like '%(\d\d\d)'|like '%(\d\d\d)'|<> ''|is not null)$)"));
    QRegularExpressionMatch m = cst.match(texto);
    QString coluna, teste, finalNao, finalSim;
    const QStringList *finais = &finaisCst();
    if (m.hasMatch()) {
        coluna = nomeClasseSlot(m.captured(1));
        teste = m.captured(2);
        finalNao = m.captured(3);
        finalSim = m.captured(4);
    } else if ((m = csosn.match(texto)).hasMatch()) {
        coluna = nomeClasseCsosn();
        finais = &finaisCsosn();
        teste = m.captured(1);
        finalNao = m.captured(2);
        finalSim = m.captured(3);
    } else {
        if (texto.contains(QLatin1String("codtribut")) || texto.contains(QLatin1String("codcsosn")))
            throw Erro(QStringLiteral("Teste de código sem classe: ") + texto);
        return std::nullopt;
    }
    if (!finalSim.isEmpty()) return Teste{coluna, bitFinal(*finais, finalSim)};
    if (!finalNao.isEmpty()) return Teste{coluna, todos & ~bitFinal(*finais, finalNao)};
    if (teste == QLatin1String("<> ''")) return Teste{coluna, todos & ~bitVazio()};
    return Teste{coluna, todos};  // is not null
}

// "a and b and (c or d)" -> {"a", "b", "(c or d)"}, splitting only outside parentheses.
QStringList conjuncoes(const QString &texto) {
    QStringList partes;
    int nivel = 0;
    qsizetype inicio = 0;
    bool aspas = false;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto[i];
        if (c == '\'') aspas = !aspas;
        if (aspas) continue;
        if (c == '(') ++nivel;
        else if (c == ')') --nivel;
        else if (nivel == 0 && texto.mid(i, 5) == QLatin1String(" and ")) {
            partes << texto.mid(inicio, i - inicio);
            inicio = i + 5;
            i += 4;
        }
    }
    partes << texto.mid(inicio);
    return partes;
}

QString testeSql(const QString &coluna, int conjunto) {
    return QStringLiteral("bin_and(e.%1, %2) <> 0").arg(coluna).arg(conjunto);
}

// An "or" group inside one test, "(a like x or a like y ...)": each code test becomes a class test.
QString grupo(const QString &texto) {
    static const QRegularExpression teste(
        QStringLiteral(R"((produto\.codtribut0[0-3]|csosn_prod\.codcsosn) (not like '%\d+'|like '%\d+'|<> ''|is not null))"));
    QString resultado;
    qsizetype desde = 0;
    for (auto it = teste.globalMatch(texto); it.hasNext();) {
        const auto m = it.next();
        const auto t = classificarTeste(m.captured(0));
        resultado += texto.mid(desde, m.capturedStart() - desde) + testeSql(t->coluna, t->conjunto);
        desde = m.capturedEnd();
    }
    resultado += texto.mid(desde);
    if (resultado.contains(QLatin1String("codtribut")) || resultado.contains(QLatin1String("codcsosn")))
        throw Erro(QStringLiteral("Teste de código sem classe: ") + texto);
    return resultado;
}

// One alternative: its plain tests as written and its code tests merged per column.
struct Alternativa {
    QStringList outros;
    std::map<QString, int> classes;
};

Alternativa analisar(const QString &texto) {
    Alternativa a;
    for (const QString &parte : conjuncoes(texto)) {
        if (parte.startsWith('(')) {
            a.outros << grupo(parte);
        } else if (const auto t = classificarTeste(parte)) {
            auto [it, novo] = a.classes.emplace(t->coluna, t->conjunto);
            if (!novo) it->second &= t->conjunto;
        } else {
            a.outros << parte;
        }
    }
    return a;
}

QString conjuncaoSql(const Alternativa &a) {
    QStringList partes = a.outros;
    for (const auto &[coluna, conjunto] : a.classes) partes << testeSql(coluna, conjunto);
    return partes.join(QStringLiteral(" and "));
}

}  // namespace

QString nomeClasseSlot(const QString &slot) { return QStringLiteral("FB") + slot; }
QString nomeClasseCsosn() { return QStringLiteral("GB"); }

QString classificacao(const QString &coluna, const QStringList &finais) {
    QString e = QStringLiteral("case");
    for (int i = 0; i < finais.size(); ++i)
        e += QStringLiteral(" when ") + coluna + QStringLiteral(" like '%") + finais[i] + QStringLiteral("' then ") +
             QString::number(1 << i);
    return e + QStringLiteral(" when %1 = '' then %2 when %1 is not null then %3 else 0 end")
                   .arg(coluna)
                   .arg(bitVazio())
                   .arg(bitOutro());
}

QString condicaoPorClasses(const QStringList &textos) {
    std::vector<Alternativa> alternativas;
    for (const QString &t : textos) alternativas.push_back(analisar(t));

    // Tests every alternative makes are made once, in front.
    Alternativa comum = alternativas.front();
    for (const Alternativa &a : alternativas) {
        QStringList outros;
        for (const QString &o : comum.outros)
            if (a.outros.contains(o)) outros << o;
        comum.outros = outros;
        for (auto it = comum.classes.begin(); it != comum.classes.end();) {
            const auto achado = a.classes.find(it->first);
            if (achado == a.classes.end() || achado->second != it->second) it = comum.classes.erase(it);
            else ++it;
        }
    }
    for (Alternativa &a : alternativas) {
        for (const QString &o : comum.outros) a.outros.removeAll(o);
        for (const auto &[coluna, conjunto] : comum.classes) a.classes.erase(coluna);
    }

    // Alternatives left with one slot test only: "some slot in S" is the union of the four slot
    // classes in S when every slot asks the same S.
    std::map<QString, int> porSlot;
    std::vector<Alternativa> resto;
    for (const Alternativa &a : alternativas) {
        if (a.outros.isEmpty() && a.classes.size() == 1 && a.classes.begin()->first.startsWith(QLatin1String("FB")))
            porSlot[a.classes.begin()->first] |= a.classes.begin()->second;
        else
            resto.push_back(a);
    }
    QStringList ou;
    bool iguais = porSlot.size() == 4;
    for (const auto &[coluna, conjunto] : porSlot) iguais = iguais && conjunto == porSlot.begin()->second;
    if (iguais) {
        ou << QStringLiteral("bin_and(bin_or(e.FB00, e.FB01, e.FB02, e.FB03), %1) <> 0").arg(porSlot.begin()->second);
    } else {
        for (const auto &[coluna, conjunto] : porSlot) ou << testeSql(coluna, conjunto);
    }
    bool sempre = false;  // an alternative with nothing left beyond the common tests
    for (const Alternativa &a : resto) {
        const QString s = conjuncaoSql(a);
        if (s.isEmpty()) sempre = true;
        ou << s;
    }
    if (sempre) ou.clear();

    QStringList e;
    if (const QString c = conjuncaoSql(comum); !c.isEmpty()) e << c;
    if (ou.size() == 1) e << ou.first();
    else if (!ou.isEmpty()) e << '(' + ou.join(QStringLiteral(" or ")) + ')';
    return e.join(QStringLiteral(" and "));
}

}  // namespace verificacoes::interno
