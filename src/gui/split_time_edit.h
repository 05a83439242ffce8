#pragma once

#include <QLineEdit>
#include <cstdint>
#include <initializer_list>
#include <optional>

namespace partita::gui {

class UserMessages;

// The masked time entry of the splitter's dialogs: "hhh:mm:ss.fff", the form of the page's own
// time box. Minutes and seconds above 59 make the text no time.
class SplitTimeEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit SplitTimeEdit(QWidget* parent = nullptr);

    void SetMs(std::uint64_t ms);
    // The time typed; nullopt when the text is not a time.
    std::optional<std::uint64_t> Ms() const;

    // The text of `ms` in the entry's form.
    static QString Format(std::uint64_t ms);
    static std::optional<std::uint64_t> Parse(const QString& text);

    // Whether every edit holds a time; else shows string 2150 for the first that does not,
    // focuses it and returns false.
    static bool AllTimes(std::initializer_list<SplitTimeEdit*> edits, UserMessages& messages,
                         QWidget* parent);
};

}  // namespace partita::gui
