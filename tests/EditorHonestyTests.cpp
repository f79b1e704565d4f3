#include "documents/SettingsFile.h"
#include "editor/EditorTexts.h"
#include "tests/support/EditorFixture.h"
#include "tests/support/FileMarks.h"

#include <filesystem>

#ifndef _WIN32
 #include <sys/mount.h>
 #include <sys/stat.h>
 #include <unistd.h>
#endif

// The editor never leaves the user believing something untrue: every failure is told,
// and the fields always show what the model holds.

namespace
{
    enum Widget { part2Channel = 2, knobMode = 4, name = 7, ccNumber = 9, sendButton = 11, mode = 14, channel = 16,
                  maxMsb = 18, minLsb = 20, splitMode = 22, part1Channel = 24, faderMode = 26, splitPoint = 28,
                  loadButton = 29, saveButton = 30, chartButton = 31 };

    struct Honesty : EditorFixture
    {
        /** What the six global fields and the picked control's six fields show. */
        std::vector<juce::String> fieldTexts()
        {
            std::vector<juce::String> texts;
            for (const auto index : { part2Channel, part1Channel, knobMode, faderMode, splitMode, splitPoint })
                texts.push_back (widget<juce::ComboBox> (index).getText());
            texts.push_back (widget<juce::TextEditor> (name).getText());
            for (const auto index : { mode, channel, ccNumber, minLsb, maxMsb })
                texts.push_back (widget<juce::ComboBox> (index).getText());
            return texts;
        }

        void load (const juce::File& file)
        {
            dialogs.fileAnswers = { file };
            click (widget<juce::TextButton> (loadButton));
            pumpFor (20);
        }

        void save (const juce::File& file, int button = saveButton)
        {
            dialogs.fileAnswers = { file };
            click (widget<juce::TextButton> (button));
        }

        juce::String lastBox() const   { return messageBoxes().empty() ? juce::String() : messageBoxes().back(); }
    };

#ifndef _WIN32
    bool runningAsRoot()   { return ::geteuid() == 0; }

    /** A small file system of its own (root only), full or read-only. */
    struct TinyDisk
    {
        explicit TinyDisk (const juce::File& where, bool readOnly) : folder (where)
        {
            folder.createDirectory();
            const auto options = juce::String ("size=16k") + (readOnly ? ",ro" : "");
            mounted = ::mount ("tmpfs", folder.getFullPathName().toRawUTF8(), "tmpfs", readOnly ? MS_RDONLY : 0,
                               options.toRawUTF8()) == 0;

            if (mounted && ! readOnly)
            {
                std::vector<char> filler (15 * 1024, 'x');
                folder.getChildFile ("filler").replaceWithData (filler.data(), filler.size());
            }
        }

        ~TinyDisk()
        {
            if (mounted)
                ::umount (folder.getFullPathName().toRawUTF8());
        }

        juce::File folder;
        bool mounted = false;
    };
#endif
}

TEST_F (Honesty, ModeChoicesFollowThePickedControlsGroup)
{
    struct Group { std::vector<int> members; juce::StringArray enabled; };
    const Group groups[] {
        { { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 48, 49, 51 },
          { "Off-Disabled", "Control", "Relative Control", "RPN", "NRPN" } },
        { { 11, 12, 13, 14, 43, 44, 45, 46, 75, 76, 77, 78, 79, 107, 108, 109, 110, 111 },
          { "Off-Disabled", "Control", "RPN", "NRPN" } },
        { { 64, 65, 66, 81, 82 }, { "Off-Disabled", "Control", "RPN", "NRPN" } },
        { { 18, 19, 20, 21, 22, 23, 24, 25, 26, 27 },
          { "Off-Disabled", "Control", "Duration Control", "Keyboard Preset", "Control Toggle", "Note Toggle",
            "Midi Note", "Patch Change" } },
        { { 28, 29, 30, 31, 50, 52 }, { "Off-Disabled", "Control", "Control Toggle", "Note Toggle", "Midi Note" } },
        { { 80, 83 }, { "Off-Disabled", "Control", "Control Toggle", "Note Toggle", "Midi Note" } },
        { { 88, 89, 90, 91, 92, 93 },
          { "Off-Disabled", "Control", "MMC", "Keyboard Preset", "Control Toggle", "Note Toggle", "Midi Note",
            "Patch Change" } },
        { { 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127 },
          { "Off-Disabled", "Control", "Control Toggle", "Note Toggle", "Midi Note", "Patch Change" } },
    };

    auto& modes = widget<juce::ComboBox> (mode);

    for (const auto& group : groups)
        for (const auto item : group.members)
        {
            panel->actionListenerCallback (juce::String::formatted ("0x%02X", item));
            juce::StringArray enabled;
            for (int i = 0; i < modes.getNumItems(); ++i)
                if (modes.isItemEnabled (modes.getItemId (i)))
                    enabled.add (modes.getItemText (i));

            auto expected = group.enabled;
            expected.sort (false);
            enabled.sort (false);
            EXPECT_EQ (enabled, expected) << "item " << item;
        }
}

