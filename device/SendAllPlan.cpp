#include "device/SendAllPlan.h"

#include "device/DeviceFrames.h"

std::optional<juce::MidiMessage> setFrameFor (const ModelField& field, int value)
{
    switch (field.group)
    {
        case ModelField::Group::item:   return buildSetItemParam (field.param, field.id, value);
        case ModelField::Group::global: return buildSetGlobal (field.id, value);
        case ModelField::Group::curve:  return buildSetCurve (field.id, value);
    }

    return std::nullopt;
}

SendAllPlan planSendAll (const SettingsModel& model)
{
    SendAllPlan plan;

    for (const auto& field : sendableFields (model))
    {
        const auto value = valueOf (model, field);

        if (! value.has_value())
            continue;

        if (! model.isKnown (field))
        {
            ++plan.unknownLeftOut;
            continue;
        }

        if (auto frame = setFrameFor (field, *value))
        {
            plan.frames.push_back (std::move (*frame));
            plan.sentFields.push_back (field);
        }
        else if (! (field.group == ModelField::Group::item && isHiddenItem (field.id)))
        {
            plan.leftOut.push_back ({ field, *value });   // the hidden items' number -1 means "none"
        }
    }

    plan.frames.push_back (buildEndOfTransfer());
    return plan;
}
