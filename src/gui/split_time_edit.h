#pragma once

#include <QLineEdit>
#include <cstdint>
#include <optional>

namespace partita::gui {

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
};

}  // namespace partita::gui
