#pragma once

// The temporary file behind the prepared pages' file cache: page text that does not need to
// stay in memory is appended here and read back by its offset when the page is needed again.

#include <QByteArray>
#include <QString>
#include <memory>

class QTemporaryFile;

class TfrxFileCache {
public:
    // tempDir empty: the system's temporary folder. Nothing is created before the first Write.
    explicit TfrxFileCache(const QString &tempDir = {});
    ~TfrxFileCache();
    TfrxFileCache(const TfrxFileCache &) = delete;
    TfrxFileCache &operator=(const TfrxFileCache &) = delete;

    void SetTempDir(const QString &tempDir);
    // Appends the text and returns its offset. Raises Erro when the file cannot be created or
    // written; nothing is recorded then, so the caller keeps its data.
    qint64 Write(const QByteArray &text);
    // The text written at that offset; raises Erro for an offset that holds no record.
    QByteArray Read(qint64 offset);
    // Deletes the file; offsets handed out before are void.
    void Reset();
    bool HasFile() const;
    QString FileName() const;
    qint64 Size() const;

private:
    QString FTempDir;
    std::unique_ptr<QTemporaryFile> FFile;
};
