#include "cli/KeyboardSession.h"

#include "cli/CliExitCode.h"
#include "cli/PortNameMatch.h"
#include "device/ForwardingPortSystem.h"
#include "device/JuceMidiPortSystem.h"
#include "documents/SettingsFile.h"
#include "simulator/VirtualStudio.h"

namespace
{
    void applyFault (SimulatedKeyboard& keyboard, const juce::String& fault)
    {
        SimulatedKeyboard::Faults faults;

        if (fault == "absent")
            keyboard.vanish();
        else if (fault == "drop-answer")
            faults.dropAnswers = { 3 };              // the identity, the numbers, then the modes are lost
        else if (fault == "update-mode")
            keyboard.restartInUpdateMode();          // left in its bootloader by an update that did not finish
        else if (fault == "no-return")
            keyboard.setReturnsAfterUpdate (false);  // its new firmware does not start
        else if (fault == "busy")
            keyboard.holdInputElsewhere (true);      // another program holds the keyboard's input
        else if (fault == "vanish-mid-send")
            faults.vanishAfterReceiving = 200;        // the cable goes a third of the way into a send
        else if (fault == "refuse-block")
        {
            SimulatedBootloader::Faults refuse;
            refuse.rejectBlock[2] = 4;               // the third block is refused every time
            keyboard.setBootloaderFaults (refuse);
        }

        keyboard.setFaults (faults);
    }
}

std::atomic<bool> KeyboardSession::interrupted { false };

KeyboardSession::KeyboardSession (const CliOptions& o) : options (o)
{
    if (options.simulate)
    {
        studio = std::make_unique<VirtualStudio>();
        loadSimulatedState();
        applyFault (studio->getKeyboard(), options.simulatedFault);
        ports = std::make_unique<ForwardingPortSystem> (studio->getPorts());   // the studio outlives the manager
    }
    else
    {
        ports = std::make_unique<JuceMidiPortSystem>();
    }

    manager = std::make_unique<LumManager49> (*ports);
    reader = std::make_unique<KeyboardReader> (*manager);
    manager->addListener (this);
}

KeyboardSession::~KeyboardSession()
{
    // Nothing reaches this session once it goes: the search stops and the inputs close first.
    manager->stopScan();
    manager->dropLink();
    saveSimulatedState();
    reader.reset();
    manager.reset();
    ports.reset();
    studio.reset();
}

SimulatedKeyboard* KeyboardSession::getSimulatedKeyboard() const noexcept
{
    return studio != nullptr ? &studio->getKeyboard() : nullptr;
}

void KeyboardSession::loadSimulatedState()
{
    if (options.keyboardState == juce::File() || ! options.keyboardState.existsAsFile())
        return;

    auto configuration = studio->getKeyboard().getConfiguration();
    auto model = configuration.toModel();

    if (loadSettingsFile (options.keyboardState, model).wasOk())
    {
        configuration.takeValuesOf (model);
        studio->getKeyboard().setConfiguration (configuration);
    }
}

void KeyboardSession::saveSimulatedState()
{
    if (studio != nullptr && options.keyboardState != juce::File())
        saveSettingsFile (studio->getKeyboard().getConfiguration().toModel(), options.keyboardState);
}

bool KeyboardSession::waitUntil (const std::function<bool()>& condition, int timeoutMs)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

    while (! condition() && ! interrupted && juce::Time::getMillisecondCounter() < deadline)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);

    return condition();
}

void KeyboardSession::managerEvent (int event, int first, int, int)
{
    reader->handleManagerEvent (event, first);
}

std::vector<FoundKeyboard> KeyboardSession::findKeyboards (juce::StringArray& inputsNotOpened)
{
    KeyboardProbe probe (*ports, &interrupted);
    auto found = probe.findAll();
    inputsNotOpened = probe.getInputsNotOpened();
    return found;
}

namespace
{
    /** What the user needs to know when inputs could not be opened: why nothing answered. */
    juce::String heldElsewhereNote (const juce::StringArray& inputs)
    {
        if (inputs.isEmpty())
            return {};

        return juce::String ("; ") + (inputs.size() == 1 ? "the input \"" : "the inputs \"")
               + inputs.joinIntoString ("\", \"") + "\" could not be opened: another program may hold "
               + (inputs.size() == 1 ? "it" : "them") + " (close it and try again)";
    }
}

std::optional<CliFailure> KeyboardSession::connect()
{
    if (options.inputPort.isNotEmpty())
        return connectToGivenPorts();

    const auto outputs = ports->getOutputNames().size();

    if (outputs == 0)
        return CliFailure { exitNoKeyboard, "there is no MIDI output at all: is the keyboard plugged in?" };

    KeyboardProbe probe (*ports, &interrupted);   // its inputs stay open until the link is made
    const auto found = probe.findFirst();

    if (interrupted)
        return CliFailure { exitCancelled, "cancelled" };

    if (! found.has_value())
        return CliFailure { exitNoKeyboard, "no keyboard answered the identity request on any of the "
                                                + juce::String (outputs) + " MIDI outputs: is it plugged in and "
                                                  "switched on? (konsolion-cli ports lists the ports)"
                                                + heldElsewhereNote (probe.getInputsNotOpened()) };

    if (! manager->linkToKeyboard (*found))
        return CliFailure { exitNoKeyboard, "the keyboard went away before it could be linked" };

    return std::nullopt;
}

std::optional<CliFailure> KeyboardSession::connectToGivenPorts()
{
    const auto input = matchPortName (ports->getInputNames(), options.inputPort, "input");
    const auto output = matchPortName (ports->getOutputNames(), options.outputPort, "output");

    for (const auto* match : { &input, &output })
        if (match->failure.has_value())
            return match->failure;

    KeyboardProbe probe (*ports, &interrupted);
    const auto found = probe.askPorts (input.name, output.name);

    if (interrupted)
        return CliFailure { exitCancelled, "cancelled" };

    if (! found.has_value())
        return CliFailure { exitNoKeyboard, "the ports \"" + input.name + "\" and \"" + output.name
                                                + "\" did not answer as a Vantor keyboard"
                                                + heldElsewhereNote (probe.getInputsNotOpened()) };

    if (! manager->linkToKeyboard (*found))
        return CliFailure { exitNoKeyboard, "the keyboard went away before it could be linked" };

    return std::nullopt;
}

KeyboardReader::Result KeyboardSession::read (const std::function<void (double)>& progress)
{
    return reader->read ([] { return interrupted.load(); }, progress);
}

VerifiedSendReport KeyboardSession::sendAndVerify (const SettingsModel& model, const std::function<void (double)>& progress)
{
    return ::sendAndVerify (*manager, *reader, model,
                            [&progress] (int sent, int planned) {
                                progress ((double) sent / (double) planned);
                                return ! interrupted.load();
                            },
                            [] { return interrupted.load(); });
}
