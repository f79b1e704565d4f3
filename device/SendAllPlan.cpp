#include "device/SendAllPlan.h"

#include "device/DeviceFrames.h"

namespace
{
    constexpr ItemId pitchWheelItem = 65;

    bool isHiddenItem (ItemId item)   { return item >= 99 && item <= 106; }

    void addOrLeaveOut (SendAllPlan& plan, std::optional<juce::MidiMessage> frame, ModelField field, int value)
    {
        if (frame.has_value())
            plan.frames.push_back (std::move (*frame));
        else if (! (field.group == ModelField::Group::item && isHiddenItem (field.id)))
            plan.leftOut.push_back ({ field, value });
    }
}

SendAllPlan planSendAll (const SettingsModel& model)
{
    SendAllPlan plan;

    for (const auto& entry : model.itemParams[ItemParam::Number])
    {
        const auto item = entry.first;

        if (item == pitchWheelItem)
            continue;

        for (int p = ItemParam::firstStored; p <= ItemParam::lastStored; ++p)
        {
            const auto& table = model.itemParams[(size_t) p];
            const auto value = table.find (item);

            if (value != table.end())
                addOrLeaveOut (plan, buildSetItemParam (p, item, value->second), ModelField::item (item, p), value->second);
        }
    }

    const int channel = model.globals[GlobalIndex::UpperChannel];
    addOrLeaveOut (plan, buildSetMidiChannel (channel), ModelField::global (GlobalIndex::UpperChannel), channel);

    for (const int curve : { 4, 1, 3 })
        addOrLeaveOut (plan, buildSetCurve (curve, model.curves[(size_t) curve]), ModelField::curve (curve),
                       model.curves[(size_t) curve]);

    plan.frames.push_back (buildEndOfTransfer());
    return plan;
}
