#pragma once

void benchmarkPause (int runs);
void benchmarkSendAll (int runs);
void benchmarkConfigurationRead (int runs);
void benchmarkFirmwareTransfer (int runs);
