#pragma once
// A workbook of one sheet, written row by row over libxlsxwriter.
//
// Memory stays flat however many rows are written: each row goes to a temporary file as soon as
// the next one starts. The price is that a row can no longer be touched once a later row has
// been written, so a merge must be made while its last row is still the current one.
//
// Rows and columns are numbered as the spreadsheet shows them: A1 is (1, 1).
#include "platform/erro/Erro.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace planilha {

// A sheet holds 1,048,576 rows and 16,384 columns.
inline constexpr int MaximoLinhas = 1048576;
inline constexpr int MaximoColunas = 16384;

enum class Horizontal { Padrao, Centro };
enum class Vertical { Padrao, Centro };

struct Estilo {
    bool negrito = false;
    Horizontal horizontal = Horizontal::Padrao;
    Vertical vertical = Vertical::Padrao;
    bool bordaPreta = false;  // thin black line on all four sides
};

class PastaDeTrabalho {
public:
    class Formato;  // handle of a registered style, owned by the workbook

    // Nothing is written to the file until fechar(). arquivoGrande allows parts larger than
    // 4 GB inside the zip container, which only very large sheets need.
    explicit PastaDeTrabalho(const QString &arquivo, bool arquivoGrande = false);
    // Without fechar() the workbook is abandoned: the file named in the constructor is not
    // written (a file left there by someone else stays as it was).
    ~PastaDeTrabalho();
    PastaDeTrabalho(const PastaDeTrabalho &) = delete;
    PastaDeTrabalho &operator=(const PastaDeTrabalho &) = delete;

    const Formato *formato(const Estilo &estilo);

    // Before any row is written.
    void larguraColuna(int coluna, double largura);
    void congelarAcimaDaLinha(int linha);  // rows above linha stay visible when scrolling

    // An empty text with a format leaves a formatted empty cell; without one, nothing.
    void escrever(int linha, int coluna, const QString &texto, const Formato *formato = nullptr);
    // texto goes into the first cell; every other cell of the range becomes a formatted blank.
    // ultimaLinha must still be the current row (see above); a single cell is not merged.
    void mesclar(int primeiraLinha, int primeiraColuna, int ultimaLinha, int ultimaColuna,
                 const QString &texto, const Formato *formato = nullptr);

    // Assembles and writes the file. Throws Erro when it cannot be written.
    void fechar();

    struct Estado;

private:
    std::unique_ptr<Estado> estado_;
};

}  // namespace planilha
