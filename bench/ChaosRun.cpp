// konsolion-chaos: the real editor panel and device manager against a misbehaving
// simulated keyboard, for a given time and seed: random user actions interleaved with
// random keyboard faults, and the invariants checked after every quiet period.
//     konsolion-chaos [seconds, default 60] [seed, default the clock]
// Every step is logged with its number; the same seed replays the same steps.

#include "device/DeviceFrames.h"
#include "editor/DialogService.h"
#include "documents/SettingsFile.h"
#include "editor/EditorTexts.h"
#include "editor/KbdSettingComponentVR49.h"
#include "simulator/VirtualStudio.h"
#include "testing/FrameChecks.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <unistd.h>

#if defined (__has_feature)
 #if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
  #define KONSOLION_SANITIZER_HEAP 1
 #endif
#endif
#if defined (__SANITIZE_ADDRESS__) || defined (__SANITIZE_THREAD__)
 #define KONSOLION_SANITIZER_HEAP 1
#endif

#if KONSOLION_SANITIZER_HEAP
// The sanitizers' allocator keeps the heap; glibc's figures would read nothing.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace
{
    // Growth allowed after the first 50 steps: what the program holds (its heap), and what
    // the process holds resident. Under a sanitizer, resident memory also holds the
    // sanitizer's shadow and its records of every thread ever started, which the program
    // does not control: there only the heap is held to its margin.
    constexpr long allowedHeapGrowthMiB = 32;
    constexpr long allowedResidentGrowthMiB = 64;

    long residentMiB()
    {
        std::ifstream statm ("/proc/self/statm");
        long pages = 0, resident = 0;
        statm >> pages >> resident;
        return resident * ::sysconf (_SC_PAGESIZE) / (1024 * 1024);
    }

    /** What the program's allocations hold now: resident memory also counts what the
        allocator keeps after a free, and, under a sanitizer, the sanitizer's own state. */
    long heapInUseMiB()
    {
       #if KONSOLION_SANITIZER_HEAP
        return (long) (__sanitizer_get_current_allocated_bytes() / (1024 * 1024));
       #else
        return (long) (mallinfo2().uordblks / (1024 * 1024));
       #endif
    }

   #if KONSOLION_SANITIZER_HEAP
    constexpr bool residentIsTheProgramsOwn = false;
   #else
    constexpr bool residentIsTheProgramsOwn = true;
   #endif

    /** One measure of memory: after warming up, at its peak, and now. */
    struct MemoryWatch
    {
        long first = -1, peak = 0, last = 0;

        /** Whether it stayed within `margin` of what it was after warming up. */
        bool update (long now, bool warmedUp, long margin)
        {
            last = now;
            peak = std::max (peak, now);

            if (first < 0 && warmedUp)
                first = now;

            return first < 0 || now <= first + margin;
        }

        juce::String describe() const
        {
            return juce::String (first) + " MiB after warming up, peak " + juce::String (peak) + " MiB, final "
                   + juce::String (last) + " MiB";
        }
    };

    void pump (int ms)   { juce::MessageManager::getInstance()->runDispatchLoopUntil (ms); }

    /** The user's answers: random where the user could answer either way, recorded. */
    struct ChaosDialogs : DialogService
    {
        ChaosDialogs (juce::Random& r, SimulatedKeyboard& k) : random (r), keyboard (k) {}

        void showMessageBox (juce::MessageBoxIconType, const juce::String& title, const juce::String& message) override
        {
            told.add (title + ": " + message.upToFirstOccurrenceOf ("\n", false, false));
        }

        bool showOkCancelBox (juce::MessageBoxIconType, const juce::String& title, const juce::String& message,
                              const juce::String&, const juce::String&) override
        {
            told.add (title + ": " + message.upToFirstOccurrenceOf ("\n", false, false));

            if (title == "Enter Firmware Upgrade Mode")
            {
                keyboard.restartInUpdateMode();
                return true;
            }

            return title != EditorTexts::keyboardDiffersTitle && random.nextBool();
        }

        int showYesNoCancelBox (juce::MessageBoxIconType, const juce::String& title, const juce::String&,
                                const juce::String&, const juce::String&, const juce::String&) override
        {
            told.add (title);
            return 0;
        }

        std::optional<juce::File> browseForFileToOpen (const FileChoice&) override
        {
            return openAnswer;
        }

        std::optional<juce::File> browseForFileToSave (const FileChoice&, bool) override
        {
            return saveAnswer;
        }

        bool runThreadWithProgressWindow (juce::ThreadWithProgressWindow& task) override
        {
            task.startThread();

            while (task.isThreadRunning())
                pump (5);

            return true;
        }

        void showWaitCursor() override {}
        void hideWaitCursor() override {}

        juce::Random& random;
        SimulatedKeyboard& keyboard;
        juce::StringArray told;
        std::optional<juce::File> openAnswer, saveAnswer;
    };

    class ChaosRun
    {
    public:
        ChaosRun (juce::int64 seed, const juce::File& scratchFolder)
            : random (seed), folder (scratchFolder),
              dialogs (random, studio.getKeyboard()),
              panel (std::make_unique<KbdSettingComponentVR49> (studio.getPorts(), dialogs))
        {
            std::vector<juce::uint8> image (1500);
            for (size_t i = 0; i < image.size(); ++i)
                image[i] = (juce::uint8) (i * 31);
            firmware.replaceWithData (image.data(), image.size());
            damaged.replaceWithText ("<Settings><Items><Item ID=");
        }

        /** Runs until the time is up; answers the first broken invariant, or nothing. */
        std::optional<juce::String> run (double seconds)
        {
            const auto end = juce::Time::getMillisecondCounterHiRes() + seconds * 1000.0;

            while (juce::Time::getMillisecondCounterHiRes() < end)
            {
                ++step;

                if (random.nextInt (3) == 0)
                    injectFault();
                else if (const auto problem = act())
                    return problem;

                pump (20 + random.nextInt (150));   // a quiet period

                if (const auto problem = checkInvariants())
                    return problem;

                if (step % 500 == 0)
                    log ("memory: resident " + juce::String (residentMiB()) + " MiB, heap in use "
                         + juce::String (heapInUseMiB()) + " MiB");
            }

            return std::nullopt;
        }

        int steps() const         { return step; }
        int actions() const       { return actionCount; }
        int faults() const        { return faultCount; }
        int checks() const        { return checkCount; }
        const MemoryWatch& resident() const   { return residentWatch; }
        const MemoryWatch& heap() const       { return heapWatch; }

    private:
        void log (const juce::String& text)
        {
            std::printf ("step %d: %s\n", step, text.toRawUTF8());
            std::fflush (stdout);
        }

        LumManager49& manager()   { return panel->getDeviceManager(); }
        SimulatedKeyboard& keyboard()   { return studio.getKeyboard(); }

        juce::Component* widget (int index)   { return panel->getWidgets()[(size_t) index]; }

        void click (int index)
        {
            panel->buttonClicked (dynamic_cast<juce::Button*> (widget (index)));
        }

        //======================================================================
        std::optional<juce::String> act()
        {
            ++actionCount;
            const auto toldBefore = dialogs.told.size();
            const auto started = juce::Time::getMillisecondCounter();
            const auto choice = random.nextInt (12);
            auto boundMs = 15000;

            switch (choice)
            {
                case 0: case 1:
                {
                    static const int ids[] { 0x01, 0x0B, 0x12, 0x21, 0x2B, 0x40, 0x50, 0x51, 0x58, 0x70, 0x7F, 0x31 };
                    const auto id = ids[random.nextInt ((int) std::size (ids))];
                    log ("pick 0x" + juce::String::toHexString (id));
                    panel->actionListenerCallback ("0x" + juce::String::toHexString (id));
                    break;
                }
                case 2: case 3:
                {
                    static const int fields[] { 2, 4, 9, 14, 16, 18, 20, 22, 24, 26, 28 };
                    auto* combo = dynamic_cast<juce::ComboBox*> (widget (fields[random.nextInt ((int) std::size (fields))]));
                    const auto position = random.nextInt (combo->getNumItems());
                    log ("choose item " + juce::String (position) + " in " + combo->getName());
                    combo->setSelectedItemIndex (position);
                    break;
                }
                case 4:
                    log ("Default Values");
                    click (10);
                    break;
                case 5: case 6:
                    log ("Send to Keyboard");
                    return send (toldBefore, started);
                case 7:
                {
                    const bool useDamaged = random.nextInt (4) == 0 || savedFiles.empty();
                    dialogs.openAnswer = useDamaged ? damaged : savedFiles[(size_t) random.nextInt ((int) savedFiles.size())];
                    log ("Load " + dialogs.openAnswer->getFileName());
                    click (29);
                    break;
                }
                case 8:
                    return save (started);
                case 9:
                    log ("Compare...");
                    panel->buttonClicked (&panel->getCompareButton());
                    break;
                case 10:
                {
                    const auto undo = random.nextBool();
                    log (undo ? "undo" : "redo");
                    panel->getShortcuts().getKeyMappings().keyPressed (juce::KeyPress (undo ? 'z' : 'y', juce::ModifierKeys::commandModifier, 0), panel.get());
                    break;
                }
                default:
                    log ("Upgrade firmware...");
                    dialogs.openAnswer = firmware;
                    boundMs = 60000;   // a silent bootloader takes four 3.1 s time-outs
                    click (32);
                    break;
            }

            return withinBound (started, boundMs, "action " + juce::String (choice));
        }

        std::optional<juce::String> withinBound (juce::uint32 started, int boundMs, const juce::String& what)
        {
            const auto took = juce::Time::getMillisecondCounter() - started;

            if (took > (juce::uint32) boundMs)
                return what + " took " + juce::String ((int) took) + " ms (more than " + juce::String (boundMs) + ")";

            return std::nullopt;
        }

        std::optional<juce::String> send (int toldBefore, juce::uint32 started)
        {
            const auto sent = manager().getModel();
            click (11);

            if (auto slow = withinBound (started, 20000, "the send"))
                return slow;

            // Checked and silent: the keyboard must hold exactly what was sent.
            if (dialogs.told.size() != toldBefore || ! panel->getStatusText().startsWith ("Keyboard holds what was sent"))
                return std::nullopt;

            const auto held = keyboard().getConfiguration();
            const auto plan = planSendAll (sent);
            std::set<ModelField> leftOut;
            for (const auto& value : plan.leftOut)
                leftOut.insert (value.field);

            for (const auto item : knownItemIdsFromCatalogue())
                for (int p = ItemParam::Mode; p <= ItemParam::MaxMsb; ++p)
                {
                    const auto field = ModelField::item (item, p);
                    const auto expected = valueOf (sent, field);
                    const auto& table = held.itemParams[(size_t) p];

                    if (! expected.has_value() || leftOut.count (field) != 0 || ! sent.itemParams[ItemParam::Number].count (item))
                        continue;

                    if (table.count (item) == 0 || table.at (item) != *expected)
                        return "the keyboard does not hold " + field.describe() + " = " + juce::String (*expected)
                               + " after a send the editor called checked";
                }

            return std::nullopt;
        }

        std::optional<juce::String> save (juce::uint32 started)
        {
            const auto file = folder.getChildFile ("chaos-" + juce::String (step) + ".vr49");
            dialogs.saveAnswer = file;
            log ("Save " + file.getFileName());
            const auto saved = manager().getModel();
            const auto toldBefore = dialogs.told.size();
            click (30);

            if (dialogs.told.size() == toldBefore)
            {
                SettingsModel reloaded = SettingsModel::catalogueDefaults();

                if (loadSettingsFile (file, reloaded).failed() || reloaded != [&] { auto m = SettingsModel::catalogueDefaults();
                                                                                       loadSettingsText (settingsDocumentText (saved), m);
                                                                                       return m; }())
                    return "the saved file " + file.getFileName() + " does not load back to the model that was saved";

                savedFiles.push_back (file);
            }

            return withinBound (started, 5000, "the save");
        }

        //======================================================================
        void injectFault()
        {
            ++faultCount;
            SimulatedKeyboard::Faults faults;
            SimulatedBootloader::Faults bootloaderFaults;
            const auto answers = keyboard().getAnswerCount();

            switch (random.nextInt (10))
            {
                case 0:  faults.dropAnswers = { answers + 1 + random.nextInt (5) };   log ("fault: an answer dropped"); break;
                case 1:  faults.delayAnswersMs[answers + 1 + random.nextInt (5)] = 50 + random.nextInt (400); log ("fault: an answer delayed"); break;
                case 2:  faults.truncateAnswersTo = 6 + random.nextInt (8);         log ("fault: answers cut short"); break;
                case 3:  keyboard().sendRaw ({ 0xF0, 0x00, 0x6D, 0x3A, 0x7F, 0x42, 0x02, 0x00, 0x03, 0x01, 0x90, 0x45 });
                         log ("fault: garbage"); break;
                case 4:  keyboard().floodControlChanges (500 + random.nextInt (2000), random.nextInt (128)); log ("fault: a flood"); break;
                case 5:  keyboard().vanish();                                       log ("fault: unplugged"); break;
                case 6:  keyboard().reappear();                                     log ("fault: plugged in"); break;
                case 8:  if (keyboard().isInUpdateMode()) keyboard().restartInNormalMode();
                         log ("fault: plugged in again without the three keys"); break;
                case 7:  bootloaderFaults.rejectBlock[random.nextInt (4)] = 1 + random.nextInt (4);
                         log ("fault: the bootloader rejects a block"); break;
                default: bootloaderFaults.neverAnswer = random.nextInt (3) == 0;    log ("fault: the bootloader silent or answering"); break;
            }

            keyboard().setFaults (faults);
            keyboard().setBootloaderFaults (bootloaderFaults);
        }

        //======================================================================
        std::optional<juce::String> checkInvariants()
        {
            ++checkCount;

            // Every message the keyboard received: SysEx with data bytes only, sent one at a time.
            // Checked once: the simulated keyboard's log is emptied, so that the memory
            // measured below is the program's, not that of the log of everything it sent.
            for (const auto& message : keyboard().getReceivedMessages())
                if (message.isSysEx() && ! hasOnlyDataBytes (message))
                    return "a frame with a byte of 0x80 or more reached the keyboard";

            keyboard().clearReceivedMessages();

            if (! studio.getPorts().getViolations().empty())
                return "the ports saw: " + studio.getPorts().getViolations().front();

            // No input or output kept that is no longer used.
            if (! manager().isSearching() && ! manager().isLinkBorrowed())
            {
                const auto inputs = manager().getOpenInputCount();

                if (manager().isConnected() ? inputs > 1 : inputs > 0)
                    return juce::String (inputs) + " inputs open while " + (manager().isConnected() ? "connected" : "not connected");

                if (! manager().isConnected() && manager().hasDeviceOutput())
                    return "a keyboard output is held without a keyboard";
            }

            const auto warmedUp = step >= 50;

            if (! heapWatch.update (heapInUseMiB(), warmedUp, allowedHeapGrowthMiB))
                return "the heap grew from " + juce::String (heapWatch.first) + " MiB to " + juce::String (heapWatch.last) + " MiB";

            if (! residentWatch.update (residentMiB(), warmedUp, allowedResidentGrowthMiB) && residentIsTheProgramsOwn)
                return "resident memory grew from " + juce::String (residentWatch.first) + " MiB to "
                       + juce::String (residentWatch.last) + " MiB";

            return std::nullopt;
        }

        juce::Random random;
        const juce::File folder;
        VirtualStudio studio;
        ChaosDialogs dialogs;
        std::unique_ptr<KbdSettingComponentVR49> panel;
        const juce::File firmware { folder.getChildFile ("Vantor49_chaos.bin") };
        const juce::File damaged { folder.getChildFile ("damaged.vr49") };
        std::vector<juce::File> savedFiles;
        int step = 0, actionCount = 0, faultCount = 0, checkCount = 0;
        MemoryWatch residentWatch, heapWatch;
    };
}

