#pragma once

/** konsolion-cli's exit statuses, as its manual page and --help give them. */
enum CliExitCode
{
    exitDone = 0,            // done; no differences
    exitDifferences = 1,     // the models compared differ
    exitUsage = 2,           // a command or option the tool does not know, or missing arguments
    exitNoKeyboard = 3,      // no keyboard (or bootloader) answered, or it went during the command
    exitFileError = 4,       // a file missing, unreadable, damaged, too large or not writable
    exitTransferFailed = 5,  // a send, read or firmware transfer did not complete
    exitCancelled = 6        // the user pressed Ctrl+C, or did not confirm
};
