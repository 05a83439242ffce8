#include "gui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "app/string_table.h"
#include "scripted_user.h"

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
    std::filesystem::path folder =
        elsewhere && *elsewhere ? std::filesystem::path(elsewhere)
                                : std::filesystem::path(PARTITA_BINARY_DIR) / "gui_screenshots";
    std::filesystem::create_directories(folder);
    return folder.string();
}

void CheckAndPictureDialog(QDialog* dialog, const QString& name, const QString& suffix,
                           bool accessKeys) {
    ExpectEveryControlNamed(dialog);
    QSet<int> keys;
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (!accessKeys)
            break;
        QKeySequence key = QKeySequence::mnemonic(button->text());
        auto* push = qobject_cast<QPushButton*>(button);
        if (button->text() == "..." || (key.isEmpty() && push && push->isDefault()))
            continue;
        EXPECT_FALSE(key.isEmpty()) << name.toStdString() << ": " << button->text().toStdString();
        EXPECT_FALSE(keys.contains(key[0].toCombined()))
            << name.toStdString() << ": " << button->text().toStdString() << " repeats a key";
        keys.insert(key[0].toCombined());
    }
    QString file = QString::fromStdString(ScreenshotFolder()) +
                   QStringLiteral("/dialog_%1_%2.png").arg(name, suffix);
    EXPECT_TRUE(dialog->grab().save(file)) << file.toStdString();
}

void ExpectWholeColumnNames(QWidget* widget) {
    for (QHeaderView* header : widget->findChildren<QHeaderView*>()) {
        if (header->orientation() != Qt::Horizontal || !header->isVisible())
            continue;
        for (int column = 0; column < header->count(); ++column) {
            if (header->isSectionHidden(column))
                continue;
            QString text = header->model()->headerData(column, Qt::Horizontal).toString();
            EXPECT_GE(header->sectionSize(column), header->fontMetrics().horizontalAdvance(text))
                << text.toStdString();
        }
    }
}

void CheckAndPictureDialogs(std::span<const NamedDialog> dialogs, bool accessKeys) {
    for (Language language : {Language::Chinese, Language::English}) {
        SetCurrentLanguage(language);
        const char* suffix = language == Language::Chinese ? "zh_CN" : "en";
        for (const auto& [name, make] : dialogs) {
            std::unique_ptr<QDialog> dialog(make());
            dialog->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
            CheckAndPictureDialog(dialog.get(), name, suffix, accessKeys);
        }
    }
}

}  // namespace partita::gui::test
