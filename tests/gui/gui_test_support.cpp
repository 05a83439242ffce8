#include "gui_test_support.h"

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "app/string_table.h"

namespace partita::gui::test {
namespace {

// One application object for the whole program, on the offscreen platform unless the caller
// chose another.
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { application_.reset(); }

  private:
    int argc_ = 1;
    char name_[9] = "test_gui";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

void IniFileTest::SetUp() {
    SetCurrentLanguage(Language::Chinese);
}

void IniFileTest::TearDown() {
    SetCurrentLanguage(Language::Chinese);
}

std::unique_ptr<ProgramSettings> IniFileTest::OpenSettings(
    const std::vector<std::string>& overrides) {
    return ProgramSettings::Open("partita-studio", IniPath(), overrides, nullptr);
}

std::string ScreenshotFolder() {
    // A run of its own (the manual's check) takes its pictures where it says.
    const char* elsewhere = std::getenv("PARTITA_SCREENSHOTS");
    std::filesystem::path folder = elsewhere && *elsewhere
                                       ? std::filesystem::path(elsewhere)
                                       : std::filesystem::path(PARTITA_BINARY_DIR) / "gui_screenshots";
    std::filesystem::create_directories(folder);
    return folder.string();
}

}  // namespace partita::gui::test
