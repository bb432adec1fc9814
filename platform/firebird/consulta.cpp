#include "platform/firebird/banco_p.h"
#include "platform/firebird/win1252.h"

#include <QDate>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <cstring>

using namespace Firebird;

namespace firebird {
namespace {

// NUMERIC and DECIMAL travel as scaled integers: 1250 with scale -2 is "12.50".
QString comEscala(qint64 valor, int escala) {
    if (escala >= 0) {
        QString s = QString::number(valor);
        if (valor != 0)
            s.append(QString(escala, u'0'));
        return s;
    }
    const int casas = -escala;
    const bool negativo = valor < 0;
    // Magnitude as unsigned, so the smallest int64 does not overflow on negation.
    quint64 m = negativo ? quint64(0) - quint64(valor) : quint64(valor);
    QString digitos = QString::number(m).rightJustified(casas + 1, u'0');
    digitos.insert(digitos.size() - casas, u'.');
    return negativo ? u'-' + digitos : digitos;
}

}  // namespace

QDate dataDe(ISC_DATE d) {
    unsigned a, m, dia;
    utilitario()->decodeDate(d, &a, &m, &dia);
    return QDate(int(a), int(m), int(dia));
}

QTime horaDe(ISC_TIME t) {
    unsigned h, mi, s, fr;
    utilitario()->decodeTime(t, &h, &mi, &s, &fr);
    return QTime(int(h), int(mi), int(s), int(fr / 10));  // fractions are 1/10000 s
}

namespace {

QString textoData(ISC_DATE d) { return dataDe(d).toString(QStringLiteral("yyyy-MM-dd")); }

QString textoHora(ISC_TIME t) { return horaDe(t).toString(QStringLiteral("hh:mm:ss")); }

}  // namespace

void Consulta::Estado::fecharCursor() {
    liberar(cursor);
    adiante.clear();
    aberta = false;
    fim = true;
    temLinha = false;
    esgotado = false;
    lidas = 0;
}

void Consulta::Estado::liberarComando() {
    fecharCursor();
    liberar(comando);
    liberar(saida);
    campos.clear();
    indicePorNome.clear();
}

void Consulta::Estado::preparar(ITransaction *t) {
    const QByteArray texto = paraWin1252(posicional.sql);
    protegido([&] {
        Status st;
        comando = conexao->estado().anexo->prepare(&st, t, unsigned(texto.size()), texto.constData(), 3,
                                                   IStatement::PREPARE_PREFETCH_METADATA);
        saida = comando->getOutputMetadata(&st);
        const unsigned n = saida->getCount(&st);
        for (unsigned i = 0; i < n; ++i) {
            Campo f;
            const char *apelido = saida->getAlias(&st, i);
            f.nome = deWin1252(QByteArray(apelido && *apelido ? apelido : saida->getField(&st, i)));
            f.tipo = saida->getType(&st, i);
            f.escala = saida->getScale(&st, i);
            f.subtipo = saida->getSubType(&st, i);
            f.charset = saida->getCharSet(&st, i);
            f.tamanho = saida->getLength(&st, i);
            f.deslocamento = saida->getOffset(&st, i);
            f.deslocamentoNulo = saida->getNullOffset(&st, i);
            const QString chave = f.nome.toUpper();
            if (!indicePorNome.contains(chave))  // a repeated name finds its first field
                indicePorNome.insert(chave, int(campos.size()));
            campos.push_back(f);
        }
        linha.assign(saida->getMessageLength(&st), 0);
    });
    entrada.preparar(unsigned(posicional.posicoes.size()));
}

bool Consulta::Estado::buscar(std::vector<unsigned char> &destino) {
    if (esgotado || !cursor)
        return false;
    destino.resize(linha.size());
    const int r = protegido([&] {
        Status st;
        return cursor->fetchNext(&st, destino.data());
    });
    if (r == IStatus::RESULT_OK)
        return true;
    esgotado = true;
    return false;
}

const Campo &Consulta::Estado::campo(int indice) const {
    if (!aberta)
        throw Erro(QStringLiteral("A consulta não está aberta."));
    if (indice < 0 || indice >= int(campos.size()))
        throw Erro(QStringLiteral("Campo de índice %1 não encontrado.").arg(indice));
    return campos[std::size_t(indice)];
}

QString Consulta::Estado::textoDe(const Campo &c) const {
    return temLinha ? textoCampo(c, linha.data(), conexao->estado()) : QString();
}

bool nuloCampo(const Campo &c, const unsigned char *linha) {
    return ler<ISC_SHORT>(linha + c.deslocamentoNulo) != 0;
}

QByteArray lerBlob(const Campo &c, const unsigned char *linha, Conexao::Estado &conexao) {
    ISC_QUAD id = ler<ISC_QUAD>(linha + c.deslocamento);
    QByteArray bytes;
    protegido([&] {
        Status st;
        IBlob *blob = conexao.anexo->openBlob(&st, conexao.transacaoImplicita(), &id, 0, nullptr);
        char pedaco[16384];
        unsigned lido = 0;
        for (;;) {
            const int r = blob->getSegment(&st, sizeof pedaco, pedaco, &lido);
            if (r != IStatus::RESULT_OK && r != IStatus::RESULT_SEGMENT)
                break;
            bytes.append(pedaco, lido);
        }
        blob->close(&st);
    });
    return bytes;
}

QString textoCampo(const Campo &c, const unsigned char *linha, Conexao::Estado &conexao) {
    if (nuloCampo(c, linha))
        return QString();
    const unsigned char *p = linha + c.deslocamento;
    switch (c.tipo) {
    case SQL_TEXT: {
        qsizetype n = c.tamanho;
        // CHAR arrives padded to its declared length; the pad is not part of the value.
        if (c.charset != 1)  // OCTETS pads with zero bytes and means every one of them
            while (n > 0 && p[n - 1] == ' ')
                --n;
        return deWin1252(reinterpret_cast<const char *>(p), n);
    }
    case SQL_VARYING:
        return deWin1252(reinterpret_cast<const char *>(p + 2), ler<ISC_USHORT>(p));
    case SQL_SHORT:
        return comEscala(ler<ISC_SHORT>(p), c.escala);
    case SQL_LONG:
        return comEscala(ler<ISC_LONG>(p), c.escala);
    case SQL_INT64:
        return comEscala(ler<ISC_INT64>(p), c.escala);
    case SQL_FLOAT:
        return QString::number(ler<float>(p), 'g', QLocale::FloatingPointShortest);
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return QString::number(ler<double>(p), 'g', QLocale::FloatingPointShortest);
    case SQL_BOOLEAN:
        return ler<FB_BOOLEAN>(p) ? QStringLiteral("True") : QStringLiteral("False");
    case SQL_TYPE_DATE:
        return textoData(ler<ISC_DATE>(p));
    case SQL_TYPE_TIME:
        return textoHora(ler<ISC_TIME>(p));
    case SQL_TIMESTAMP: {
        const auto ts = ler<ISC_TIMESTAMP>(p);
        return textoData(ts.timestamp_date) + u' ' + textoHora(ts.timestamp_time);
    }
    case SQL_BLOB:
        return deWin1252(lerBlob(c, linha, conexao));
    default:
        throw Erro(QStringLiteral("O campo '%1' tem um tipo de dado que não pode ser lido (%2).")
                       .arg(c.nome).arg(c.tipo));
    }
}

// ---------------------------------------------------------------------------------------------

Consulta::Consulta(QString sql) : estado_(std::make_unique<Estado>()) { setSql(sql); }

Consulta::Estado &Consulta::estado() const { return *estado_; }

Consulta::~Consulta() {
    estado_->liberarComando();
    if (estado_->conexao)
        std::erase(estado_->conexao->estado().consultas, estado_.get());
}

void Consulta::setConexao(Conexao *conexao) {
    if (conexao == estado_->conexao)
        return;
    estado_->liberarComando();
    if (estado_->conexao)
        std::erase(estado_->conexao->estado().consultas, estado_.get());
    estado_->conexao = conexao;
    if (conexao)
        conexao->estado().consultas.push_back(estado_.get());
}

Conexao *Consulta::conexao() const { return estado_->conexao; }

void Consulta::setSql(const QString &sql) {
    estado_->liberarComando();
    estado_->sql = sql;
    estado_->posicional = converterParametrosNomeados(sql);
}

const QString &Consulta::sql() const { return estado_->sql; }

QStringList Consulta::nomesParametros() const {
    QStringList nomes;
    for (const QString &n : estado_->posicional.posicoes)
        if (!nomes.contains(n, Qt::CaseInsensitive))
            nomes.append(n);
    return nomes;
}

void Consulta::setParametro(const QString &nome, const QString &valor) {
    const bool existe = std::any_of(estado_->posicional.posicoes.cbegin(), estado_->posicional.posicoes.cend(),
                                    [&](const QString &n) { return n.compare(nome, Qt::CaseInsensitive) == 0; });
    if (!existe)
        throw Erro(QStringLiteral("Parâmetro '%1' não encontrado.").arg(nome));
    estado_->valores.insert(nome.toUpper(), valor);
}

void Consulta::abrir() {
    Estado &e = *estado_;
    if (e.aberta)
        return;
    if (!e.conexao)
        throw Erro(QStringLiteral("A consulta não tem conexão com o banco de dados."));
    Conexao::Estado &c = e.conexao->estado();
    ITransaction *t = c.transacaoImplicita();

    if (!e.comando) {
        // A failure halfway through must not leave a statement without its field list behind:
        // the next open would take it as prepared.
        try {
            e.preparar(t);
        } catch (...) {
            e.liberarComando();
            throw;
        }
    }

    std::vector<QString> valores;
    valores.reserve(std::size_t(e.posicional.posicoes.size()));
    for (const QString &n : e.posicional.posicoes)
        valores.push_back(e.valores.value(n.toUpper()));
    e.entrada.preencher(valores);

    protegido([&] {
        Status st;
        if (e.campos.empty()) {
            // Nothing to fetch: the statement runs once and the query stands at the end.
            e.comando->execute(&st, t, e.entrada.metadados(), e.entrada.buffer(), nullptr, nullptr);
        } else {
            e.cursor = e.comando->openCursor(&st, t, e.entrada.metadados(), e.entrada.buffer(), e.saida, 0);
        }
    });
    e.aberta = true;
    ++e.aberturas;
    e.esgotado = false;
    e.temLinha = false;
    e.fim = true;
    e.lidas = 0;
    try {
        if (e.buscar(e.linha)) {
            e.temLinha = true;
            e.fim = false;
            e.lidas = 1;
        }
    } catch (...) {
        e.fecharCursor();
        throw;
    }
}

void Consulta::fechar() { estado_->fecharCursor(); }

bool Consulta::aberta() const { return estado_->aberta; }

bool Consulta::fim() const { return estado_->fim; }

void Consulta::proximo() {
    Estado &e = *estado_;
    if (!e.aberta || e.fim)
        return;
    if (!e.adiante.empty()) {
        e.linha.swap(e.adiante.front());
        e.adiante.pop_front();
    } else if (e.buscar(e.proxima)) {
        e.linha.swap(e.proxima);
    } else {
        e.fim = true;  // the last row stays current, readable
        return;
    }
    ++e.lidas;
}

int Consulta::contagemRegistros() {
    Estado &e = *estado_;
    if (!e.aberta)
        return 0;
    while (!e.esgotado) {
        std::vector<unsigned char> b;
        if (!e.buscar(b))
            break;
        e.adiante.push_back(std::move(b));
    }
    return e.lidas + int(e.adiante.size());
}

int Consulta::numeroCampos() const { return estado_->aberta ? int(estado_->campos.size()) : 0; }

QString Consulta::nomeCampo(int indice) const { return estado_->campo(indice).nome; }

int Consulta::indiceCampo(const QString &nome) const {
    if (!estado_->aberta)
        return -1;
    return estado_->indicePorNome.value(nome.toUpper(), -1);
}

namespace {
int indiceExigido(const Consulta &q, const QString &nome) {
    if (!q.aberta())
        throw Erro(QStringLiteral("A consulta não está aberta."));
    const int i = q.indiceCampo(nome);
    if (i < 0)
        throw Erro(QStringLiteral("Campo '%1' não encontrado.").arg(nome));
    return i;
}
}  // namespace

bool Consulta::nulo(int indice) const {
    const Campo &c = estado_->campo(indice);
    return !estado_->temLinha || ler<ISC_SHORT>(estado_->linha.data() + c.deslocamentoNulo) != 0;
}

bool Consulta::nulo(const QString &nome) const { return nulo(indiceExigido(*this, nome)); }

QString Consulta::texto(int indice) const { return estado_->textoDe(estado_->campo(indice)); }

QString Consulta::texto(const QString &nome) const { return texto(indiceExigido(*this, nome)); }

qint64 Consulta::inteiro(const QString &nome) const {
    const int i = indiceExigido(*this, nome);
    if (nulo(i))
        return 0;
    const Campo &c = estado_->campos[std::size_t(i)];
    const unsigned char *p = estado_->linha.data() + c.deslocamento;
    if (c.escala == 0) {
        switch (c.tipo) {
        case SQL_SHORT: return ler<ISC_SHORT>(p);
        case SQL_LONG: return ler<ISC_LONG>(p);
        case SQL_INT64: return ler<ISC_INT64>(p);
        default: break;
        }
    }
    const QString t = texto(i).trimmed();
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    if (ok)
        return v;
    const double d = t.toDouble(&ok);
    if (ok && std::isfinite(d) && std::abs(d) < 9.2e18)
        return qint64(std::llround(d));
    throw Erro(QStringLiteral("'%1' não é um valor inteiro válido para o campo '%2'.").arg(t, c.nome));
}

// ---------------------------------------------------------------------------------------------

int Linhas::indiceCampo(const QString &nome) const {
    for (int i = 0; i < campos.size(); ++i)
        if (campos[i].compare(nome, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Linhas lerTudo(Consulta &consulta) {
    consulta.fechar();
    consulta.abrir();
    Linhas r;
    const int n = consulta.numeroCampos();
    for (int i = 0; i < n; ++i)
        r.campos.append(consulta.nomeCampo(i));
    for (; !consulta.fim(); consulta.proximo()) {
        QStringList linha;
        linha.reserve(n);
        for (int i = 0; i < n; ++i)
            linha.append(consulta.texto(i));
        r.valores.push_back(std::move(linha));
    }
    consulta.fechar();
    return r;
}

}  // namespace firebird
