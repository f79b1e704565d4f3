#include "simulator/SimulatorApp.h"

START_JUCE_APPLICATION (SimulatorApp)
