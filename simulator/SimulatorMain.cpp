#include "app/DisplayCheck.h"
#include "simulator/SimulatorApp.h"

namespace
{
    juce::JUCEApplicationBase* createApplication()   { return new SimulatorApp(); }
}

int main (int argc, char* argv[])
{
    return runWithDisplay ("konsolion-sim", argc, argv, createApplication);
}
