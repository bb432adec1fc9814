#include "app/uMessageUtil.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

// A console process has no one to answer a question: the answer is yes, and nothing blocks.
TEST(ConfirmarEmConsole, RespondeSimSemPerguntar)
{
    int argc = 1;
    char nome[] = "quelvora";
    char *argv[] = {nome, nullptr};
    QCoreApplication app(argc, argv);
    EXPECT_TRUE(TMessageUtil::Confirmar(QStringLiteral("Deseja cancelar a emissão do relatório?")));
    EXPECT_TRUE(TMessageUtil::Confirmar(QStringLiteral("Deseja cancelar a emissão do relatório?"), nullptr));
}
