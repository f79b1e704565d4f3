#include "device/LumManager49.h"
#include "simulator/VirtualMidiPortSystem.h"
#include "tests/support/TestSupport.h"

namespace
{
    struct ManagerModel : ::testing::Test
    {
        VirtualMidiPortSystem ports;
        LumManager49 manager { ports };

        int value (int param, ItemId item)
        {
            return manager.itemParams[(size_t) param].at (item);
        }

        void expectItem (ItemId item, int mode, int channel, int number, int option)
        {
            SCOPED_TRACE ("item " + std::to_string (item));
            EXPECT_EQ (value (ItemParam::Mode, item), mode);
            EXPECT_EQ (value (ItemParam::Channel, item), channel);
            EXPECT_EQ (value (ItemParam::Number, item), number);
            EXPECT_EQ (value (ItemParam::MinLsb, item), 0);
            EXPECT_EQ (value (ItemParam::MaxMsb, item), 127);
            EXPECT_EQ (value (ItemParam::Option, item), option);
        }
    };
}

TEST_F (ManagerModel, AfterConstructionEveryCatalogueItemButTheTwoWheelsHasAllSixValues)
{
    for (int p = ItemParam::firstStored; p <= ItemParam::lastStored; ++p)
    {
        EXPECT_EQ (manager.itemParams[(size_t) p].size(), 92u) << "parameter " << p;
        EXPECT_EQ (manager.itemParams[(size_t) p].count (65), 0u);
        EXPECT_EQ (manager.itemParams[(size_t) p].count (66), 0u);
    }

    EXPECT_TRUE (manager.itemParams[ItemParam::Value].empty());

    for (auto g : manager.globals)   EXPECT_EQ (g, 0);
    for (auto c : manager.curves)    EXPECT_EQ (c, 0);

    EXPECT_EQ (manager.getFirmwareRevision(), (std::array<juce::uint8, 4> {}));
}

TEST_F (ManagerModel, EachKindStartsWithItsDefaults)
{
    expectItem (1, ItemMode::Control, ChannelUpper, 74, 0);          // knob
    expectItem (10, ItemMode::Control, ChannelUpper, 91, 0);
    expectItem (14, ItemMode::Control, ChannelUpper, 72, 0);         // fader
    expectItem (49, ItemMode::Control, ChannelUpper, 112, 1);        // encoder
    expectItem (51, ItemMode::Control, ChannelUpper, 114, 1);
    expectItem (18, ItemMode::ControlToggle, 0, 22, 1);              // switch
    expectItem (31, ItemMode::ControlToggle, 0, 119, 1);
    expectItem (80, ItemMode::ControlToggle, ChannelUpper, 64, 1);   // the sustain pedal keeps Upper
    expectItem (112, ItemMode::MidiNote, 9, 36, 1);                  // pad
    expectItem (119, ItemMode::MidiNote, 9, 43, 1);
    expectItem (120, ItemMode::ControlToggle, 0, 44, 1);             // pads 9-16 are switches
    expectItem (93, ItemMode::ControlToggle, 0, 55, 1);              // Loop
    expectItem (111, ItemMode::Control, ChannelUpper, 92, 0);
    expectItem (64, ItemMode::Control, ChannelUpper, 1, 0);

    for (ItemId hidden = 99; hidden <= 106; ++hidden)
        expectItem (hidden, ItemMode::Control, ChannelUpper, -1, 0);
}

TEST_F (ManagerModel, ResetRestoresDefaultsAndClearsTheRevisionButLeavesGlobals)
{
    manager.itemParams[ItemParam::Number][1] = 5;
    manager.itemParams[ItemParam::Number][65] = 9;
    manager.itemParams[ItemParam::Mode].erase (112);
    manager.globals[3] = -2;
    const auto keyboardOutput = ports.addSink ("Keyboard", {});
    manager.startScan();
    manager.handleIncomingPortMessage ("Keyboard", keyboardIdentityReply ({ 2, 1, 0, 5 }));
    ASSERT_EQ (manager.getFirmwareRevision(), (std::array<juce::uint8, 4> { 2, 1, 0, 5 }));

    manager.resetItemDefaults();

    EXPECT_EQ (value (ItemParam::Number, 1), 74);
    EXPECT_EQ (manager.itemParams[ItemParam::Number].count (65), 0u);
    EXPECT_EQ (value (ItemParam::Mode, 112), ItemMode::MidiNote);
    EXPECT_EQ (manager.globals[3], -2);
    EXPECT_EQ (manager.getFirmwareRevision(), (std::array<juce::uint8, 4> {}));
}

TEST_F (ManagerModel, NumberLookupGivesSharedNumbersToTheHighestItem)
{
    manager.rebuildNumberToItem();
    EXPECT_EQ (manager.numberToItem.at (74), 1);
    EXPECT_EQ (manager.numberToItem.at (-1), 106);   // the hidden items all share -1
    EXPECT_EQ (manager.numberToItem.at (44), 120);   // Bnk2:P10 (42) and Pad 9 (120) both send 44

    manager.itemParams[ItemParam::Number][5] = 74;
    manager.rebuildNumberToItem();
    EXPECT_EQ (manager.numberToItem.at (74), 5);
}

TEST_F (ManagerModel, KnownItemsAreTheCatalogueLessWheelsAndHiddenItems)
{
    EXPECT_EQ (manager.knownItemIds.size(), 84u);

    for (ItemId excluded : { 65, 66, 99, 102, 106 })
        EXPECT_EQ (manager.knownItemIds.count (excluded), 0u) << excluded;

    for (ItemId included : { 1, 14, 18, 52, 64, 83, 93, 107, 127 })
        EXPECT_EQ (manager.knownItemIds.count (included), 1u) << included;
}

TEST (ControlCatalogue, NamesFollowTheKeyboardsLabels)
{
    const auto names = displayNamesFromCatalogue();
    EXPECT_EQ (names.size(), 86u);
    EXPECT_EQ (names.at (1), "Bnk1:P1 - Cutoff");
    EXPECT_EQ (names.at (9), "Bnk1:P5 - Chorus");
    EXPECT_EQ (names.at (27), "Switch 10");
    EXPECT_EQ (names.at (28), "Bank 2");
    EXPECT_EQ (names.at (37), "Bnk2:P6");
    EXPECT_EQ (names.at (46), "Bnk2:F4");
    EXPECT_EQ (names.at (66), "Joystick Down / Extra Wheel");
    EXPECT_EQ (names.at (79), "Bnk1:F9");
    EXPECT_EQ (names.at (88), "Play/||");
    EXPECT_EQ (names.at (111), "Bnk2:F9");
    EXPECT_EQ (names.at (127), "Pad 16");
    EXPECT_EQ (names.count (99), 0u);
}
