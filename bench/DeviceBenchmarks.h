#pragma once

#include <juce_core/juce_core.h>

void benchmarkPause (int runs);
void benchmarkSendAll (int runs);
void benchmarkConfigurationRead (int runs);
void benchmarkFirmwareTransfer (int runs);

/** How long the simulated keyboard takes to answer one firmware block, with this delay of its own. */
double blockAnswerMs (double answerDelayMs);

/** The floor of a firmware transfer of this many bytes. */
double firmwareTransferFloorMs (juce::int64 imageBytes, double answerDelayMs);
