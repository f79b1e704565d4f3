#pragma once

#include <juce_core/juce_core.h>

#include <set>

/** Something the user picks controls on. */
class IKbdCtrlPicker
{
public:
    virtual ~IKbdCtrlPicker() = default;

    /** The ItemIds it can pick, in ascending order. */
    virtual std::set<juce::int16> getCtrlIdSet() const = 0;
};
