#include "cli/InterruptCatcher.h"

#include "cli/KeyboardSession.h"

#include <windows.h>

namespace
{
    /** Runs on a thread the console starts; answering TRUE keeps the process alive so
        the command can finish as it does after SIGINT elsewhere. A closed console or a
        logoff is left to the default, which ends the process. */
    BOOL WINAPI interrupt (DWORD event)
    {
        if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
            return FALSE;

        KeyboardSession::interrupted = true;
        return TRUE;
    }
}

void catchInterrupt()
{
    SetConsoleCtrlHandler (interrupt, TRUE);
}
