#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <string_view>

#include "app/string_table.h"

namespace partita::gui {

// One label of a two-language table: its id, its Chinese and its English text.
template <typename Id>
struct LabelPair {
    Id id;
    std::string_view chinese;
    std::string_view english;
};

// Whether a table lists every id from the first to `last` in the order of the enum, so that an
// id indexes its own row; each table checks this at compile time.
template <typename Id, std::size_t N>
constexpr bool ListsEveryIdInOrder(const std::array<LabelPair<Id>, N>& table, Id last) {
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<std::size_t>(table[i].id) != i)
            return false;
    }
    return static_cast<std::size_t>(last) + 1 == N;
}

// The label of `id` in the current language of the string table.
template <typename Id, std::size_t N>
QString LabelInCurrentLanguage(const std::array<LabelPair<Id>, N>& table, Id id) {
    const LabelPair<Id>& pair = table[static_cast<std::size_t>(id)];
    std::string_view text = CurrentLanguage() == Language::Chinese ? pair.chinese : pair.english;
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace partita::gui
