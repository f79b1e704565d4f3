#include "device/ControlCatalogue.h"

namespace
{
    constexpr ItemId sustainPedal = 80;

    /** A run of consecutive ItemIds of one kind; names and numbers are listed per item. */
    struct CatalogueRun
    {
        ItemId first;
        ControlKind kind;
        std::vector<juce::String> names;
        std::vector<int> numbers;
    };

    std::vector<juce::String> numberedNames (const char* stem, int first, int last)
    {
        std::vector<juce::String> names;

        for (int n = first; n <= last; ++n)
            names.push_back (juce::String (stem) + juce::String (n));

        return names;
    }

    std::vector<int> countingFrom (int first, int count)
    {
        std::vector<int> numbers;

        for (int i = 0; i < count; ++i)
            numbers.push_back (first + i);

        return numbers;
    }

    std::vector<CatalogueEntry> buildCatalogue()
    {
        const std::vector<CatalogueRun> runs {
            { 1, ControlKind::Knob,
              { "Bnk1:P1 - Cutoff", "Bnk1:P2 - Reso", "Bnk1:P3 - LFO Rate", "Bnk1:P4 - LFO Amt", "Bnk1:P6 - Param 1",
                "Bnk1:P7 - Param 2", "Bnk1:P8 - Param 3", "Bnk1:P9 - Param 4", "Bnk1:P5 - Chorus", "Bnk1:P10 - Delay" },
              { 74, 71, 76, 77, 18, 19, 16, 17, 93, 91 } },
            { 11, ControlKind::Fader,
              { "Bnk1:F1 - FILT. A", "Bnk1:F2 - FILT. D", "Bnk1:F3 - FILT. S", "Bnk1:F4 - FILT. R" },
              { 73, 75, 79, 72 } },
            { 18, ControlKind::Switch, numberedNames ("Switch ", 1, 10), countingFrom (22, 10) },
            { 28, ControlKind::Switch, { "Bank 2", "Bank 1", "Sound", "Multi" }, { 46, 47, 118, 119 } },
            { 33, ControlKind::Knob,
              { "Bnk2:P1", "Bnk2:P2", "Bnk2:P3", "Bnk2:P4", "Bnk2:P6", "Bnk2:P7", "Bnk2:P8", "Bnk2:P9", "Bnk2:P5", "Bnk2:P10" },
              countingFrom (35, 10) },
            { 43, ControlKind::Fader, numberedNames ("Bnk2:F", 1, 4), countingFrom (67, 4) },
            { 48, ControlKind::Knob, { "Level" }, { 7 } },
            { 49, ControlKind::Encoder, { "Category Adjust" }, { 112 } },
            { 50, ControlKind::Switch, { "Category Select" }, { 113 } },
            { 51, ControlKind::Encoder, { "Preset Adjust" }, { 114 } },
            { 52, ControlKind::Switch, { "Preset Select" }, { 115 } },
            { 64, ControlKind::Fader, { "Modulation Wheel" }, { 1 } },
            { 65, ControlKind::NoDefaults, { "Pitch Wheel" }, { 0 } },
            { 66, ControlKind::NoDefaults, { "Joystick Down / Extra Wheel" }, { 0 } },
            { 75, ControlKind::Fader,
              { "Bnk1:F5 - AMP. A", "Bnk1:F6 - AMP. D", "Bnk1:F7 - AMP. S", "Bnk1:F8 - AMP. R", "Bnk1:F9" },
              { 80, 81, 82, 83, 85 } },
            { sustainPedal, ControlKind::Switch, { "Sustain Pedal" }, { 64 } },
            { 81, ControlKind::Knob, { "Expression Pedal", "Breath Control", "Aux Pedal" }, { 11, 2, 12 } },
            { 88, ControlKind::Switch, { "Play/||", "Stop", "Record", "Rewind", "Forward", "Loop" },
              { 54, 51, 50, 53, 52, 55 } },
            { 99, ControlKind::Hidden, { "", "", "", "", "", "", "", "" }, std::vector<int> (8, -1) },
            { 107, ControlKind::Fader, numberedNames ("Bnk2:F", 5, 9), { 87, 88, 89, 90, 92 } },
            { 112, ControlKind::Pad, numberedNames ("Pad ", 1, 8), countingFrom (36, 8) },
            { 120, ControlKind::Switch, numberedNames ("Pad ", 9, 16), countingFrom (44, 8) },
        };

        std::vector<CatalogueEntry> catalogue;

        for (const auto& run : runs)
        {
            jassert (run.names.size() == run.numbers.size());

            for (size_t i = 0; i < run.names.size(); ++i)
                catalogue.push_back ({ run.first + (int) i, run.names[i], run.kind, run.numbers[i] });
        }

        return catalogue;
    }
}

const std::vector<CatalogueEntry>& controlCatalogue()
{
    static const std::vector<CatalogueEntry> catalogue = buildCatalogue();
    return catalogue;
}

std::set<ItemId> knownItemIdsFromCatalogue()
{
    std::set<ItemId> ids;

    for (const auto& entry : controlCatalogue())
        if (entry.kind != ControlKind::NoDefaults && entry.kind != ControlKind::Hidden)
            ids.insert (entry.id);

    return ids;
}

std::map<ItemId, juce::String> displayNamesFromCatalogue()
{
    std::map<ItemId, juce::String> names;

    for (const auto& entry : controlCatalogue())
        if (entry.displayName.isNotEmpty())
            names[entry.id] = entry.displayName;

    return names;
}

ItemDefaults defaultsForKind (ControlKind kind, ItemId id)
{
    switch (kind)
    {
        case ControlKind::Encoder:  return { ItemMode::Control, ChannelUpper, 1 };
        case ControlKind::Switch:   return { ItemMode::ControlToggle, id == sustainPedal ? ChannelUpper : 0, 1 };
        case ControlKind::Pad:      return { ItemMode::MidiNote, 9, 1 };
        case ControlKind::Knob:
        case ControlKind::Fader:
        case ControlKind::Hidden:
        case ControlKind::NoDefaults:
            break;
    }

    return { ItemMode::Control, ChannelUpper, 0 };
}

const std::vector<GlobalValue>& factoryGlobals()
{
    static const std::vector<GlobalValue> values {
        { GlobalIndex::LowerChannel, 0 }, { GlobalIndex::UpperChannel, 0 }, { GlobalIndex::FaderMode, 1 },
        { GlobalIndex::KnobMode, 1 },     { GlobalIndex::SplitMode, 1 },    { GlobalIndex::SplitPoint, 60 },
    };
    return values;
}
