#include "documents/SettingsFile.h"
#include "simulator/VirtualMidiPortSystem.h"
#include "tests/support/TestSupport.h"

namespace
{
    struct SettingsFile : ::testing::Test
    {
        VirtualMidiPortSystem ports;
        LumManager49 manager { ports };
        ScratchFolder scratch;

        /** Loads this document text into the manager. */
        bool load (const juce::String& xml)
        {
            const auto file = scratch.file ("in.vr49");
            file.replaceWithText (xml);
            return loadSettingsFile (manager, file);
        }

        int item (int param, ItemId id) const   { return manager.itemParams[(size_t) param].at (id); }

        std::vector<juce::MidiMessage> snapshot() const   { return manager.planSendAll().frames; }

        void expectModelUnchanged (const std::vector<juce::MidiMessage>& before)
        {
            const auto after = snapshot();
            ASSERT_EQ (after.size(), before.size());
            for (size_t i = 0; i < after.size(); ++i)
                EXPECT_EQ (bytesOf (after[i]), bytesOf (before[i]));
        }
    };

    juce::String withItems (const juce::String& items)
    {
        return "<?xml version=\"1.0\"?><Settings><Items>" + items + "</Items></Settings>";
    }
}

TEST_F (SettingsFile, SavingTheModelAfterConstructionGivesTheExpectedDocument)
{
    const auto file = scratch.file ("defaults.vr49");
    ASSERT_TRUE (saveSettingsFile (manager, file));
    expectSameBytes (file, testDataFile ("settings_after_construction.vr49"));
}

TEST_F (SettingsFile, SaveThenLoadGivesBackTheModel)
{
    manager.itemParams[ItemParam::Number][1] = 20;
    manager.itemParams[ItemParam::Mode][112] = 14;
    manager.itemParams[ItemParam::Option].erase (5);   // written as 0, read back as an entry of 0
    manager.globals[3] = -2;
    manager.globals[13] = -32768;
    manager.curves[10] = 32767;
    const auto file = scratch.file ("round.vr49");
    ASSERT_TRUE (saveSettingsFile (manager, file));

    VirtualMidiPortSystem otherPorts;
    LumManager49 other (otherPorts);
    ASSERT_TRUE (loadSettingsFile (other, file));

    for (int p = ItemParam::Mode; p < ItemParam::Option; ++p)
        EXPECT_EQ (other.itemParams[(size_t) p], manager.itemParams[(size_t) p]) << p;

    EXPECT_EQ (other.itemParams[ItemParam::Option].at (5), 0);
    EXPECT_EQ (other.itemParams[ItemParam::Number].at (99), -1);
    EXPECT_EQ (other.globals, manager.globals);
    EXPECT_EQ (other.curves, manager.curves);
}

TEST_F (SettingsFile, MissingAttributesTakeTheirLoadDefaults)
{
    ASSERT_TRUE (load (withItems ("<Item ID=\"65\" Num=\"10\"/>")));

    EXPECT_EQ (item (ItemParam::Mode, 65), 0);
    EXPECT_EQ (item (ItemParam::Channel, 65), 0);
    EXPECT_EQ (item (ItemParam::Number, 65), 10);
    EXPECT_EQ (item (ItemParam::MinLsb, 65), 0);
    EXPECT_EQ (item (ItemParam::MaxMsb, 65), 127);
    EXPECT_EQ (item (ItemParam::Option, 65), 127);

    ASSERT_TRUE (load (withItems ("<Item ID=\"66\"/>")));
    EXPECT_EQ (item (ItemParam::Number, 66), 0);
}

TEST_F (SettingsFile, ElementsAreTakenByTheirIdAttributeWhateverTheirTag)
{
    ASSERT_TRUE (load (withItems ("<Knob ID=\"1\" Num=\"5\"/>"
                                  "<Item Num=\"6\"/>"
                                  "<Item ID=\"-3\" Num=\"7\"/>"
                                  "<Item ID=\"abc\" Num=\"8\"/>")));

    EXPECT_EQ (item (ItemParam::Number, 1), 5);
    EXPECT_EQ (item (ItemParam::Number, 0), 8);
    EXPECT_EQ (manager.itemParams[ItemParam::Number].count (-3), 0u);
}

