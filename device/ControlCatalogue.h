#pragma once

#include <juce_core/juce_core.h>

#include <map>
#include <set>
#include <vector>

// The keyboard's controls ("items") and what they send by default.

/** Names one control of the keyboard: 1..127 on the wire, in files and in the picture. */
using ItemId = int;

/** Per-item parameter numbers; the number travels on the wire and indexes `itemParams`. */
struct ItemParam
{
    enum : int
    {
        Value = 0,   // live value or LED state, wire only
        Mode = 1,
        Channel = 2,
        Number = 3,
        MinLsb = 4,
        MaxMsb = 5,
        Option = 6
    };

    static constexpr int count = 7;
    static constexpr int firstStored = Mode;
    static constexpr int lastStored = Option;
};

/** What a control sends; the editor offers codes 0..11, the chart names all fifteen. */
struct ItemMode
{
    enum : int
    {
        Off = 0,
        Control = 1,
        RelativeControl = 2,
        Rpn = 3,
        Nrpn = 4,
        DurationControl = 5,
        KeyboardPreset = 6,
        Mmc = 7,
        ControlToggle = 8,
        MidiNote = 9,
        MidiNoteGated = 10,
        PatchChange = 11,
        PitchBend = 12,
        Unnamed13 = 13,
        Aftertouch = 14
    };
};

/** Channel codes besides 0..15, each naming a keyboard-wide channel. */
constexpr int ChannelLower = 0x40;
constexpr int ChannelUpper = 0x41;
constexpr int ChannelAll = 0x7E;
constexpr int ChannelPanel = 0x7F;

/** Named indices of `globals`. */
struct GlobalIndex
{
    enum : int
    {
        FaderMode = 1,
        KnobMode = 2,
        OctaveShift = 3,
        LowerChannel = 5,
        UpperChannel = 6,
        SplitMode = 7,
        SplitPoint = 8
    };
};

constexpr int globalCount = 14;
constexpr int curveCount = 11;

/** The pitch wheel: its own message, never sent by "Send to Keyboard". */
constexpr ItemId pitchWheelItem = 65;

/** "Category Adjust" and "Preset Adjust" turn endlessly and send each step as sign and magnitude. */
constexpr bool isEndlessEncoder (ItemId item) noexcept   { return item == 49 || item == 51; }

/** Items 99..106: no control of their own, number -1, never offered in the editor. */
constexpr ItemId firstHiddenItem = 99;
constexpr ItemId lastHiddenItem = 106;
constexpr bool isHiddenItem (ItemId item) noexcept   { return item >= firstHiddenItem && item <= lastHiddenItem; }

/** The globals the editor shows, in the order they are sent (the MIDI channel first). */
constexpr int editorGlobals[] { GlobalIndex::UpperChannel, GlobalIndex::FaderMode, GlobalIndex::KnobMode,
                                GlobalIndex::LowerChannel, GlobalIndex::SplitMode, GlobalIndex::SplitPoint };

/** The curves "Send to Keyboard" writes, in the order it writes them. */
constexpr int sentCurves[] { 4, 1, 3 };

/** A global and the value it has on a keyboard as it leaves the factory, which is
    also what "Default Values" sets. */
struct GlobalValue
{
    int index;
    int value;
};

/** Both channels 1, absolute knobs, normal faders, no split, split point C3. */
const std::vector<GlobalValue>& factoryGlobals();

/** Decides an item's default mode, channel and option. */
enum class ControlKind
{
    Knob,
    Fader,
    Encoder,
    Switch,
    Pad,
    Hidden,
    NoDefaults
};

struct CatalogueEntry
{
    ItemId id;
    juce::String displayName;  // empty for the hidden items
    ControlKind kind;
    int defaultNumber;
};

/** Every control of the keyboard, in ascending ItemId order. */
const std::vector<CatalogueEntry>& controlCatalogue();

/** The catalogue items a bulk reply from the keyboard may update. */
std::set<ItemId> knownItemIdsFromCatalogue();

/** ItemId to display name, for every catalogue item that has a name. */
std::map<ItemId, juce::String> displayNamesFromCatalogue();

/** The six stored values an item of this kind starts with (index = ItemParam). */
struct ItemDefaults
{
    int mode;
    int channel;
    int option;
};

ItemDefaults defaultsForKind(ControlKind kind, ItemId id);
