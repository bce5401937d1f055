#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/collection_view_delegate.h"
#include "platform/ui/lists/collection_view_diffable_data_source.h"

namespace reelhaven {

// The list a preferred language is picked from: automatic, 31 fixed languages, or a three-letter
// code the user types. The creator sets the title, the stored code and the callback, then
// presents it in a navigation controller; a choice calls the callback once and closes the
// picker. Main thread.
class LanguagePickerViewController : public ui::ViewController, public ui::CollectionViewDelegate {
public:
    enum class Section { automatic, main, custom };

    // A choice: the name shown and the code stored (none for automatic).
    struct Language {
        std::string language;
        std::optional<std::string> code;

        bool operator==(const Language&) const = default;
        struct Hash {
            std::size_t operator()(const Language& value) const;
        };
    };
    using DataSource = ui::CollectionViewDiffableDataSource<Section, Language, Language::Hash>;

    static const Language& automaticLanguage();
    static const Language& customLanguage();
    // The fixed languages in list order, with their ISO 639-2 codes.
    static const std::vector<Language>& fixedLanguages();

    static std::shared_ptr<LanguagePickerViewController> create();
    std::string className() const override { return "LanguagePickerViewController"; }

    std::function<void(const Language&)> didSelectLanguage;
    std::optional<std::string> selectedLanguageCode;
    const std::vector<Language>& languages() const { return m_languages; }

    const std::shared_ptr<ui::CollectionView>& collectionView() const { return m_collectionView; }
    const std::shared_ptr<DataSource>& dataSource() const { return m_dataSource; }

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    StatusBarStyle preferredStatusBarStyle() const override { return StatusBarStyle::lightContent; }
    void didSelectItem(ui::CollectionView& view, const ui::IndexPath& indexPath) override;

    // Whether `language` carries the check mark for the stored code.
    static bool isChosen(const Language& language, const std::optional<std::string>& selectedCode);

protected:
    LanguagePickerViewController() : m_languages(fixedLanguages()) {}

private:
    void askForCustomCode();
    // Hands the choice on and closes the picker.
    void choose(const Language& language);

    std::shared_ptr<DataSource> m_dataSource;
    std::shared_ptr<ui::CollectionView> m_collectionView;
    std::vector<Language> m_languages;
};

}  // namespace reelhaven
