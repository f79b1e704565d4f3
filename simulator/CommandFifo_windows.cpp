#include "simulator/CommandFifo.h"

// Windows has no named pipe in the file system to `echo` lines into: the pipe is never
// open there, and whoever asked for one says it cannot read commands from it.
CommandFifo::CommandFifo (const juce::String&, LineHandler lineHandler) : handler (std::move (lineHandler)) {}

CommandFifo::~CommandFifo() = default;

void CommandFifo::run() {}
