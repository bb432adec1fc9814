#include "app/IndicacaoOcupado.h"

#include "app/UQuelvora.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

IndicacaoOcupado::IndicacaoOcupado(TfrmQuelvora &janela) : janela_(janela)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    janela_.lblMsg->show();
    janela_.btnValidar->setEnabled(false);
    janela_.btnExcel->setEnabled(false);
}

IndicacaoOcupado::~IndicacaoOcupado()
{
    QApplication::restoreOverrideCursor();
    janela_.lblMsg->hide();
    janela_.Barra->hide();
    janela_.btnValidar->setEnabled(true);
    janela_.btnExcel->setEnabled(true);
}