TEST_F (SettingsFile, NamesAreMatchedIgnoringCaseAndTheRootIsNotExamined)
{
    ASSERT_TRUE (load ("<Whatever><items><ITEM id=\"2\" num=\"9\" MODE=\"3\" chan=\"66\" minlsb=\"1\" maxmsb=\"2\" option=\"0\"/></items>"
                       "<GLOBALS><param Id=\"8\" VALUE=\"61\"/></GLOBALS></Whatever>"));

    EXPECT_EQ (item (ItemParam::Number, 2), 9);
    EXPECT_EQ (item (ItemParam::Mode, 2), 3);
    EXPECT_EQ (item (ItemParam::Channel, 2), 66);
    EXPECT_EQ (item (ItemParam::MinLsb, 2), 1);
    EXPECT_EQ (item (ItemParam::MaxMsb, 2), 2);
    EXPECT_EQ (item (ItemParam::Option, 2), 0);
    EXPECT_EQ (manager.globals[8], 61);
}

TEST_F (SettingsFile, ParamsOutsideTheirRangeAreIgnoredAndValuesKeepSixteenBits)
{
    ASSERT_TRUE (load ("<Settings><Globals><Param ID=\"14\" Value=\"5\"/><Param ID=\"2\" Value=\"70000\"/>"
                       "<Param Value=\"9\"/><Param ID=\"0\"/></Globals>"
                       "<Curves><Param ID=\"11\" Value=\"5\"/><Param ID=\"10\" Value=\"-1\"/></Curves></Settings>"));

    EXPECT_EQ (manager.globals[2], 4464);
    EXPECT_EQ (manager.globals[0], 0);
    EXPECT_EQ (manager.curves[10], -1);
    for (auto g : manager.globals)
        EXPECT_NE (g, 5);
}

TEST_F (SettingsFile, IntegersAreReadAsTheEditorAlwaysReadThem)
{
    EXPECT_EQ (parseSettingsInteger ("42"), 42);
    EXPECT_EQ (parseSettingsInteger ("  -7"), -7);
    EXPECT_EQ (parseSettingsInteger ("+12"), 12);
    EXPECT_EQ (parseSettingsInteger ("0x40"), 0);
    EXPECT_EQ (parseSettingsInteger ("12abc"), 12);
    EXPECT_EQ (parseSettingsInteger ("abc"), 0);
    EXPECT_EQ (parseSettingsInteger (""), 0);
    EXPECT_EQ (parseSettingsInteger ("99999999999999999999"), 2147483647);
    EXPECT_EQ (parseSettingsInteger ("-99999999999999999999"), -2147483647 - 1);
    EXPECT_EQ (parseSettingsInteger ("-2147483648"), -2147483647 - 1);
}

TEST_F (SettingsFile, AbsurdValuesLoadAsTheyAreButNeverReachTheWire)
{
    ASSERT_TRUE (load (withItems ("<Item ID=\"1\" Mode=\"99999\" Chan=\"-4\" Num=\"300\" MinLSB=\"1\" MaxMSB=\"128\" Option=\"1\"/>"
                                  "<Item ID=\"5000\" Num=\"1\"/>")));

    EXPECT_EQ (item (ItemParam::Mode, 1), 99999);
    EXPECT_EQ (item (ItemParam::Number, 5000), 1);

    for (const auto& frame : manager.planSendAll().frames)
        EXPECT_TRUE (hasOnlyDataBytes (frame));
}

TEST_F (SettingsFile, ItemsAndGroupsAbsentFromTheFileKeepTheirValues)
{
    manager.globals[5] = 3;
    ASSERT_TRUE (load (withItems ("<Item ID=\"1\" Num=\"5\"/>")));

    EXPECT_EQ (item (ItemParam::Number, 2), 71);
    EXPECT_EQ (manager.globals[5], 3);
}

