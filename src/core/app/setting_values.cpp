#include "app/setting_values.h"

#include "app/string_table.h"

namespace partita {

int IntSetting::Read(SettingsStore& store) const {
    if (writeBack == WriteBack::AtFirstRead && !store.Contains(section, name)) {
        store.WriteInt(section, name, defaultValue);
        return defaultValue;
    }
    return store.ReadInt(section, name, defaultValue);
}

std::string StringSetting::Default() const {
    if (defaultText)
        return CurrentStrings().Get(*defaultText);
    if (defaultOf)
        return defaultOf();
    return std::string(defaultValue);
}

std::string StringSetting::Read(SettingsStore& store) const {
    if (!store.Contains(section, name))
        return Default();
    return store.ReadString(section, name);
}

namespace settings {

JoinerSorting ReadJoinerSorting(SettingsStore& store) {
    if (!store.Contains(JoinSortingColumn.section, JoinSortingColumn.name)) {
        JoinSortingColumn.Write(store, JoinSortingColumn.defaultValue);
        JoinSortingDir.Write(store, JoinSortingDir.defaultValue);
    }
    return {JoinSortingColumn.Read(store), JoinSortingDir.Read(store)};
}

}  // namespace settings
}  // namespace partita
