#include "settings/language_settings_table_view_controller.h"

#include <gtest/gtest.h>

#include "core/preferences.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controls/bar_button_item.h"
#include "settings/language_picker_view_controller.h"
#include "settings_test_support.h"

namespace reelhaven {
namespace {

using Language = LanguagePickerViewController::Language;
constexpr int kAudio = LanguageSettingsTableViewController::audioSection;
constexpr int kSubtitles = LanguageSettingsTableViewController::subtitleSection;

class LanguageSettingsTest : public settings_testing::SettingsScreenTest {
protected:
    void SetUp() override {
        auto settings = openSettings();
        settings->tableView()->tapRow({SettingsTableViewController::playback, 0});
        languages = std::dynamic_pointer_cast<LanguageSettingsTableViewController>(navigation->topViewController());
        ASSERT_TRUE(languages);
        languages->tableView()->reloadData();
        window->layoutIfNeeded();
    }
    std::shared_ptr<ui::Label> detail(int section) {
        return languages->tableView()->cellForRow({section, 0})->detailTextLabel();
    }
    // The picker the row opens, laid out in its navigation controller.
    std::shared_ptr<LanguagePickerViewController> openPicker(int section) {
        languages->tableView()->tapRow({section, 0});
        settle();
        auto presented = std::dynamic_pointer_cast<ui::NavigationController>(languages->presentedViewController());
        if (!presented) return nullptr;
        auto picker = std::dynamic_pointer_cast<LanguagePickerViewController>(presented->viewControllers().front());
        picker->loadViewIfNeeded();
        settle();
        picker->collectionView()->layoutIfNeeded();
        return picker;
    }
    static std::shared_ptr<ui::CollectionViewCell> shownCell(LanguagePickerViewController& picker,
                                                             const ui::IndexPath& path) {
        picker.collectionView()->scrollToItem(path);
        picker.collectionView()->layoutIfNeeded();
        return picker.collectionView()->cellAt(path);
    }
    static ui::IndexPath pathOf(LanguagePickerViewController& picker, const std::string& name) {
        for (int section = 0; section < 3; ++section) {
            for (int item = 0; item < picker.collectionView()->numberOfItems(section); ++item) {
                if (picker.dataSource()->itemIdentifier({section, item})->language == name) return {section, item};
            }
        }
        ADD_FAILURE() << name;
        return {0, 0};
    }
    static ui::CellAccessory::Kind accessory(LanguagePickerViewController& picker, const std::string& name) {
        auto cell = shownCell(picker, pathOf(picker, name));
        if (!cell || cell->accessories().size() != 1) {
            ADD_FAILURE() << name;
            return ui::CellAccessory::Kind::label;
        }
        return cell->accessories().front().kind;
    }
    // Types `text` into the custom-code alert and taps "Done".
    void typeCustomCode(LanguagePickerViewController& picker, std::optional<std::string> text) {
        ASSERT_TRUE(shownCell(picker, pathOf(picker, "Other Language Code")));
        ASSERT_TRUE(picker.collectionView()->tapItem(pathOf(picker, "Other Language Code")));
        settle();
        auto alert = std::dynamic_pointer_cast<ui::AlertController>(picker.presentedViewController());
        ASSERT_TRUE(alert);
        EXPECT_EQ(alert->title(), "Other Language Code");
        EXPECT_EQ(alert->message(), "Enter the 3-letter language code for the language you prefer");
        ASSERT_EQ(alert->textFields().size(), 1u);
        EXPECT_EQ(alert->textFields()[0]->placeholder(), "Language Code");
        alert->textFields()[0]->setText(std::move(text));
        ASSERT_TRUE(alert->tapAction("Done"));
        settle();
    }
    bool pickerIsOpen() const { return languages->presentedViewController() != nullptr; }

