#include "device/SettingsModel.h"

SettingsModel SettingsModel::catalogueDefaults()
{
    SettingsModel model;
    applyCatalogueDefaults (model.itemParams);
    return model;
}

bool SettingsModel::operator== (const SettingsModel& other) const
{
    return itemParams == other.itemParams && globals == other.globals && curves == other.curves
           && unknown == other.unknown;
}

void applyCatalogueDefaults (std::array<std::map<ItemId, int>, ItemParam::count>& itemParams)
{
    for (int p = ItemParam::firstStored; p <= ItemParam::lastStored; ++p)
        itemParams[(size_t) p].clear();

    for (const auto& entry : controlCatalogue())
    {
        if (entry.kind == ControlKind::NoDefaults)
            continue;

        const auto defaults = defaultsForKind (entry.kind, entry.id);
        itemParams[ItemParam::Mode][entry.id] = defaults.mode;
        itemParams[ItemParam::Channel][entry.id] = defaults.channel;
        itemParams[ItemParam::Number][entry.id] = entry.defaultNumber;
        itemParams[ItemParam::MinLsb][entry.id] = 0;
        itemParams[ItemParam::MaxMsb][entry.id] = 127;
        itemParams[ItemParam::Option][entry.id] = defaults.option;
    }
}

std::optional<int> valueOf (const SettingsModel& model, const ModelField& field)
{
    switch (field.group)
    {
        case ModelField::Group::global: return model.globals[(size_t) field.id];
        case ModelField::Group::curve:  return model.curves[(size_t) field.id];
        case ModelField::Group::item:   break;
    }

    const auto& table = model.itemParams[(size_t) field.param];
    const auto found = table.find (field.id);
    return found != table.end() ? std::optional<int> (found->second) : std::nullopt;
}

void setValue (SettingsModel& model, const ModelField& field, std::optional<int> value)
{
    model.unknown.erase (field);

    switch (field.group)
    {
        case ModelField::Group::global: model.globals[(size_t) field.id] = (juce::int16) value.value_or (0); return;
        case ModelField::Group::curve:  model.curves[(size_t) field.id] = (juce::int16) value.value_or (0); return;
        case ModelField::Group::item:   break;
    }

    auto& table = model.itemParams[(size_t) field.param];

    if (value.has_value())
        table[field.id] = *value;
    else
        table.erase (field.id);
}

std::vector<ModelField> sendableFields (const SettingsModel& model)
{
    std::vector<ModelField> fields;

    for (const auto& entry : model.itemParams[ItemParam::Number])
        if (entry.first != pitchWheelItem)
            for (int p = ItemParam::firstStored; p <= ItemParam::lastStored; ++p)
                fields.push_back (ModelField::item (entry.first, p));

    for (const auto index : editorGlobals)
        fields.push_back (ModelField::global (index));

    for (const auto index : sentCurves)
        fields.push_back (ModelField::curve (index));

    return fields;
}
