#include "export/gravacao_segura.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString textoErrno(int numero) { return QString::fromLocal8Bit(std::strerror(numero)); }

// A temporary file is private to its owner; the finished file gets what a newly created file
// would get, or keeps the permissions of the file it replaces.
void ajustarPermissoes(const QByteArray &temporario, const QByteArray &destino) {
    struct stat existente {};
    mode_t modo;
    if (::stat(destino.constData(), &existente) == 0) {
        modo = existente.st_mode & 07777;
    } else {
        const mode_t mascara = ::umask(0);
        ::umask(mascara);
        modo = 0666 & ~mascara;
    }
    ::chmod(temporario.constData(), modo);
}

}  // namespace

GravacaoSegura::GravacaoSegura(const QString &destino) : destino_(QFileInfo(destino).absoluteFilePath()) {
    const QFileInfo info(destino_);
    if (info.isDir())
        throw Erro(QStringLiteral("\"%1\" é uma pasta. Informe o nome de um arquivo para gravar a planilha.")
                       .arg(QDir::toNativeSeparators(destino_)));
    const QString pasta = info.absolutePath();
    if (!QFileInfo(pasta).isDir())
        throw Erro(QStringLiteral("A pasta \"%1\" não existe. A planilha não foi gravada.")
                       .arg(QDir::toNativeSeparators(pasta)));
    if (info.exists() && !info.isFile())
        throw Erro(QStringLiteral("\"%1\" não é um arquivo comum e não pode ser substituído pela planilha.")
                       .arg(QDir::toNativeSeparators(destino_)));

    temporario_ = std::make_unique<QTemporaryFile>(pasta + QLatin1Char('/') + QLatin1Char('.') +
                                                   info.fileName() + QStringLiteral(".XXXXXX.tmp"));
    temporario_->setAutoRemove(true);
    if (!temporario_->open())
        throw Erro(QStringLiteral("Não é possível gravar na pasta \"%1\". A planilha não foi gravada.\nMotivo: %2")
                       .arg(QDir::toNativeSeparators(pasta), temporario_->errorString()));
    // Only the name is reserved; whoever writes the content opens it again by name.
    temporario_->close();
}

GravacaoSegura::~GravacaoSegura() = default;

QString GravacaoSegura::arquivoTemporario() const { return temporario_->fileName(); }

void GravacaoSegura::concluir() {
    const QByteArray temporario = QFile::encodeName(temporario_->fileName());
    const QByteArray destino = QFile::encodeName(destino_);
    const auto falha = [&](int numero) {
        return Erro(QStringLiteral("Não foi possível gravar o arquivo \"%1\". O arquivo anterior, se havia, foi mantido.\nMotivo: %2")
                        .arg(QDir::toNativeSeparators(destino_), textoErrno(numero)));
    };

    // Without this a crash right after the rename could leave an empty file under the name.
    const int descritor = ::open(temporario.constData(), O_RDONLY | O_CLOEXEC);
    if (descritor < 0)
        throw falha(errno);
    if (::fsync(descritor) != 0) {
        const int numero = errno;
        ::close(descritor);
        throw falha(numero);
    }
    ::close(descritor);

    ajustarPermissoes(temporario, destino);
    if (::rename(temporario.constData(), destino.constData()) != 0)
        throw falha(errno);
    temporario_->setAutoRemove(false);
}
