#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/lists/collection_reusable_view.h"
#include "platform/ui/lists/table_view_header_footer_view.h"
#include "platform/ui/text/label.h"

namespace reelhaven {

// The section title plate of the options popover.
class OptionsHeaderView : public ui::CollectionReusableView {
public:
    static std::shared_ptr<OptionsHeaderView> create(const ui::Rect& frame = {});
    std::string className() const override { return "OptionsHeaderView"; }

    // The clear margin above the plate (and below and before it).
    static constexpr double plateInset = 5;

    const std::shared_ptr<ui::View>& innerContainer() const { return m_innerContainer; }
    const std::shared_ptr<ui::Label>& label() const { return m_label; }
    const std::optional<std::string>& title() const { return m_title; }
    void setTitle(std::optional<std::string> title) { m_title = std::move(title); }
    ui::Size intrinsicContentSize() const override;

protected:
    explicit OptionsHeaderView(const ui::Rect& frame);

private:
    std::shared_ptr<ui::View> m_innerContainer;
    std::shared_ptr<ui::Label> m_label;
    std::optional<std::string> m_title;
};

// The same plate as a table's section header (the audio and subtitle popover's).
class OptionsTableHeaderView : public ui::TableViewHeaderFooterView {
public:
    static std::shared_ptr<OptionsTableHeaderView> create(std::string reuseIdentifier = {});
    std::string className() const override { return "OptionsTableHeaderView"; }

    const std::shared_ptr<ui::View>& backgroundView() const { return m_backgroundView; }
    const std::shared_ptr<ui::View>& innerContainer() const { return m_innerContainer; }
    const std::shared_ptr<ui::Label>& label() const { return m_label; }
    const std::optional<std::string>& title() const { return m_title; }
    void setTitle(std::optional<std::string> title) { m_title = std::move(title); }
    ui::Size intrinsicContentSize() const override;

protected:
    OptionsTableHeaderView();

private:
    std::shared_ptr<ui::View> m_backgroundView;
    std::shared_ptr<ui::View> m_innerContainer;
    std::shared_ptr<ui::Label> m_label;
    std::optional<std::string> m_title;
};

}  // namespace reelhaven