TEST_F (Honesty, AFailedSaveIsToldAndLeavesTheOldFileWhole)
{
    const auto gone = scratch.file ("gone");
    const auto readOnly = scratch.file ("locked.vr49");
    readOnly.replaceWithText ("precious");
    makeReadOnly (readOnly);

    struct Case { juce::File target; juce::String reason; };
    std::vector<Case> cases {
        { gone.getChildFile ("mine.vr49"), "the folder \"" + gone.getFullPathName() + "\" does not exist" },
        { readOnly, "\"" + readOnly.getFullPathName() + "\" is read-only" },
    };

   #ifndef _WIN32
    // A full or write-protected disk of its own takes an administrator on Windows, and a
    // folder's rights there are access lists: these cases are POSIX's.
    std::unique_ptr<TinyDisk> full, readOnlyDisk;
    if (runningAsRoot())
    {
        full = std::make_unique<TinyDisk> (scratch.file ("full"), false);
        readOnlyDisk = std::make_unique<TinyDisk> (scratch.file ("rodisk"), true);
        if (full->mounted)
            cases.push_back ({ full->folder.getChildFile ("mine.vr49"), "the disk is full" });
        if (readOnlyDisk->mounted)
            cases.push_back ({ readOnlyDisk->folder.getChildFile ("mine.vr49"), "the disk is read-only" });
    }
    else
    {
        const auto closed = scratch.file ("closed");
        closed.createDirectory();
        ::chmod (closed.getFullPathName().toRawUTF8(), 0555);
        cases.push_back ({ closed.getChildFile ("mine.vr49"),
                           "there is no permission to write in the folder \"" + closed.getFullPathName() + "\"" });
    }
   #endif

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.target.getFullPathName());
        dialogs.shown.clear();
        save (c.target);

        ASSERT_EQ (dialogs.shown.size(), 1u);
        EXPECT_EQ (dialogs.shown[0].icon, juce::MessageBoxIconType::WarningIcon);
        EXPECT_EQ (lastBox(), "Settings Not Saved: " + EditorTexts::notSaved (c.target, c.reason));
    }

    EXPECT_EQ (readOnly.loadFileAsString(), "precious");
    EXPECT_EQ (scratch.get().findChildFiles (juce::File::findFiles, false, ".*").size(), 0);   // no scratch file left
}

TEST_F (Honesty, SavingOverALinkWritesItsTargetAndAnExistingFileKeepsItsPermissions)
{
    const auto target = scratch.file ("real.vr49");
    target.replaceWithText ("old");
    markForKeeping (target);
   #ifdef _WIN32
    const auto link = target;   // a symbolic link takes a privilege Windows users rarely hold
   #else
    const auto link = scratch.file ("link.vr49");
    std::filesystem::create_symlink (target.getFullPathName().toStdString(), link.getFullPathName().toStdString());
   #endif

    save (link);

    EXPECT_TRUE (dialogs.shown.empty());
   #ifndef _WIN32
    EXPECT_TRUE (link.isSymbolicLink());
   #endif
    EXPECT_TRUE (target.loadFileAsString().startsWith ("<?xml"));
    EXPECT_EQ (markOf (target), keptMark());

    SettingsModel reloaded;
    EXPECT_TRUE (loadSettingsFile (link, reloaded).wasOk());
    EXPECT_EQ (reloaded, manager().getModel());
}

TEST_F (Honesty, AFailedLoadIsToldAndChangesNothingWithOrWithoutAKeyboard)
{
    const auto notXml = scratch.file ("binary.vr49");
    const juce::uint8 garbage[] { 0x00, 0xFF, 0x3C, 0x12 };
    notXml.replaceWithData (garbage, sizeof (garbage));
    const auto notSettings = scratch.file ("page.vr49");
    notSettings.replaceWithText ("<html><body>hello</body></html>");
    const auto huge = scratch.file ("huge.vr49");
    huge.create();
    std::filesystem::resize_file (huge.getFullPathName().toStdString(), maxSettingsFileSize + 1);
    const auto instruction = scratch.file ("pi.vr49");
    instruction.replaceWithText ("<Settings><Items><?x?>y</Items></Settings>");

    const std::pair<juce::File, juce::String> cases[] {
        { scratch.file ("missing.vr49"), "\"" + scratch.file ("missing.vr49").getFullPathName() + "\" does not exist" },
        { scratch.get(), "\"" + scratch.get().getFullPathName() + "\" is a folder" },
        { notXml, "it is not an XML document (" },
        { notSettings, "it is not a settings file: it has no Items, Globals or Curves" },
        { huge, "it is larger than 16 MiB, which no settings file is" },
        { instruction, "it holds an XML processing instruction inside its content, which no settings file does" },
    };

    for (const bool withKeyboard : { false, true })
    {
        if (withKeyboard)
            detectKeyboard();

        pick ("0x01");
        const auto model = manager().getModel();
        const auto shown = fieldTexts();

        for (const auto& [file, reason] : cases)
        {
            SCOPED_TRACE (file.getFileName() + (withKeyboard ? " with a keyboard" : " without a keyboard"));
            dialogs.shown.clear();
            load (file);

            ASSERT_EQ (messageBoxes().size(), 1u);   // the reason, not "not detected"
            EXPECT_TRUE (lastBox().startsWith ("Settings Not Loaded: \"" + file.getFullPathName() + "\" could not be loaded: "
                                               + reason)) << lastBox();
            EXPECT_TRUE (lastBox().endsWith ("\n\nNothing was changed."));
            EXPECT_EQ (manager().getModel(), model);
            EXPECT_EQ (fieldTexts(), shown);
        }
    }
}

