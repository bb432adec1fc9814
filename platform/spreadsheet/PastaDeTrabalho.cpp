#include "platform/spreadsheet/PastaDeTrabalho.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <xlsxwriter.h>

#include <cstdio>
#include <sys/statvfs.h>

#include <map>
#include <string>
#include <tuple>

namespace planilha {

class PastaDeTrabalho::Formato {
public:
    lxw_format *lxw = nullptr;
};

struct PastaDeTrabalho::Estado {
    QString arquivo;
    QByteArray arquivoLocal;
    QByteArray pastaTemporaria;
    lxw_workbook *pasta = nullptr;
    lxw_worksheet *folha = nullptr;
    std::map<std::tuple<bool, int, int, bool>, std::unique_ptr<Formato>> formatos;
    QStringEncoder utf8{QStringEncoder::Utf8};
    std::string buffer;  // reused for every cell: millions of cells, no allocation each

    void verificarDadosTemporarios() const;

    const char *emUtf8(const QString &texto) {
        buffer.resize(utf8.requiredSpace(texto.size()) + 1);
        char *fim = utf8.appendToBuffer(buffer.data(), texto);
        *fim = '\0';
        return buffer.data();
    }
};

namespace {

QString motivo(lxw_error erro) { return QString::fromUtf8(lxw_strerror(erro)); }

void validarCelula(int linha, int coluna) {
    if (linha < 1 || linha > MaximoLinhas || coluna < 1 || coluna > MaximoColunas)
        throw Erro(QStringLiteral("A célula da linha %1, coluna %2 está fora dos limites da planilha.")
                       .arg(linha)
                       .arg(coluna));
}

}  // namespace

PastaDeTrabalho::PastaDeTrabalho(const QString &arquivo, bool arquivoGrande)
    : estado_(std::make_unique<Estado>()) {
    estado_->arquivo = arquivo;
    estado_->arquivoLocal = arquivo.toLocal8Bit();
    lxw_workbook_options opcoes{};
    opcoes.constant_memory = LXW_TRUE;
    // Named, so that the free space checked in fechar() is that of the folder really used.
    estado_->pastaTemporaria = QFile::encodeName(QDir::tempPath());
    opcoes.tmpdir = estado_->pastaTemporaria.data();
    opcoes.use_zip64 = arquivoGrande ? LXW_TRUE : LXW_FALSE;
    estado_->pasta = workbook_new_opt(estado_->arquivoLocal.constData(), &opcoes);
    if (estado_->pasta)
        estado_->folha = workbook_add_worksheet(estado_->pasta, nullptr);
    if (!estado_->pasta || !estado_->folha) {
        if (estado_->pasta)
            lxw_workbook_free(estado_->pasta);
        estado_->pasta = nullptr;
        throw Erro(QStringLiteral("Não foi possível criar a planilha (memória ou arquivos temporários insuficientes)."));
    }
}

PastaDeTrabalho::~PastaDeTrabalho() {
    if (estado_->pasta)
        lxw_workbook_free(estado_->pasta);
}

const PastaDeTrabalho::Formato *PastaDeTrabalho::formato(const Estilo &estilo) {
    auto chave = std::make_tuple(estilo.negrito, int(estilo.horizontal), int(estilo.vertical),
                                 estilo.bordaPreta);
    auto &existente = estado_->formatos[chave];
    if (existente)
        return existente.get();
    lxw_format *f = workbook_add_format(estado_->pasta);
    if (!f)
        throw Erro(QStringLiteral("Não foi possível criar a planilha (memória insuficiente)."));
    if (estilo.negrito)
        format_set_bold(f);
    if (estilo.horizontal == Horizontal::Centro)
        format_set_align(f, LXW_ALIGN_CENTER);
    if (estilo.vertical == Vertical::Centro)
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
    if (estilo.bordaPreta) {
        format_set_border(f, LXW_BORDER_THIN);
        // Plain 0 means "automatic" to the library; black has its own value.
        format_set_border_color(f, LXW_COLOR_BLACK);
    }
    existente = std::make_unique<Formato>();
    existente->lxw = f;
    return existente.get();
}

void PastaDeTrabalho::larguraColuna(int coluna, double largura) {
    validarCelula(1, coluna);
    lxw_error erro = worksheet_set_column(estado_->folha, lxw_col_t(coluna - 1),
                                          lxw_col_t(coluna - 1), largura, nullptr);
    if (erro != LXW_NO_ERROR)
        throw Erro(QStringLiteral("Não foi possível definir a largura da coluna %1.\nMotivo: %2")
                       .arg(coluna)
                       .arg(motivo(erro)));
}

void PastaDeTrabalho::congelarAcimaDaLinha(int linha) {
    validarCelula(linha, 1);
    worksheet_freeze_panes(estado_->folha, lxw_row_t(linha - 1), 0);
}

void PastaDeTrabalho::escrever(int linha, int coluna, const QString &texto, const Formato *formato) {
    validarCelula(linha, coluna);
    lxw_format *f = formato ? formato->lxw : nullptr;
    lxw_error erro;
    if (texto.isEmpty())
        erro = f ? worksheet_write_blank(estado_->folha, lxw_row_t(linha - 1), lxw_col_t(coluna - 1), f)
                 : LXW_NO_ERROR;
    else
        erro = worksheet_write_string(estado_->folha, lxw_row_t(linha - 1), lxw_col_t(coluna - 1),
                                      estado_->emUtf8(texto), f);
    if (erro != LXW_NO_ERROR)
        throw Erro(QStringLiteral("Não foi possível escrever a célula da linha %1, coluna %2 da planilha.\nMotivo: %3")
                       .arg(linha)
                       .arg(coluna)
                       .arg(motivo(erro)));
}

void PastaDeTrabalho::mesclar(int primeiraLinha, int primeiraColuna, int ultimaLinha, int ultimaColuna,
                              const QString &texto, const Formato *formato) {
    validarCelula(primeiraLinha, primeiraColuna);
    validarCelula(ultimaLinha, ultimaColuna);
    if (primeiraLinha == ultimaLinha && primeiraColuna == ultimaColuna)
        return;
    lxw_error erro = worksheet_merge_range(
        estado_->folha, lxw_row_t(primeiraLinha - 1), lxw_col_t(primeiraColuna - 1),
        lxw_row_t(ultimaLinha - 1), lxw_col_t(ultimaColuna - 1), estado_->emUtf8(texto),
        formato ? formato->lxw : nullptr);
    if (erro != LXW_NO_ERROR)
        throw Erro(QStringLiteral("Não foi possível mesclar as células das linhas %1 a %2 da planilha.\nMotivo: %3")
                       .arg(primeiraLinha)
                       .arg(ultimaLinha)
                       .arg(motivo(erro)));
}

// The library does not notice when its temporary files cannot be written (a full disk): it
// would then assemble a workbook with rows missing and report success. The rows written so
// far must all be in the temporary file, and the folder must have room for the sheet's XML,
// which is that file again, before the workbook is assembled.
void PastaDeTrabalho::Estado::verificarDadosTemporarios() const {
    FILE *dados = folha->optimize_tmpfile;
    if (!dados)
        return;
    const QString pasta = QDir::toNativeSeparators(QFile::decodeName(pastaTemporaria));
    if (std::fflush(dados) != 0 || std::ferror(dados))
        throw Erro(QStringLiteral("Não foi possível gravar os dados temporários da planilha na pasta \"%1\" "
                                  "(disco cheio?). A planilha não foi gravada.").arg(pasta));
    const long tamanho = std::ftell(dados);
    struct statvfs espaco {};
    if (tamanho > 0 && ::statvfs(pastaTemporaria.constData(), &espaco) == 0) {
        const double livre = double(espaco.f_bavail) * double(espaco.f_frsize);
        const double necessario = double(tamanho) * 1.05 + 1024.0 * 1024.0;
        if (livre < necessario)
            throw Erro(QStringLiteral("Não há espaço suficiente na pasta \"%1\" para montar a planilha "
                                      "(são necessários cerca de %2 MB). A planilha não foi gravada.")
                           .arg(pasta)
                           .arg(qint64(necessario / (1024.0 * 1024.0)) + 1));
    }
}

void PastaDeTrabalho::fechar() {
    lxw_workbook *pasta = estado_->pasta;
    if (!pasta)
        throw Erro(QStringLiteral("A planilha já foi fechada."));
    estado_->verificarDadosTemporarios();
    // The library frees the workbook whatever the outcome.
    estado_->pasta = nullptr;
    lxw_error erro = workbook_close(pasta);
    if (erro != LXW_NO_ERROR)
        throw Erro(QStringLiteral("Não foi possível gravar o arquivo \"%1\".\nMotivo: %2")
                       .arg(estado_->arquivo, motivo(erro)));
}

}  // namespace planilha
