#pragma once

void benchmarkPortPoll (int runs);
void benchmarkPlugInToReadPanel (int runs);
