#include "engine/page_cache.h"

#include <QDir>
#include <QTemporaryFile>
#include <QtEndian>

#include "platform/erro/Erro.h"

namespace {

// Each record is its length (4 bytes, big-endian) followed by the text, so a read can tell a
// record from garbage at a wrong offset.
constexpr int kHeader = 4;

}  // namespace

TfrxFileCache::TfrxFileCache(const QString &tempDir) : FTempDir(tempDir) {}

TfrxFileCache::~TfrxFileCache() = default;

void TfrxFileCache::SetTempDir(const QString &tempDir) { FTempDir = tempDir; }

qint64 TfrxFileCache::Write(const QByteArray &text) {
    if (!FFile) {
        const QString dir = FTempDir.isEmpty() ? QDir::tempPath() : FTempDir;
        auto file =
            std::make_unique<QTemporaryFile>(QDir(dir).filePath(QStringLiteral("frXXXXXX")));
        if (!file->open())
            throw Erro(
                QStringLiteral("Não foi possível criar o arquivo temporário das páginas em %1: %2")
                    .arg(dir, file->errorString()));
        // Asking for the name links the file into the folder, where a user looking for what
        // fills the disk finds it under the "fr" prefix, instead of an unnamed file.
        file->fileName();
        FFile = std::move(file);
    }
    const qint64 offset = FFile->size();
    char header[kHeader];
    qToBigEndian<quint32>(quint32(text.size()), header);
    bool ok = FFile->seek(offset) && FFile->write(header, kHeader) == kHeader &&
              FFile->write(text) == text.size() && FFile->flush();
    if (!ok) {
        const QString motivo = FFile->errorString();
        // A partial record at the end is harmless: the offset is never handed out, and the next
        // write starts after it.
        throw Erro(QStringLiteral("Não foi possível gravar o arquivo temporário das páginas %1: %2")
                       .arg(FFile->fileName(), motivo));
    }
    return offset;
}

QByteArray TfrxFileCache::Read(qint64 offset) {
    const auto falha = [&] {
        return Erro(QStringLiteral("O arquivo temporário das páginas está danificado (posição %1).")
                        .arg(offset));
    };
    if (!FFile || offset < 0 || offset + kHeader > FFile->size()) throw falha();
    char header[kHeader];
    if (!FFile->seek(offset) || FFile->read(header, kHeader) != kHeader) throw falha();
    const qint64 length = qFromBigEndian<quint32>(header);
    if (offset + kHeader + length > FFile->size()) throw falha();
    QByteArray text = FFile->read(length);
    if (text.size() != length) throw falha();
    return text;
}

void TfrxFileCache::Reset() { FFile.reset(); }

bool TfrxFileCache::HasFile() const { return FFile != nullptr; }

QString TfrxFileCache::FileName() const { return FFile ? FFile->fileName() : QString(); }

qint64 TfrxFileCache::Size() const { return FFile ? FFile->size() : 0; }
