#include "simulator/KeyboardProgramOptions.h"

namespace
{
    /** A whole non-negative decimal number, nothing else. */
    std::optional<int> numberOf (const juce::String& text)
    {
        if (text.isEmpty() || text.length() > 9 || ! text.containsOnly ("0123456789"))
            return std::nullopt;

        return text.getIntValue();
    }

    /** "A:B" as two numbers. */
    std::optional<std::pair<int, int>> pairOf (const juce::String& text)
    {
        const auto first = numberOf (text.upToFirstOccurrenceOf (":", false, false));
        const auto second = numberOf (text.fromFirstOccurrenceOf (":", false, false));

        if (! text.contains (":") || ! first.has_value() || ! second.has_value())
            return std::nullopt;

        return std::make_pair (*first, *second);
    }

    /** "3" or "3,7,9". */
    template <typename Number>
    bool addNumbers (const juce::String& text, std::set<Number>& numbers)
    {
        std::set<Number> parsed;

        for (const auto& part : juce::StringArray::fromTokens (text, ",", {}))
        {
            const auto number = numberOf (part);

            if (! number.has_value())
                return false;

            parsed.insert ((Number) *number);
        }

        numbers.insert (parsed.begin(), parsed.end());
        return ! parsed.empty();
    }

    struct FaultOption
    {
        const char* name;
        const char* value;   // what it takes, empty when nothing
        const char* help;
        std::function<bool (KeyboardProgramOptions&, const juce::String&)> apply;
    };

    const std::vector<FaultOption>& faultTable()
    {
        using O = KeyboardProgramOptions;
        static const std::vector<FaultOption> table {
            { "drop-answer", "N[,N...]", "these answers (1 = the first) are never sent",
              [] (O& o, const juce::String& v) { return addNumbers (v, o.faults.dropAnswers); } },
            { "delay-answer", "N:MS", "answer N goes MS milliseconds late",
              [] (O& o, const juce::String& v) {
                  const auto p = pairOf (v);
                  return p.has_value() && (o.faults.delayAnswersMs[p->first] = p->second, true); } },
            { "foreign-manufacturer", "", "answers carry another maker's identifier",
              [] (O& o, const juce::String&) { return o.faults.foreignManufacturer = true; } },
            { "truncate-answers", "BYTES", "answers are cut to this many bytes, then F7",
              [] (O& o, const juce::String& v) {
                  const auto n = numberOf (v);
                  return n.has_value() && (o.faults.truncateAnswersTo = *n, true); } },
            { "vanish-after-answers", "N", "the keyboard goes from the bus after N answers",
              [] (O& o, const juce::String& v) {
                  const auto n = numberOf (v);
                  return n.has_value() && (o.faults.vanishAfterAnswers = *n, true); } },
            { "vanish-after-receiving", "N", "the keyboard goes from the bus once N messages came in",
              [] (O& o, const juce::String& v) {
                  const auto n = numberOf (v);
                  return n.has_value() && (o.faults.vanishAfterReceiving = (size_t) *n, true); } },
            { "ignore-received", "N[,N...]", "these received messages (1 = the first) are lost inside",
              [] (O& o, const juce::String& v) { return addNumbers (v, o.faults.ignoreReceived); } },
            { "reject-block", "INDEX:TIMES", "the bootloader refuses block INDEX (0 = the first) TIMES times",
              [] (O& o, const juce::String& v) {
                  const auto p = pairOf (v);
                  return p.has_value() && (o.bootloaderFaults.rejectBlock[p->first] = p->second, true); } },
            { "bootloader-silent", "", "the bootloader never answers",
              [] (O& o, const juce::String&) { return o.bootloaderFaults.neverAnswer = true; } },
            { "vanish-at-block", "INDEX", "the keyboard goes from the bus when block INDEX comes",
              [] (O& o, const juce::String& v) {
                  const auto n = numberOf (v);
                  return n.has_value() && (o.bootloaderFaults.vanishAtBlock = *n, true); } },
            { "late-first-answer", "INDEX:MS", "the answer to block INDEX's first frame comes MS late",
              [] (O& o, const juce::String& v) {
                  const auto p = pairOf (v);
                  return p.has_value() && (o.bootloaderFaults.lateFirstAnswerMs[p->first] = p->second, true); } },
            { "bootloader-delay", "MS", "every bootloader answer comes MS late",
              [] (O& o, const juce::String& v) {
                  const auto n = numberOf (v);
                  return n.has_value() && (o.bootloaderAnswerDelayMs = *n, true); } },
        };
        return table;
    }

