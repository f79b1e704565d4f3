#pragma once

void benchmarkTouchToPick (int runs);
void benchmarkLiveEdit (int runs);
