#include "app/AppClass.h"

START_JUCE_APPLICATION (AppClass)
