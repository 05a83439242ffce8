#include "app/setting_values.h"
#include "placeholder_page.h"
#include "ui_text.h"

namespace partita::gui {

// The joiner pane. At its start it reads the step sizes of its time controls and the sort
// order of the merge list, which stores the ones the settings table writes back.
Page* CreateJoinerPage(const PageContext& context, QWidget* parent) {
    settings::TimeStepSize.Read(context.settings);
    settings::TimePageSize.Read(context.settings);
    settings::ReadJoinerSorting(context.settings);
    return new PlaceholderPage(MessageText(Msg::JoinerPanel), Text(UiText::JoinerPlaceholder),
                               CommandAction::Merge, parent);
}

}  // namespace partita::gui