TEST_F (Honesty, AFailedChartExportIsTold)
{
    const auto target = scratch.file ("gone").getChildFile ("chart.html");
    save (target, chartButton);

    EXPECT_EQ (lastBox(), "Chart Not Written: " + EditorTexts::chartNotWritten (
                              target, "the folder \"" + scratch.file ("gone").getFullPathName() + "\" does not exist"));
}

TEST_F (Honesty, AfterALoadEveryFieldShowsWhatWasLoadedWithOrWithoutAKeyboard)
{
    const auto file = scratch.file ("in.vr49");
    file.replaceWithText ("<Settings><Items><Item ID=\"1\" Mode=\"2\" Chan=\"64\" Num=\"9\" MinLSB=\"3\" MaxMSB=\"100\"/></Items>"
                          "<Globals><Param ID=\"1\" Value=\"127\"/><Param ID=\"2\" Value=\"127\"/><Param ID=\"5\" Value=\"4\"/>"
                          "<Param ID=\"6\" Value=\"7\"/><Param ID=\"7\" Value=\"127\"/><Param ID=\"8\" Value=\"72\"/></Globals>"
                          "</Settings>");
    const std::vector<juce::String> loaded { "5", "8", "Relative", "Drawbar", "On", "C4", "Bnk1:P1 - Cutoff",
                                             "Relative Control", "Lower", "9 - Undefined", "3", "100" };

    for (const bool withKeyboard : { false, true })
    {
        SCOPED_TRACE (withKeyboard ? "with a keyboard" : "without a keyboard");
        SetUp();
        if (withKeyboard)
            detectKeyboard();

        pick ("0x01");
        dialogs.shown.clear();
        load (file);

        EXPECT_EQ (fieldTexts(), loaded);
        EXPECT_EQ (item (ItemParam::Number, 1), 9);
        EXPECT_EQ (messageBoxes(), withKeyboard ? std::vector<juce::String>()
                                                : std::vector<juce::String> { "Keyboard Problem: " + EditorTexts::notDetected });

        // What the screen says is what a save writes.
        save (scratch.file ("out.vr49"));
        SettingsModel saved;
        ASSERT_TRUE (loadSettingsFile (scratch.file ("out.vr49"), saved).wasOk());
        EXPECT_EQ (saved.itemParams[ItemParam::Channel].at (1), 64);
        EXPECT_EQ (saved.globals[GlobalIndex::SplitPoint], 72);
    }
}

TEST_F (Honesty, AControlPickedWhileTheReadRunsShowsTheKeyboardsValuesOnceTheyCome)
{
    auto held = keyboard.getConfiguration();
    held.itemParams[ItemParam::Number][1] = 21;
    held.itemParams[ItemParam::Mode][1] = 3;
    keyboard.setConfiguration (held);
    SimulatedKeyboard::Faults slow;
    slow.delayAnswersMs[2] = 200;   // the numbers come late
    keyboard.setFaults (slow);

    startDetection();
    ASSERT_TRUE (pumpUntil ([this] { return panel->isReadingBack(); }));
    pick ("0x01");
    EXPECT_EQ (widget<juce::ComboBox> (ccNumber).getText(), "74 - Brightness");

    ASSERT_TRUE (pumpUntil ([this] { return readFinished(); }));
    pumpFor (30);
    EXPECT_EQ (widget<juce::ComboBox> (ccNumber).getText(), "21 - Undefined");
    EXPECT_EQ (widget<juce::ComboBox> (mode).getText(), "RPN");
}

TEST_F (Honesty, SendToKeyboardListsTheValuesItLeftOut)
{
    detectKeyboard();
    click (widget<juce::ImageButton> (sendButton));
    EXPECT_TRUE (dialogs.shown.empty());   // everything carried: nothing to tell

    manager().setValue (ModelField::item (1, ItemParam::Channel), -5);
    manager().setValue (ModelField::item (112, ItemParam::MaxMsb), 300);
    click (widget<juce::ImageButton> (sendButton));

    EXPECT_EQ (messageBoxes(), (std::vector<juce::String> {
        "Values Not Sent: 2 values were not sent, because a MIDI data byte carries only 0 to 127; "
        "the keyboard keeps its own value there:\n\nBnk1:P1 - Cutoff: Channel (-5)\nPad 1: Max / MSB (300)" }));
    ASSERT_TRUE (pumpUntil ([this] { return keyboard.getConfiguration().endOfTransferCount == 2; }));
    EXPECT_EQ (keyboard.getConfiguration().itemParams[ItemParam::Channel].at (1), ChannelUpper);
}
