#include "platform/firebird/CursorConsulta.h"

#include "platform/firebird/banco_p.h"
#include "platform/firebird/win1252.h"

#include <cstring>

using namespace Firebird;

namespace firebird {
namespace {

int bytesPorCaractere(unsigned charset) {
    switch (charset) {
    case 3: return 3;  // UNICODE_FSS
    case 4: return 4;  // UTF8
    default: return 1;
    }
}

}  // namespace

CursorConsulta::CursorConsulta(Consulta &consulta) : consulta_(consulta) {}

void CursorConsulta::sincronizar() const {
    Consulta::Estado &e = consulta_.estado();
    if (!e.aberta) {
        linhas_.clear();
        lidaNaAbertura_ = 0;
        return;
    }
    if (lidaNaAbertura_ == e.aberturas)
        return;
    // Rows the program already stepped over are gone from the server's cursor: start again.
    if (e.lidas > 1 || (e.lidas == 1 && e.fim)) {
        consulta_.fechar();
        consulta_.abrir();
    }
    linhas_.clear();
    for (; !e.fim; consulta_.proximo())
        linhas_.push_back(e.linha);
    lidaNaAbertura_ = e.aberturas;
    posicao_ = 0;
    fim_ = linhas_.empty();
}

const unsigned char *CursorConsulta::atual() const {
    sincronizar();
    if (linhas_.empty())
        return nullptr;
    return linhas_[std::size_t(posicao_)].data();
}

bool CursorConsulta::Active() const { return consulta_.aberta(); }

void CursorConsulta::Open() {
    if (consulta_.aberta())
        return;
    consulta_.abrir();
    sincronizar();
    NotifyAfterOpen();
}

void CursorConsulta::Close() {
    if (!consulta_.aberta())
        return;
    NotifyBeforeClose();
    consulta_.fechar();
    linhas_.clear();
    lidaNaAbertura_ = 0;
}

void CursorConsulta::First() {
    sincronizar();
    posicao_ = 0;
    fim_ = linhas_.empty();
}

void CursorConsulta::Next() {
    sincronizar();
    if (posicao_ + 1 < qsizetype(linhas_.size()))
        ++posicao_;
    else
        fim_ = true;  // the last row stays current
}

void CursorConsulta::Prior() {
    sincronizar();
    if (fim_ && !linhas_.empty())
        fim_ = false;
    else if (posicao_ > 0)
        --posicao_;
}

bool CursorConsulta::Eof() const {
    sincronizar();
    return !consulta_.aberta() || fim_;
}

int CursorConsulta::RecordCount() {
    sincronizar();
    return int(linhas_.size());
}

TfrxCursor::Bookmark CursorConsulta::GetBookmark() const {
    sincronizar();
    return posicao_;
}

void CursorConsulta::GotoBookmark(Bookmark b) {
    sincronizar();
    if (b < 0 || b >= qint64(linhas_.size()))
        return;
    posicao_ = qsizetype(b);
    fim_ = false;
}

QStringList CursorConsulta::FieldNames() const {
    QStringList nomes;
    for (int i = 0; i < consulta_.numeroCampos(); ++i)
        nomes << consulta_.nomeCampo(i);
    return nomes;
}

int CursorConsulta::FieldIndex(const QString &name) const { return consulta_.indiceCampo(name); }

TfrxCursorFieldKind CursorConsulta::FieldKind(int field) const {
    const Campo &c = consulta_.estado().campo(field);
    switch (c.tipo) {
    case SQL_TEXT:
    case SQL_VARYING: return cfkString;
    case SQL_SHORT:
    case SQL_LONG: return c.escala ? cfkBCD : cfkInteger;
    case SQL_INT64: return c.escala ? cfkBCD : cfkLargeInt;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return cfkFloat;
    case SQL_BOOLEAN: return cfkBoolean;
    case SQL_TYPE_DATE: return cfkDate;
    case SQL_TYPE_TIME: return cfkTime;
    case SQL_TIMESTAMP: return cfkDateTime;
    case SQL_BLOB: return c.subtipo == 1 ? cfkMemo : cfkBlob;
    default: return cfkOther;
    }
}

bool CursorConsulta::IsNull(int field) const {
    const Campo &c = consulta_.estado().campo(field);
    const unsigned char *l = atual();
    return !l || nuloCampo(c, l);
}

QVariant CursorConsulta::Value(int field) const {
    const Campo &c = consulta_.estado().campo(field);
    const unsigned char *l = atual();
    if (!l || nuloCampo(c, l))
        return {};
    const unsigned char *p = l + c.deslocamento;
    switch (FieldKind(field)) {
    case cfkInteger: return c.tipo == SQL_SHORT ? int(ler<ISC_SHORT>(p)) : int(ler<ISC_LONG>(p));
    case cfkLargeInt: return qlonglong(ler<ISC_INT64>(p));
    case cfkBCD: return textoCampo(c, l, consulta_.conexao()->estado()).toDouble();
    case cfkFloat: return c.tipo == SQL_FLOAT ? double(ler<float>(p)) : ler<double>(p);
    case cfkBoolean: return bool(ler<FB_BOOLEAN>(p));
    case cfkDate: return dataDe(ler<ISC_DATE>(p));
    case cfkTime: return horaDe(ler<ISC_TIME>(p));
    case cfkDateTime: {
        const auto ts = ler<ISC_TIMESTAMP>(p);
        return QDateTime(dataDe(ts.timestamp_date), horaDe(ts.timestamp_time));
    }
    case cfkBlob: return lerBlob(c, l, consulta_.conexao()->estado());
    default: return textoCampo(c, l, consulta_.conexao()->estado());
    }
}

QString CursorConsulta::DisplayText(int field) const {
    const Campo &c = consulta_.estado().campo(field);
    const unsigned char *l = atual();
    return l ? textoCampo(c, l, consulta_.conexao()->estado()) : QString();
}

int CursorConsulta::DisplayWidth(int field) const {
    const Campo &c = consulta_.estado().campo(field);
    switch (FieldKind(field)) {
    case cfkString:  // the declared size; for VARCHAR without its length prefix
        return int(c.tamanho) / bytesPorCaractere(c.charset);
    case cfkInteger: return c.tipo == SQL_SHORT ? 6 : 11;
    case cfkLargeInt: return 20;
    case cfkBCD: return 20;
    case cfkFloat: return 22;
    case cfkBoolean: return 5;
    case cfkDate: return 10;
    case cfkTime: return 8;
    case cfkDateTime: return 19;
    default: return 10;
    }
}

QByteArray CursorConsulta::Blob(int field) const {
    const Campo &c = consulta_.estado().campo(field);
    const unsigned char *l = atual();
    if (!l || nuloCampo(c, l))
        return {};
    if (c.tipo == SQL_BLOB)
        return lerBlob(c, l, consulta_.conexao()->estado());
    return paraWin1252(textoCampo(c, l, consulta_.conexao()->estado()));
}

}  // namespace firebird
