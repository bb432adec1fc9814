#include "platform/firebird/banco_p.h"
#include "platform/firebird/win1252.h"

#include <cstring>

using namespace Firebird;

namespace firebird {

MensagemEntrada::~MensagemEntrada() { liberar(metadados_); }

void MensagemEntrada::preparar(unsigned quantidade) {
    // Long enough for any key or number without a rebuild; longer texts grow their slot.
    capacidades_.assign(quantidade, 64);
    bytes_.assign(quantidade, QByteArray());
    montar();
}

void MensagemEntrada::montar() {
    liberar(metadados_);
    buffer_.clear();
    if (capacidades_.empty())
        return;
    protegido([&] {
        Status st;
        IMetadataBuilder *b = mestre()->getMetadataBuilder(&st, unsigned(capacidades_.size()));
        for (unsigned i = 0; i < capacidades_.size(); ++i) {
            b->setType(&st, i, SQL_VARYING + 1);
            b->setLength(&st, i, capacidades_[i]);
            b->setCharSet(&st, i, charsetWin1252);
        }
        metadados_ = b->getMetadata(&st);
        b->release();
        buffer_.assign(metadados_->getMessageLength(&st), 0);
        deslocamentos_.resize(capacidades_.size());
        deslocamentosNulo_.resize(capacidades_.size());
        for (unsigned i = 0; i < capacidades_.size(); ++i) {
            deslocamentos_[i] = metadados_->getOffset(&st, i);
            deslocamentosNulo_[i] = metadados_->getNullOffset(&st, i);
        }
    });
}

void MensagemEntrada::preencher(const std::vector<QString> &valores) {
    bool crescer = false;
    for (std::size_t i = 0; i < capacidades_.size(); ++i) {
        const QString &v = i < valores.size() ? valores[i] : QString();
        bytes_[i] = v.isNull() ? QByteArray() : paraWin1252(v);
        if (unsigned(bytes_[i].size()) > capacidades_[i]) {
            // A VARCHAR parameter holds at most this many bytes; cutting the text would store
            // something the caller never wrote.
            constexpr unsigned limite = 32765;
            if (unsigned(bytes_[i].size()) > limite)
                throw Erro(QStringLiteral("O valor do parâmetro %1 tem %2 bytes; o limite é %3.")
                               .arg(i + 1).arg(bytes_[i].size()).arg(limite));
            capacidades_[i] = std::min(limite, std::max<unsigned>(bytes_[i].size(), capacidades_[i] * 2));
            crescer = true;
        }
    }
    if (crescer)
        montar();
    for (unsigned i = 0; i < capacidades_.size(); ++i) {
        const bool nulo = i >= valores.size() || valores[i].isNull();
        const ISC_SHORT indicador = nulo ? -1 : 0;
        std::memcpy(buffer_.data() + deslocamentosNulo_[i], &indicador, sizeof indicador);
        const auto n = static_cast<ISC_USHORT>(bytes_[i].size());
        unsigned char *destino = buffer_.data() + deslocamentos_[i];
        std::memcpy(destino, &n, sizeof n);
        if (n)
            std::memcpy(destino + sizeof n, bytes_[i].constData(), n);
    }
}

}  // namespace firebird
