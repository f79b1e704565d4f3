#pragma once

void benchmarkBackupAndRestore (int runs);
