#pragma once

// Every frame sent to the keyboard is followed by a fixed pause on the sending
// thread so the keyboard's input buffer keeps up.

/** Sleeps at least this long, and not much longer: the scheduler's slack is spun away. */
void sleepPrecisely (double milliseconds);

/** 2 ms, after every configuration and firmware frame. */
void pauseAfterFrame();

/** 5 ms, after the identity request. */
void pauseAfterIdentityRequest();
