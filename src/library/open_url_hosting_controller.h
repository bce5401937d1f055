#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "library/open_url_view.h"
#include "platform/foundation/cancellable.h"
#include "platform/ui/controllers/view_controller.h"

namespace reelhaven {

// Shows an OpenURLView as its view, as a page of the root screen's play sheet.
class OpenURLHostingController : public ui::ViewController {
public:
    static std::shared_ptr<OpenURLHostingController> create(std::shared_ptr<OpenURLView> rootView);
    std::string className() const override { return "OpenURLHostingController"; }

    const std::shared_ptr<OpenURLView>& rootView() const { return m_rootView; }
    void loadView() override;

protected:
    explicit OpenURLHostingController(std::shared_ptr<OpenURLView> rootView) : m_rootView(std::move(rootView)) {}

private:
    std::shared_ptr<OpenURLView> m_rootView;
};

// What the root screen makes once: a delegate whose every address reaches `handler` for as long
// as `subscription` lives, the view holding " ", and the controller hosting it, which the
// delegate closes the sheet through.
std::shared_ptr<OpenURLHostingController> makeOpenURLController(
    std::function<void(const std::optional<std::string>&)> handler, foundation::Cancellable& subscription);

}  // namespace reelhaven
