#include "device/FieldSend.h"

#include "device/DeviceFrames.h"
#include "device/SendAllPlan.h"

juce::String fieldSendName (const ModelField& field)
{
    if (field.group == ModelField::Group::item)
        return controlDisplayName (field.id) + ", " + itemFieldName (field.param);

    return field.describe();
}

juce::String FieldSendReport::describe() const
{
    const auto name = fieldSendName (field);

    switch (outcome)
    {
        case Outcome::checked:
            return "Sent and checked: " + name;
        case Outcome::differs:
            return "Sent " + name + ", but the keyboard holds " + field.describeValue (keyboardHolds)
                   + " (sent " + field.describeValue (sent) + ")";
        case Outcome::noAnswer:
            return "Sent " + name + ", but the keyboard did not answer: not checked";
        case Outcome::noKeyboard:
            return "Not sent: no keyboard";
        case Outcome::keyboardGone:
            return "Sent " + name + ", but the keyboard went away: not checked";
        case Outcome::notSendable:
            return "Not sent: " + name + " cannot carry " + field.describeValue (sent);
    }

    return {};
}

FieldSendReport sendFieldAndCheck (LumManager49& manager, KeyboardReader& reader, const ModelField& field, int value)
{
    FieldSendReport report;
    report.field = field;
    report.sent = value;

    const auto frame = setFrameFor (field, value);

    if (! frame.has_value())
    {
        report.outcome = FieldSendReport::Outcome::notSendable;
        return report;
    }

    if (! manager.keyboardOutputIsListed() || ! manager.sendToKeyboard (*frame)
        || ! manager.sendToKeyboard (buildEndOfTransfer()))
    {
        report.outcome = FieldSendReport::Outcome::noKeyboard;
        return report;
    }

    report.keyboardHolds = reader.readField (field);

    if (! report.keyboardHolds.has_value())
        report.outcome = manager.keyboardOutputIsListed() ? FieldSendReport::Outcome::noAnswer
                                                          : FieldSendReport::Outcome::keyboardGone;
    else
        report.outcome = *report.keyboardHolds == value ? FieldSendReport::Outcome::checked
                                                         : FieldSendReport::Outcome::differs;

    return report;
}
