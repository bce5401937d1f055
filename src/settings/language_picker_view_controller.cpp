#include "settings/language_picker_view_controller.h"

#include "platform/base/fatal.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/lists/compositional_layout.h"
#include "platform/ui/text/font.h"
#include "platform/ui/text/text_boundaries.h"
#include "settings/settings_look.h"
#include "toolkit/text_input_alert.h"

namespace reelhaven {

namespace {

constexpr const char* kCellIdentifier = "language";

}  // namespace

std::size_t LanguagePickerViewController::Language::Hash::operator()(const Language& value) const {
    const std::size_t name = std::hash<std::string>()(value.language);
    const std::size_t code = value.code ? std::hash<std::string>()(*value.code) + 1 : 0;
    return name ^ (code + 0x9e3779b97f4a7c15ULL + (name << 6) + (name >> 2));
}

const LanguagePickerViewController::Language& LanguagePickerViewController::automaticLanguage() {
    static const Language automatic{"Automatic (Default)", std::nullopt};
    return automatic;
}

const LanguagePickerViewController::Language& LanguagePickerViewController::customLanguage() {
    static const Language custom{"Other Language Code", std::string()};
    return custom;
}

const std::vector<LanguagePickerViewController::Language>& LanguagePickerViewController::fixedLanguages() {
    // "ger" is the bibliographic code, the one video files most often carry.
    static const std::vector<Language> languages{
        {"English", "eng"},    {"Japanese", "jpn"},   {"Chinese", "zho"},   {"Spanish", "spa"},  {"French", "fra"},
        {"German", "ger"},     {"Russian", "rus"},    {"Portugese", "por"}, {"Italian", "ita"},  {"Korean", "kor"},
        {"Turkish", "tur"},    {"Dutch", "nld"},      {"Arabic", "ara"},    {"Thai", "tha"},     {"Swedish", "swe"},
        {"Danish", "dan"},     {"Vietnamese", "vie"}, {"Norwegian", "nor"}, {"Polish", "pol"},   {"Finnish", "fin"},
        {"Indonesian", "ind"}, {"Hebrew", "heb"},     {"Greek", "ell"},     {"Romanian", "ron"}, {"Hungarian", "hun"},
        {"Czech", "ces"},      {"Slovak", "slk"},     {"Ukrainian", "ukr"}, {"Croatian", "hrv"}, {"Malay", "msa"},
        {"Hindi", "hin"}};
    return languages;
}

std::shared_ptr<LanguagePickerViewController> LanguagePickerViewController::create() {
    return ui::make<LanguagePickerViewController>();
}

bool LanguagePickerViewController::isChosen(const Language& language, const std::optional<std::string>& selectedCode) {
    if (!language.code) return !selectedCode || selectedCode->empty();
    return !language.code->empty() && language.code == selectedCode;
}

void LanguagePickerViewController::viewDidLoad() {
    ui::ViewController::viewDidLoad();
    auto cancel = ui::BarButtonItem::create(ui::BarButtonItem::SystemItem::cancel);
    std::weak_ptr<LanguagePickerViewController> weakSelf = sharedAs<LanguagePickerViewController>();
    cancel->setPrimaryAction(ui::Action::create("Cancel", [weakSelf](ui::Action&) {
        if (auto self = weakSelf.lock()) self->dismiss(true);
    }));
    cancel->setTintColor(ui::Color::white());
    navigationItem()->setLeftBarButtonItems({cancel});

    ui::ListLayoutConfiguration list;
    list.appearance = ui::CollectionLayoutSection::ListAppearance::insetGrouped;
    m_collectionView = ui::CollectionView::create(view()->bounds(), ui::CompositionalLayout::createList(list));
    m_collectionView->setAutoresizingMask(ui::flexibleWidth | ui::flexibleHeight);
    view()->addSubview(m_collectionView);
    m_collectionView->setDelegate(sharedAs<LanguagePickerViewController>());

    m_collectionView->registerCell(kCellIdentifier, [] { return ui::CollectionViewCell::create(); });
    m_dataSource = DataSource::create(
        m_collectionView,
        [weakSelf](ui::CollectionView& view, const ui::IndexPath& indexPath, const Language& language) {
            auto cell = view.dequeueCell(kCellIdentifier, indexPath);
            auto self = weakSelf.lock();
            // A picker already gone marks only the automatic entry.
            const std::optional<std::string> selected = self ? self->selectedLanguageCode : std::nullopt;
            const auto font = ui::Font::named("Inter-Regular", 16);
            if (!font) base::fatal("the font Inter-Regular is not installed");
            auto content = ui::ListContentConfiguration::cell();
            content.text = language.language;
            content.textProperties.font = *font;
            if (language.code) {
                content.secondaryText = *language.code;
                content.secondaryTextProperties.font = ui::Font::monospacedSystemFont(11, ui::FontWeight::regular);
            }
            cell->setContentConfiguration(content);
            cell->setAccessories({isChosen(language, selected) ? ui::CellAccessory::checkmark()
                                                               : ui::CellAccessory::disclosureIndicator()});
            cell->setTintColor(ui::Color::white());
            return cell;
        });
    DataSource::Snapshot snapshot;
    snapshot.appendSections({Section::automatic, Section::main, Section::custom});
    snapshot.appendItems({automaticLanguage()}, Section::automatic);
    snapshot.appendItems(m_languages, Section::main);
    snapshot.appendItems({customLanguage()}, Section::custom);
    m_dataSource->apply(snapshot, false);
}

void LanguagePickerViewController::viewDidLayoutSubviews() {
    ui::ViewController::viewDidLayoutSubviews();
    SettingsLook::applyLayoutMargins(*view(), *view());
}

void LanguagePickerViewController::didSelectItem(ui::CollectionView& view, const ui::IndexPath& indexPath) {
    view.deselectItem(indexPath);
    if (m_dataSource->sectionIdentifier(indexPath.section) == Section::custom) {
        askForCustomCode();
        return;
    }
    const auto language = m_dataSource->itemIdentifier(indexPath);
    if (language) choose(*language);
}

void LanguagePickerViewController::askForCustomCode() {
    std::weak_ptr<LanguagePickerViewController> weakSelf = sharedAs<LanguagePickerViewController>();
    presentTextInputAlert(*this, "Other Language Code", "Enter the 3-letter language code for the language you prefer",
                          "Done", "Cancel", "Language Code", ui::KeyboardType::defaultType, {},
                          [weakSelf](std::optional<std::string> text) {
                              if (!text) return;
                              // Three user-perceived characters, stored exactly as typed.
                              if (ui::text_boundaries::graphemeBreaks(*text).size() != 3) return;
                              if (auto self = weakSelf.lock()) self->choose(Language{"", *text});
                          });
}

void LanguagePickerViewController::choose(const Language& language) {
    if (didSelectLanguage) didSelectLanguage(language);
    dismiss(true);
}

}  // namespace reelhaven
