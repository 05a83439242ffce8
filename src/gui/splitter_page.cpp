#include "app/setting_values.h"
#include "placeholder_page.h"
#include "ui_text.h"

namespace partita::gui {

// The splitter pane. At its start it reads the values its controls begin with (the split mode,
// the output folder choice and the step sizes of the time controls), which stores the ones
// the settings table writes back.
Page* CreateSplitPage(const PageContext& context, QWidget* parent) {
    settings::SplitMode.Read(context.settings);
    settings::SameFolderAsOriginal.Read(context.settings);
    settings::TimeStepSize.Read(context.settings);
    settings::TimePageSize.Read(context.settings);
    return new PlaceholderPage(MessageText(Msg::SplitterPanel), Text(UiText::SplitterPlaceholder),
                               CommandAction::Split, parent);
}

}  // namespace partita::gui
