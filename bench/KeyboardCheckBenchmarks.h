#pragma once

void benchmarkBackupAndRestore (int runs);
void benchmarkVerifiedSend (int runs);
void benchmarkFlashFlow (int runs);
