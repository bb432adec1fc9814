#pragma once
// A query as the report engine reads it: all rows held in memory once the query is open, so
// that the engine can go back, jump to bookmarks and count, which the server's forward-only
// cursor cannot do.
#include "engine/cursor.h"
#include "platform/firebird/BancoFirebird.h"

#include <vector>

namespace firebird {

class CursorConsulta : public TfrxCursor {
public:
    // The query stays the caller's and must outlive this cursor. The program may close, bind
    // and open it directly: the rows are read again on the next access after each open.
    explicit CursorConsulta(Consulta &consulta);

    bool Active() const override;
    void Open() override;
    void Close() override;
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() const override;
    int RecordCount() override;
    Bookmark GetBookmark() const override;
    void GotoBookmark(Bookmark b) override;
    QStringList FieldNames() const override;
    int FieldIndex(const QString &name) const override;
    TfrxCursorFieldKind FieldKind(int field) const override;
    bool IsNull(int field) const override;
    QVariant Value(int field) const override;
    QString DisplayText(int field) const override;
    int DisplayWidth(int field) const override;
    QByteArray Blob(int field) const override;

private:
    void sincronizar() const;
    const unsigned char *atual() const;  // nullptr when there is no current row

    Consulta &consulta_;
    mutable std::vector<std::vector<unsigned char>> linhas_;
    mutable quint64 lidaNaAbertura_ = 0;  // which open of the query the rows belong to
    mutable qsizetype posicao_ = 0;
    mutable bool fim_ = true;
};

}  // namespace firebird
