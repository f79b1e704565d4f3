#include "documents/MidiChart.h"
#include "simulator/VirtualMidiPortSystem.h"
#include "tests/support/TestSupport.h"

namespace
{
    struct MidiChart : ::testing::Test
    {
        VirtualMidiPortSystem ports;
        LumManager49 manager { ports };
        ScratchFolder scratch;

        /** The cells of the item table's row for this item, or nothing. */
        juce::StringArray rowFor (const juce::String& idText)
        {
            const auto chart = createMidiChartDocument (manager.getModel());
            const auto* table = chart->getChildByName ("body")->getChildByName ("table");

            for (const auto* row : table->getChildIterator())
            {
                juce::StringArray cells;
                for (const auto* cell : row->getChildIterator())
                    cells.add (cell->getAllSubText());

                if (cells[0] == idText)
                    return cells;
            }

            return {};
        }
    };
}

TEST_F (MidiChart, TheChartAfterConstructionIsTheExpectedPage)
{
    const auto file = scratch.file ("chart.html");
    ASSERT_TRUE (exportMidiChart (manager, file).wasOk());
    expectSameBytes (file, testDataFile ("chart_after_construction.html"));
}

TEST_F (MidiChart, RowsShowNamesModesAndChannelsInTheChartsOwnWords)
{
    EXPECT_EQ (rowFor ("0x01"), juce::StringArray ({ "0x01", "C2 - Cutoff", "Control - 1", "Master - 0x41", "74", "0", "127", "0" }));
    EXPECT_EQ (rowFor ("0x70"), juce::StringArray ({ "0x70", "Pad #1", "Midi Note - 9", "10 - 0x09", "36", "0", "127", "1" }));
    EXPECT_EQ (rowFor ("0x63"), juce::StringArray ({ "0x63", "99", "Control - 1", "Master - 0x41", "-1", "0", "127", "0" }));
    EXPECT_EQ (rowFor ("0x6B")[1], "107");
    EXPECT_TRUE (rowFor ("0x21").isEmpty());   // bank-2 knobs and faders are left out
}

TEST_F (MidiChart, MissingEntriesShowTheirDefaults)
{
    manager.itemParams[ItemParam::Number][65] = 0;
    EXPECT_EQ (rowFor ("0x41"), juce::StringArray ({ "0x41", "Pitch Wheel", "Off - 0", "1 - 0x00", "0", "0", "127", "0" }));
}

TEST (MidiChartTexts, ModesAndChannels)
{
    EXPECT_EQ (chartModeText (13), "??? - 13");
    EXPECT_EQ (chartModeText (14), "Aftertouch - 14");
    EXPECT_EQ (chartModeText (15), "Err");
    EXPECT_EQ (chartModeText (-1), "Err");

    EXPECT_EQ (chartChannelText (0), "1 - 0x00");
    EXPECT_EQ (chartChannelText (15), "16 - 0x0F");
    EXPECT_EQ (chartChannelText (-1), "0 - 0xFF");
    EXPECT_EQ (chartChannelText (16), "Err");
    EXPECT_EQ (chartChannelText (0x40), "Lwr - 0x40");
    EXPECT_EQ (chartChannelText (0x7E), "All - 0x7E");
    EXPECT_EQ (chartChannelText (0x7F), "Pnl - 0x7F");

    EXPECT_EQ (chartItemName (9), "C4 - LFO Rate ");
    EXPECT_EQ (chartItemName (93), "Host Control #6");
    EXPECT_EQ (chartItemName (200), "200");
}