int main (int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof (argv[1]) : 60.0;
    const juce::int64 seed = argc > 2 ? std::atoll (argv[2]) : juce::Time::currentTimeMillis();

    const juce::ScopedJuceInitialiser_GUI juce;
    const auto folder = juce::File::createTempFile ("konsolion-chaos");
    folder.createDirectory();

    std::printf ("konsolion-chaos: %.0f s, seed %lld (replay: konsolion-chaos %.0f %lld)\n", seconds,
                 (long long) seed, seconds, (long long) seed);

    int status = 0;
    {
        ChaosRun run (seed, folder);
        const auto started = juce::Time::getMillisecondCounterHiRes();
        const auto problem = run.run (seconds);
        const auto took = (juce::Time::getMillisecondCounterHiRes() - started) / 1000.0;

        std::printf ("%s after %.0f s: %d steps (%d actions, %d faults), %d invariant checks; resident memory %s; "
                     "heap in use %s\n",
                     problem ? "FAILED" : "passed", took, run.steps(), run.actions(), run.faults(), run.checks(),
                     run.resident().describe().toRawUTF8(), run.heap().describe().toRawUTF8());

        if (problem)
        {
            std::printf ("FAILED at step %d (seed %lld): %s\n", run.steps(), (long long) seed, problem->toRawUTF8());
            status = 1;
        }
    }

    folder.deleteRecursively();
    return status;
}
