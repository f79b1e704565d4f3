#pragma once

#include "device/KeyboardReader.h"
#include "device/ModelComparison.h"

/** How "Send to Keyboard" (and the command line's restore) went: the send, the read of
    the keyboard that followed it, and what that read showed of what was sent. */
struct VerifiedSendReport
{
    SendAllReport send;
    SendAllPlan plan;
    KeyboardReader::Outcome readBack = KeyboardReader::Outcome::noKeyboard;
    bool readBackDone = false;   // the send completed, so the keyboard was read
    ModelCheck check;            // the sent values against the keyboard's, once read back

    /** The keyboard's ports went away during the send or the read. */
    bool keyboardWentAway() const;

    /** Sent whole and read back, with every value checked equal (some may not be checked). */
    bool keyboardHoldsWhatWasSent() const;

    /** Sent whole, but the keyboard did not answer the read that checks it. */
    bool sentButNotChecked() const;
};

/** Sends the model (the manager's own is left as it is), then reads the keyboard into a
    model of the reader's and compares the values that were sent. `progress` is called
    after each frame sent, and stops the send when it answers false. */
VerifiedSendReport sendAndVerify (LumManager49& manager, KeyboardReader& reader, const SettingsModel& model,
                                  const LumManager49::SendProgress& progress = {},
                                  const std::function<bool()>& shouldStop = {});