TEST_F (SettingsFile, BadFilesLeaveTheModelAsItWas)
{
    const auto before = snapshot();
    const auto binary = scratch.file ("binary.vr49");
    juce::MemoryBlock noise;
    juce::Random random (42);
    for (int i = 0; i < 4096; ++i)
    {
        const auto byte = (juce::uint8) random.nextInt (256);
        noise.append (&byte, 1);
    }
    binary.replaceWithData (noise.getData(), noise.getSize());
    const auto onlyAByteOrderMark = scratch.file ("bom.vr49");   // an "empty" file as some editors save it
    onlyAByteOrderMark.replaceWithData ("\xEF\xBB\xBF", 3);

    EXPECT_FALSE (loadSettingsFile (manager, scratch.file ("missing.vr49")));
    EXPECT_FALSE (load (""));
    EXPECT_FALSE (load ("not xml at all"));
    EXPECT_FALSE (load ("<Settings><Items><Item ID=\"1\" Num=\"5\"/>"));   // truncated
    EXPECT_FALSE (loadSettingsFile (manager, binary));
    EXPECT_FALSE (loadSettingsFile (manager, onlyAByteOrderMark));        // JUCE read past it (found by fuzzing)
    EXPECT_FALSE (loadSettingsFile (manager, scratch.get()));              // a folder

    expectModelUnchanged (before);
}

TEST_F (SettingsFile, FilesAboveTheCapAreRefusedBeforeParsing)
{
    const auto before = snapshot();
    const auto huge = scratch.file ("huge.vr49");
    {
        juce::FileOutputStream out (huge);
        out << withItems ("<Item ID=\"1\" Num=\"5\"/>");
        const juce::String padding (juce::String::repeatedString (" ", 1 << 20));
        for (int i = 0; i <= 16; ++i)
            out << padding;
    }
    ASSERT_GT (huge.getSize(), maxSettingsFileSize);

    EXPECT_FALSE (loadSettingsFile (manager, huge));
    expectModelUnchanged (before);
}

TEST_F (SettingsFile, AProcessingInstructionInsideTheDocumentIsRefusedNotParsedForever)
{
    // Found by fuzzing: the XML parser loops forever on this 27-byte document.
    const auto before = snapshot();
    EXPECT_FALSE (load ("<?xml8\"?>\n<Sgs>m7\"<?pta?>a"));
    EXPECT_FALSE (load ("<Settings><Items><Item ID=\"1\" Num=\"5\"/><?pi?>text</Items></Settings>"));
    expectModelUnchanged (before);

    // One before the root element does no harm and is read as before.
    EXPECT_TRUE (load ("<?xml version=\"1.0\"?><?xml-stylesheet href=\"a\"?><!-- c --><Settings><Items>"
                       "<Item ID=\"1\" Num=\"5\"/></Items></Settings>"));
    EXPECT_EQ (item (ItemParam::Number, 1), 5);
}

TEST_F (SettingsFile, MarkupTheParserMishandlesIsRefusedBeforeParsing)
{
    // Found by fuzzing: an unclosed character reference at the end, or one inside an unknown
    // "&...;" that starts with '<' (parsed again as markup), made the XML parser read past
    // the text (AddressSanitizer: heap-buffer-overflow). Declared entities can grow without
    // limit when expanded.
    const auto before = snapshot();
    for (const auto* document : { "<Settings><Items>&#x", "<Settings><Items>&#x6", "<Settings>&<a>&#x;</Settings>",
                                  "<Settings><Items><Item ID=\"1\" Num=\"5\"/>& </Items></Settings>",
                                  "<Settings><Items><Item ID=\"1\" Num=\"5\"/>&#X4g</Items></Settings>",
                                  "<!DOCTYPE Settings [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
                                  "<Settings><Items><Item ID=\"1\" Num=\"5\"/>&b;</Items></Settings>" })
        EXPECT_FALSE (load (document)) << document;
    expectModelUnchanged (before);

    // Closed references read as before.
    EXPECT_TRUE (load ("<Settings><Items><Item ID=\"&#x31;\" Num=\"&#53;\"/>&#x41;&amp;&lt;</Items></Settings>"));
    EXPECT_EQ (item (ItemParam::Number, 1), 5);
}

