#pragma once
// The Qt application a test program needs (a core one for the engine's timers and events, a GUI
// one wherever text is measured or drawn), made once for the whole run.
#include <gtest/gtest.h>

#include <memory>

template <class Aplicacao>
class AmbienteComAplicacao : public ::testing::Environment {
public:
    explicit AmbienteComAplicacao(char *nome) : nome_(nome) {}
    void SetUp() override
    {
        static int argc = 1;
        static char *argv[] = {nome_, nullptr};
        if (!Aplicacao::instance())
            app_ = std::make_unique<Aplicacao>(argc, argv);
    }
    // Ended here, inside the test run: left to the environment's destructor it would go after
    // Qt's own static data during exit and crash the process.
    void TearDown() override { app_.reset(); }

private:
    char *nome_;
    std::unique_ptr<Aplicacao> app_;
};
