#include "library/open_url_view.h"

#include "library/string_extensions.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/text/text_editing.h"
#include "platform/ui/views/platform_version.h"
#include "toolkit/device_flag.h"

namespace reelhaven {

namespace {

// SwiftUI's default spacing between the rows of a stack, and the padding around a button.
constexpr double kRowSpacing = 8;
constexpr double kButtonPadding = 16;

// Takes the width a row leaves over; it has no height of its own.
std::shared_ptr<ui::View> spacer() {
    auto view = ui::View::create();
    view->setContentHuggingPriority(1, ui::LayoutAxis::horizontal);
    ui::LayoutConstraint::activate({view->heightAnchor().constraintEqualToConstant(0)});
    return view;
}

std::shared_ptr<ui::StackView> row(std::vector<std::shared_ptr<ui::View>> views, double spacing = 0) {
    auto stack = ui::StackView::create(std::move(views));
    stack->setAxis(ui::LayoutAxis::horizontal);
    stack->setAlignment(ui::StackViewAlignment::center);
    stack->setSpacing(spacing);
    return stack;
}

}  // namespace

std::shared_ptr<OpenURLView> OpenURLView::create(std::shared_ptr<OpenURLDelegate> delegate, std::string url) {
    auto view = ui::make<OpenURLView>(std::move(delegate), std::move(url));
    view->build();
    return view;
}

OpenURLView::OpenURLView(std::shared_ptr<OpenURLDelegate> delegate, std::string url)
    : ui::View(ui::Rect{}), m_delegate(std::move(delegate)), m_url(std::move(url)) {}

bool OpenURLView::isRestrictedSite(std::string_view url) {
    for (const std::string_view scheme : {"https://", "http://", ""}) {
        for (const auto host : restrictedHosts) {
            if (url.substr(0, scheme.size()) != scheme) continue;
            const auto rest = url.substr(scheme.size());
            if (rest.substr(0, host.size()) != host) continue;
            // The host must end here: "youtu.beach.example" is another site.
            if (rest.size() == host.size()) return true;
            const char next = rest[host.size()];
            if (next == '/' || next == ':' || next == '?' || next == '#') return true;
        }
    }
    return false;
}

bool OpenURLView::isPlayEnabled() const { return isValidURL(m_url) && !isRestrictedSite(m_url); }

void OpenURLView::build() {
    setBackgroundColor(ui::Color::systemGray6());
    std::weak_ptr<OpenURLView> weak = sharedAs<OpenURLView>();

    m_cancelButton = ui::Button::create(ui::ButtonType::system);
    m_cancelButton->setTitle("Cancel", ui::normal);
    m_cancelButton->titleLabel()->setFont(ui::Font::systemFont(17));
    m_cancelButton->setContentHuggingPriority(1000, ui::LayoutAxis::horizontal);
    m_cancelButton->addAction(ui::Action::create("",
                                                 [weak](ui::Action&) {
                                                     if (auto self = weak.lock()) self->cancel();
                                                 }),
                              ui::touchUpInside);

    auto title = ui::Label::create();
    title->setText("Open URL");
    title->setFont(ui::Font::systemFont(28, ui::FontWeight::bold));

    m_restrictionLabel = ui::Label::create();
    m_restrictionLabel->setText(restrictionMessage);
    m_restrictionLabel->setFont(ui::Font::systemFont(17, ui::FontWeight::medium));
    m_restrictionLabel->setTextColor(ui::Color::secondaryLabel());
    m_restrictionLabel->setNumberOfLines(0);

    m_addressField = ui::TextField::create();
    m_addressField->setPlaceholder("https://");
    m_addressField->setBorderStyle(ui::TextFieldBorderStyle::roundedRect);
    m_addressField->setTextContentType("url");
    m_addressField->setKeyboardType(ui::KeyboardType::url);
    m_addressField->setAutocapitalizationType(ui::TextAutocapitalizationType::none);
    m_addressField->setAutocorrectionType(ui::TextAutocorrectionType::no);
    m_addressField->setFont(ui::Font::systemFont(18));
    // From 16 on the field grows with a long address, up to 8 lines; before, it stays one line.
    if (ui::PlatformVersion::isAtLeast(16)) m_addressField->setLineLimit(kAddressLineLimit);
    m_addressField->setContentHuggingPriority(1, ui::LayoutAxis::horizontal);
    m_addressField->addAction(ui::Action::create("",
                                                 [weak](ui::Action&) {
                                                     auto self = weak.lock();
                                                     if (self) self->setURL(self->m_addressField->text().value_or(""));
                                                 }),
                              ui::editingChanged);
    // Return plays, as the play button would while it is enabled.
    m_addressField->addAction(ui::Action::create("",
                                                 [weak](ui::Action&) {
                                                     auto self = weak.lock();
                                                     if (self && self->isPlayEnabled()) self->play();
                                                 }),
                              ui::editingDidEndOnExit);
    std::vector<std::shared_ptr<ui::View>> addressRow{m_addressField};
    if (ui::PlatformVersion::isAtLeast(16)) {
        m_pasteButton =
            ui::PasteButton::create(ui::PasteButton::DisplayMode::iconOnly, ui::PasteButton::CornerStyle::capsule);
        m_pasteButton->setContentHuggingPriority(1000, ui::LayoutAxis::horizontal);
        m_pasteButton->onPaste = [weak](const std::vector<std::string>& strings) {
            if (auto self = weak.lock()) self->paste(strings);
        };
        addressRow.push_back(m_pasteButton);
    }

    m_playButton = ui::Button::create(ui::ButtonType::system);
    m_playButton->setTitle("Play ", ui::normal);
    m_playButton->setImage(ui::Image::systemImage("play.fill"), ui::normal);
    m_playButton->titleLabel()->setFont(ui::Font::systemFont(17, ui::FontWeight::semibold));
    m_playButton->setTitleColor(ui::Color::white(), ui::normal);
    m_playButton->setTitleColor(ui::Color::white(), ui::disabled);
    m_playButton->setTintColor(ui::Color::white());
    m_playButton->setContentEdgeInsets({kButtonPadding, kButtonPadding, kButtonPadding, kButtonPadding});
    m_playButton->layer().setCornerRadius(30);
    m_playButton->setContentHuggingPriority(1000, ui::LayoutAxis::horizontal);
    m_playButton->addAction(ui::Action::create("",
                                               [weak](ui::Action&) {
                                                   if (auto self = weak.lock()) self->play();
                                               }),
                            ui::touchUpInside);

    auto cancelRow = row({spacer(), m_cancelButton});
    auto fieldRow = row(addressRow, m_pasteButton ? 10 : 0);
    auto leftOfPlay = spacer();
    auto rightOfPlay = spacer();
    auto playRow = row({leftOfPlay, m_playButton, rightOfPlay});

    m_stack = ui::StackView::create({cancelRow, title, m_restrictionLabel, fieldRow, playRow});
    m_stack->setAxis(ui::LayoutAxis::vertical);
    m_stack->setAlignment(ui::StackViewAlignment::leading);
    m_stack->setSpacing(kRowSpacing);
    m_stack->setCustomSpacing(kRowSpacing + 5, title);
    m_stack->setCustomSpacing(kRowSpacing + 20, fieldRow);
    m_stack->setTranslatesAutoresizingMaskIntoConstraints(false);
    addSubview(m_stack);

    const double side = isPad() ? 20 : 16;
    // Below the bar of the sheet it sits in, as hosted content keeps to the safe area.
    m_topConstraint = m_stack->topAnchor().constraint(safeAreaLayoutGuide()->topAnchor(), topPadding());
    std::vector<std::shared_ptr<ui::LayoutConstraint>> constraints{
        m_topConstraint,
        m_stack->leadingAnchor().constraint(leadingAnchor(), side),
        m_stack->trailingAnchor().constraint(trailingAnchor(), -side),
        leftOfPlay->widthAnchor().constraint(rightOfPlay->widthAnchor()),
    };
    // The rows that lay out across the sheet take its whole width; the rest keep to the leading edge.
    for (const auto& wide : {cancelRow, fieldRow, playRow})
        constraints.push_back(wide->widthAnchor().constraint(m_stack->widthAnchor()));
    ui::LayoutConstraint::activate(constraints);
    refresh();
}

double OpenURLView::topPadding() const {
    return traitCollection().verticalSizeClass == ui::UserInterfaceSizeClass::regular ? 18 : 4;
}

void OpenURLView::traitCollectionDidChange(const ui::TraitCollection& previous) {
    ui::View::traitCollectionDidChange(previous);
    if (m_topConstraint) m_topConstraint->setConstant(topPadding());
}

void OpenURLView::didMoveToWindow() {
    ui::View::didMoveToWindow();
    if (!window()) return;
    // Made before it joined a window, the sheet took its padding from no size class at all.
    if (m_topConstraint) m_topConstraint->setConstant(topPadding());
    clearURL();  // the field appears
}

void OpenURLView::setURL(std::string url) {
    m_url = std::move(url);
    if (m_addressField->text().value_or("") != m_url) m_addressField->setText(m_url);
    refresh();
}

void OpenURLView::refresh() {
    const bool restricted = isRestrictedSite(m_url);
    m_restrictionLabel->setHidden(!restricted);
    const bool enabled = isValidURL(m_url) && !restricted;
    m_playButton->setEnabled(enabled);
    m_playButton->setBackgroundColor(enabled ? ui::Color::systemBlue() : ui::Color::systemGray());
}

void OpenURLView::play() {
    ui::checkMainThread();
    m_delegate->url = m_url;
    m_delegate->didChange.send(m_url);
}

void OpenURLView::cancel() {
    ui::checkMainThread();
    if (auto host = m_delegate->host()) host->dismiss(true);
}

void OpenURLView::paste(const std::vector<std::string>& strings) {
    ui::checkMainThread();
    if (strings.empty()) return;
    // As typed text is: an address is one line, which the field only wraps when it is long, so a
    // copied line break or another control character becomes a space (which, as any space
    // around a link, leaves Play disabled rather than open something the field does not show).
    setURL(ui::TextEditing::singleLine(strings.front()));
}

void OpenURLView::clearURL() { setURL(""); }

}  // namespace reelhaven
