#include "simulator/KeyboardCommandPipe.h"

KeyboardCommandPipe::KeyboardCommandPipe (const juce::String& path, SimulatedKeyboard& keyboard,
                                          KeyboardCommands::Actions actions, Report r)
    : commands (keyboard, std::move (actions)),
      report (std::move (r)),
      fifo (path, [this] (const juce::String& line) {
          if (const auto problem = commands.run (line))
              report ("command \"" + line + "\": " + *problem);
      })
{
}
