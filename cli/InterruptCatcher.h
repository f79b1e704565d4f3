#pragma once

/** Ctrl+C (and, where there is one, a polite request to end) ends the command cleanly:
    it sets KeyboardSession::interrupted, nothing more is sent, and the command says
    what it left. */
void catchInterrupt();
