#include "device/SettingsModel.h"

SettingsModel SettingsModel::catalogueDefaults()
{
    SettingsModel model;
    applyCatalogueDefaults (model.itemParams);
    return model;
}

bool SettingsModel::operator== (const SettingsModel& other) const
{
    return itemParams == other.itemParams && globals == other.globals && curves == other.curves;
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