    std::shared_ptr<LanguageSettingsTableViewController> languages;
};

TEST_F(LanguageSettingsTest, RowsShowAutomaticInTheTextFontAndACodeInTheMonospacedOne) {
    Preferences::shared().subtitleLanguage.setWrappedValue("ger");
    languages->tableView()->reloadData();
    EXPECT_EQ(languages->navigationItem()->title(), "Languages");
    EXPECT_EQ(detail(kAudio)->text(), "Automatic (Default)");
    EXPECT_EQ(detail(kAudio)->font().fontName(), "Inter-Regular");
    EXPECT_EQ(detail(kAudio)->font().pointSize(), 16);
    EXPECT_EQ(detail(kSubtitles)->text(), "ger");
    EXPECT_EQ(detail(kSubtitles)->font(), ui::Font::monospacedSystemFont(16, ui::FontWeight::medium));
}

TEST_F(LanguageSettingsTest, ThePickerListsAutomaticTheFixedLanguagesAndTheCustomEntry) {
    auto picker = openPicker(kAudio);
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->navigationItem()->title(), "Audio Language");
    auto view = picker->collectionView();
    ASSERT_EQ(view->numberOfSections(), 3);
    EXPECT_EQ(view->numberOfItems(0), 1);
    EXPECT_EQ(view->numberOfItems(1), 31);
    EXPECT_EQ(view->numberOfItems(2), 1);
    EXPECT_EQ(picker->dataSource()->itemIdentifier({1, 5}), (Language{"German", "ger"}));
    EXPECT_EQ(picker->dataSource()->itemIdentifier({1, 30}), (Language{"Hindi", "hin"}));
    auto german = shownCell(*picker, {1, 5});
    ASSERT_TRUE(german && german->contentConfiguration());
    EXPECT_EQ(german->contentConfiguration()->text, "German");
    EXPECT_EQ(german->contentConfiguration()->secondaryText, "ger");
    EXPECT_EQ(german->contentConfiguration()->secondaryTextProperties.font, ui::Font::monospacedSystemFont(11));
    EXPECT_EQ(german->tintColor(), ui::Color::white());
    EXPECT_EQ(picker->navigationItem()->leftBarButtonItem()->systemItem(), ui::BarButtonItem::SystemItem::cancel);
}

TEST_F(LanguageSettingsTest, TheCheckMarkFollowsTheStoredCode) {
    auto picker = openPicker(kAudio);
    EXPECT_EQ(accessory(*picker, "Automatic (Default)"), ui::CellAccessory::Kind::checkmark);
    EXPECT_EQ(accessory(*picker, "German"), ui::CellAccessory::Kind::disclosureIndicator);
    EXPECT_EQ(accessory(*picker, "Other Language Code"), ui::CellAccessory::Kind::disclosureIndicator);

    const Language automatic = LanguagePickerViewController::automaticLanguage();
    const Language german{"German", "ger"};
    const Language custom = LanguagePickerViewController::customLanguage();
    struct Case {
        std::optional<std::string> stored;
        bool automaticChecked, germanChecked;
    };
    for (const auto& c : {Case{std::nullopt, true, false}, Case{"", true, false}, Case{"ger", false, true},
                          Case{"deu", false, false}, Case{"GER", false, false}}) {
        EXPECT_EQ(LanguagePickerViewController::isChosen(automatic, c.stored), c.automaticChecked);
        EXPECT_EQ(LanguagePickerViewController::isChosen(german, c.stored), c.germanChecked);
        EXPECT_FALSE(LanguagePickerViewController::isChosen(custom, c.stored));
    }
}

TEST_F(LanguageSettingsTest, AStoredCodeChecksOnlyItsLanguageAndAnUnknownOneNoRow) {
    Preferences::shared().subtitleLanguage.setWrappedValue("ger");
    auto picker = openPicker(kSubtitles);
    EXPECT_EQ(picker->navigationItem()->title(), "Subtitle Language");
    EXPECT_EQ(accessory(*picker, "German"), ui::CellAccessory::Kind::checkmark);
    EXPECT_EQ(accessory(*picker, "Automatic (Default)"), ui::CellAccessory::Kind::disclosureIndicator);
    EXPECT_EQ(accessory(*picker, "English"), ui::CellAccessory::Kind::disclosureIndicator);
    picker->dismiss(false);
    settle();

    Preferences::shared().subtitleLanguage.setWrappedValue("xyz");
    picker = openPicker(kSubtitles);
    for (const auto& name : {"Automatic (Default)", "German", "English", "Hindi", "Other Language Code"})
        EXPECT_EQ(accessory(*picker, name), ui::CellAccessory::Kind::disclosureIndicator) << name;
}

TEST_F(LanguageSettingsTest, ChoosingALanguageStoresItsCodeAndClosesThePicker) {
    auto picker = openPicker(kAudio);
    picker->collectionView()->tapItem(pathOf(*picker, "German"));
    settle();
    EXPECT_FALSE(pickerIsOpen());
    EXPECT_EQ(Preferences::shared().audioLanguage.wrappedValue(), "ger");
    EXPECT_EQ(settings_testing::storedDefaults().value("AUDIO_LANGUAGE", ""), "ger");
    EXPECT_EQ(settings_testing::storedDefaults().value("SUBTITLE_LANGUAGE", "?"), "");
    EXPECT_EQ(detail(kAudio)->text(), "ger");

    picker = openPicker(kAudio);
    picker->collectionView()->tapItem(pathOf(*picker, "Automatic (Default)"));
    settle();
    EXPECT_EQ(settings_testing::storedDefaults().value("AUDIO_LANGUAGE", "?"), "");
    EXPECT_EQ(detail(kAudio)->text(), "Automatic (Default)");
    EXPECT_EQ(detail(kAudio)->font().fontName(), "Inter-Regular");
}

TEST_F(LanguageSettingsTest, ACustomCodeMustBeThreeCharactersAndIsStoredAsTyped) {
    auto picker = openPicker(kSubtitles);
    for (const std::optional<std::string>& refused :
         {std::optional<std::string>("de"), std::optional<std::string>("deut"), std::optional<std::string>(""),
          std::optional<std::string>()}) {
        typeCustomCode(*picker, refused);
        EXPECT_TRUE(pickerIsOpen()) << refused.value_or("(none)");
        EXPECT_EQ(picker->presentedViewController(), nullptr);  // the alert went away
        EXPECT_EQ(settings_testing::storedDefaults().value("SUBTITLE_LANGUAGE", "?"), "");
    }
    typeCustomCode(*picker, "DEU");
    EXPECT_FALSE(pickerIsOpen());
    EXPECT_EQ(settings_testing::storedDefaults().value("SUBTITLE_LANGUAGE", ""), "DEU");
    EXPECT_EQ(detail(kSubtitles)->text(), "DEU");

    // Three user-perceived characters, however many code points: an accented letter counts once.
    picker = openPicker(kSubtitles);
    typeCustomCode(*picker, "e\xCC\x81sp");
    EXPECT_EQ(Preferences::shared().subtitleLanguage.wrappedValue(), "e\xCC\x81sp");
}

TEST_F(LanguageSettingsTest, CancellingThePickerStoresNothing) {
    Preferences::shared().audioLanguage.setWrappedValue("jpn");
    auto picker = openPicker(kAudio);
    ASSERT_TRUE(picker->navigationItem()->leftBarButtonItem()->tap());
    settle();
    EXPECT_FALSE(pickerIsOpen());
    EXPECT_EQ(settings_testing::storedDefaults().value("AUDIO_LANGUAGE", ""), "jpn");
}

TEST_F(LanguageSettingsTest, MarginsGoToTheTableAndToThePickersRootView) {
    resizeWindow(1100, 800, ui::InterfaceOrientation::landscapeLeft);
    EXPECT_EQ(languages->tableView()->layoutMargins(), (ui::EdgeInsets{0, 200, 0, 200}));
    auto picker = openPicker(kAudio);
    picker->parent()->view()->setFrame({0, 0, 800, 600});
    settle();
    ASSERT_EQ(picker->view()->frame().size.width, 800);
    EXPECT_EQ(picker->view()->layoutMargins(), (ui::EdgeInsets{0, 100, 0, 100}));
    EXPECT_NE(picker->collectionView()->layoutMargins(), picker->view()->layoutMargins());
}

TEST(LanguagePickerAloneTest, AChoiceGoesToTheCallbackOnceWithTheChosenEntry) {
    dispatch::ScopedMainRunLoop loop;
    auto picker = LanguagePickerViewController::create();
    EXPECT_EQ(picker->languages().size(), 31u);
    std::vector<Language> chosen;
    picker->didSelectLanguage = [&](const Language& language) { chosen.push_back(language); };
    picker->loadViewIfNeeded();
    picker->collectionView()->layoutIfNeeded();
    picker->collectionView()->tapItem({0, 0});
    EXPECT_EQ(chosen, std::vector<Language>{LanguagePickerViewController::automaticLanguage()});
    EXPECT_TRUE(picker->collectionView()->selectedIndexPaths().empty());
}

}  // namespace
}  // namespace reelhaven
