#include "app/AppClass.h"
#include "app/DisplayCheck.h"

namespace
{
    juce::JUCEApplicationBase* createApplication()   { return new AppClass(); }
}

int main (int argc, char* argv[])
{
    return runWithDisplay ("Konsolion", argc, argv, createApplication);
}