    struct ValueOption
    {
        const char* name;
        const char* value;
        const char* help;
        std::function<void (KeyboardProgramOptions&, const juce::String&)> apply;
    };

    const std::vector<ValueOption>& valueTable()
    {
        using O = KeyboardProgramOptions;
        static const std::vector<ValueOption> table {
            { "--device", "DEVICE", "the gadget's raw MIDI device (default hw:Gadget,0)",
              [] (O& o, const juce::String& v) { o.rawMidiDevice = v; } },
            { "--gadget", "DIR", "the gadget's configfs directory (/sys/kernel/config/usb_gadget/NAME)",
              [] (O& o, const juce::String& v) { o.gadgetDirectory = juce::File::getCurrentWorkingDirectory().getChildFile (v); } },
            { "--controller", "UDC", "the USB device controller to plug into (default: the gadget's, else the first)",
              [] (O& o, const juce::String& v) { o.controller = v; } },
            { "--log", "FILE", "every frame received, one a line in hex; '# ' lines say what the cable did",
              [] (O& o, const juce::String& v) { o.logPath = v; } },
            { "--state-file", "FILE", "what the keyboard holds, read at the start and written at the end (.vr49)",
              [] (O& o, const juce::String& v) { o.stateFile = juce::File::getCurrentWorkingDirectory().getChildFile (v); } },
            { "--commands", "FIFO", "a FIFO it reads commands from, one a line ('help' lists them on its log)",
              [] (O& o, const juce::String& v) { o.commandFifo = v; } },
            { "--firmware-out", "FILE", "at the end, the last whole firmware image the bootloader took",
              [] (O& o, const juce::String& v) { o.firmwareOut = juce::File::getCurrentWorkingDirectory().getChildFile (v); } },
            { "--print-send-plan", "FILE", "only print the frames \"Send to Keyboard\" sends for a settings file, in hex",
              [] (O& o, const juce::String& v) { o.sendPlanOf = juce::File::getCurrentWorkingDirectory().getChildFile (v); } },
        };
        return table;
    }
}

bool KeyboardProgramOptions::addFault (const juce::String& fault)
{
    const auto name = fault.upToFirstOccurrenceOf ("=", false, false);
    const auto value = fault.fromFirstOccurrenceOf ("=", false, false);

    for (const auto& option : faultTable())
        if (name == option.name)
            return (juce::String (option.value).isEmpty() == ! fault.contains ("=")) && option.apply (*this, value);

    return false;
}

std::optional<juce::String> KeyboardProgramOptions::parse (const juce::StringArray& arguments, KeyboardProgramOptions& options)
{
    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& argument = arguments[i];

        if (argument == "--help" || argument == "-h")
        {
            options.help = true;
            continue;
        }

        const bool isFault = argument == "--fault";
        const auto value = std::find_if (valueTable().begin(), valueTable().end(),
                                         [&] (const ValueOption& o) { return argument == o.name; });

        if (! isFault && value == valueTable().end())
            return "unknown option " + argument;

        if (i + 1 >= arguments.size())
            return argument + " needs a value";

        const auto& given = arguments[++i];

        if (isFault && ! options.addFault (given))
            return "no fault \"" + given + "\" (--help lists them)";

        if (! isFault)
            value->apply (options, given);
    }

    if (! options.help && options.sendPlanOf == juce::File() && options.gadgetDirectory == juce::File())
        return juce::String ("--gadget is needed");

    return std::nullopt;
}

juce::String KeyboardProgramOptions::usage()
{
    juce::String text ("konsolion-keyboard --gadget DIR [options]\n"
                       "The simulated Vantor 49 and its bootloader on the raw MIDI device of a USB MIDI gadget:\n"
                       "the keyboard at the far end of a real USB cable. It runs until SIGINT or SIGTERM.\n\n");

    for (const auto& option : valueTable())
        text << "  " << juce::String (option.name + juce::String (" ") + option.value).paddedRight (' ', 26) << option.help << "\n";

    text << "  --fault NAME[=VALUE]      misbehave (more than one may be given):\n";

    for (const auto& fault : faultTable())
    {
        const auto name = juce::String (fault.name) + (juce::String (fault.value).isEmpty() ? "" : "=" + juce::String (fault.value));
        text << "      " << name.paddedRight (' ', 30) << fault.help << "\n";
    }

    return text;
}
