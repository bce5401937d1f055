#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "library/open_url_delegate.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/paste_button.h"
#include "platform/ui/layout/stack_view.h"
#include "platform/ui/text/label.h"
#include "platform/ui/text/text_field.h"

namespace reelhaven {

// The Open URL page of the play sheet: "Cancel", the title "Open URL", the address field with the
// paste control, and "Play", which is enabled only while the text is one link of a site that
// may be played; a refused site says why. The field is emptied each time it appears. Main
// thread only.
class OpenURLView : public ui::View {
public:
    // The three hosts of the refused site: its short links, its main and its mobile host.
    static constexpr std::string_view restrictedHosts[] = {"youtu.be", "www.youtube.com", "m.youtube.com"};
    static constexpr const char* restrictionMessage =
        "Due to YouTube restrictions, playing from YouTube is not supported";

    // The lines the address field grows to before it stops (from system 16 on).
    static constexpr int kAddressLineLimit = 8;

    static std::shared_ptr<OpenURLView> create(std::shared_ptr<OpenURLDelegate> delegate, std::string url = " ");
    std::string className() const override { return "OpenURLView"; }

    const std::shared_ptr<OpenURLDelegate>& delegate() const { return m_delegate; }
    const std::string& url() const { return m_url; }

    // Whether `url` begins with "https://", "http://" or nothing and then one of the refused
    // hosts, case-sensitively, where that host ends (a port, a path, a query or the end).
    static bool isRestrictedSite(std::string_view url);
    bool isPlayEnabled() const;

    void play();
    void cancel();
    // What the paste control delivers: the first string becomes the text, on one line; none
    // changes nothing.
    void paste(const std::vector<std::string>& strings);
    void clearURL();

    const std::shared_ptr<ui::Button>& cancelButton() const { return m_cancelButton; }
    const std::shared_ptr<ui::Label>& restrictionLabel() const { return m_restrictionLabel; }
    const std::shared_ptr<ui::TextField>& addressField() const { return m_addressField; }
    // None on systems before 16, which have no paste control.
    const std::shared_ptr<ui::PasteButton>& pasteButton() const { return m_pasteButton; }
    const std::shared_ptr<ui::Button>& playButton() const { return m_playButton; }

    void didMoveToWindow() override;
    void traitCollectionDidChange(const ui::TraitCollection& previous) override;

protected:
    OpenURLView(std::shared_ptr<OpenURLDelegate> delegate, std::string url);

private:
    void build();
    // The text changed: the field, the message and the play button follow it.
    void setURL(std::string url);
    void refresh();
    double topPadding() const;

    std::shared_ptr<OpenURLDelegate> m_delegate;
    std::string m_url;
    std::shared_ptr<ui::StackView> m_stack;
    std::shared_ptr<ui::Button> m_cancelButton;
    std::shared_ptr<ui::Label> m_restrictionLabel;
    std::shared_ptr<ui::TextField> m_addressField;
    std::shared_ptr<ui::PasteButton> m_pasteButton;
    std::shared_ptr<ui::Button> m_playButton;
    std::shared_ptr<ui::LayoutConstraint> m_topConstraint;
};

}  // namespace reelhaven
