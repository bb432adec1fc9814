#pragma once
// Busy indication of an output command, as a scope: the hourglass cursor and the label
// "Preparando o relatório, aguarde..." from construction on, and the output buttons disabled
// so that a click processed between two exported rows cannot start a second output over the
// queries the first is reading. The destructor undoes all of it and hides the progress gauge,
// also when the command leaves by an exception.
//
//   IndicacaoOcupado ocupado(*this);
//   QCoreApplication::processEvents();  // let the label be painted
class TfrmQuelvora;

class IndicacaoOcupado {
public:
    explicit IndicacaoOcupado(TfrmQuelvora &janela);
    ~IndicacaoOcupado();
    IndicacaoOcupado(const IndicacaoOcupado &) = delete;
    IndicacaoOcupado &operator=(const IndicacaoOcupado &) = delete;

private:
    TfrmQuelvora &janela_;
};
