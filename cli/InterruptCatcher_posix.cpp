#include "cli/InterruptCatcher.h"

#include "cli/KeyboardSession.h"

#include <csignal>

namespace
{
    void interrupt (int)
    {
        KeyboardSession::interrupted = true;
    }
}

void catchInterrupt()
{
    struct sigaction action {};
    action.sa_handler = interrupt;
    sigemptyset (&action.sa_mask);
    sigaction (SIGINT, &action, nullptr);
    sigaction (SIGTERM, &action, nullptr);
}