TEST_F (SettingsFile, ADocumentCannotMakeTheLoaderReadAnotherFile)
{
    // An external DTD naming an endless device: the loader must not open it (it would
    // never return); the entity then reads as nothing or the document is refused.
    load ("<!DOCTYPE Settings SYSTEM \"/dev/zero\"><Settings><Items><Item ID=\"1\" Num=\"&ext;\"/>"
          "</Items></Settings>");

    EXPECT_TRUE (item (ItemParam::Number, 1) == 74 || item (ItemParam::Number, 1) == 0);
    EXPECT_EQ (item (ItemParam::Number, 2), 71);
}

TEST_F (SettingsFile, ASaveReplacesAnOldFileWholeAndAnUnwritableOneIsReported)
{
    const auto file = scratch.file ("keep.vr49");
    file.replaceWithText (juce::String::repeatedString ("old content that is longer than the new document ", 2000));

    manager.itemParams[ItemParam::Number][1] = 3;
    ASSERT_TRUE (saveSettingsFile (manager, file));

    const auto text = file.loadFileAsString();
    EXPECT_FALSE (text.contains ("old content"));
    EXPECT_TRUE (text.trimEnd().endsWith ("</Settings>"));
    EXPECT_TRUE (text.contains ("Num=\"3\""));

    const auto nowhere = scratch.file ("no/such/folder/x.vr49");
    EXPECT_FALSE (saveSettingsFile (manager, nowhere));
    EXPECT_FALSE (nowhere.exists());
}

TEST_F (SettingsFile, ValuesNobodyKnewStayUnknownThroughASaveAndALoad)
{
    auto model = SettingsModel::catalogueDefaults();
    const ModelField unknown[] { ModelField::item (1, ItemParam::Option), ModelField::item (1, ItemParam::Mode),
                                 ModelField::item (112, ItemParam::Option), ModelField::global (6), ModelField::curve (4) };
    model.unknown.insert (std::begin (unknown), std::end (unknown));
    const auto file = scratch.file ("partly known.vr49");
    ASSERT_TRUE (saveSettingsFile (model, file).wasOk());

    const auto text = file.loadFileAsString();
    EXPECT_TRUE (text.contains ("<Unknown>") && text.contains ("<Item ID=\"1\" Params=\"1 6\"/>")
                 && text.contains ("<Global ID=\"6\"/>") && text.contains ("<Curve ID=\"4\"/>")) << text;

    // Loaded over a model that knew everything: exactly those are unknown again.
    auto loaded = SettingsModel::catalogueDefaults();
    ASSERT_TRUE (loadSettingsFile (file, loaded).wasOk());
    EXPECT_EQ (loaded, model);

    // A file without the element, as every earlier one, knows all it gives.
    auto over = model;
    ASSERT_TRUE (loadSettingsText ("<Settings><Items><Item ID=\"1\" Mode=\"2\"/></Items>"
                                   "<Curves><Param ID=\"4\" Value=\"9\"/></Curves></Settings>", over).wasOk());
    EXPECT_TRUE (over.isKnown (ModelField::item (1, ItemParam::Option)));
    EXPECT_TRUE (over.isKnown (ModelField::curve (4)));
    EXPECT_FALSE (over.isKnown (ModelField::item (112, ItemParam::Option)));   // not in that file
    EXPECT_FALSE (over.isKnown (ModelField::global (6)));

    // A model with nothing unknown is written as it always was.
    EXPECT_FALSE (settingsDocumentText (SettingsModel::catalogueDefaults()).contains ("Unknown"));
}
