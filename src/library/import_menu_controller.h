#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/controllers/table_view_controller.h"
#include "platform/ui/text/attributed_string.h"

namespace reelhaven {

class WebUploader;

// The root screen's import menu: a small popover table with "Import from Files" and the switch
// of the Wi-Fi transfer server, whose row shows the address to open in a browser. The row reads
// the server's state each time it is drawn. The choices go back through `onImportFiles` and
// `onToggleServer`. Main thread.
class ImportMenuController : public ui::TableViewController {
public:
    static constexpr double rowHeight = 90;
    static constexpr const char* importRowIdentifier = "importMethodCell";
    static constexpr const char* serverRowIdentifier = "importMethodSubtitleCell";

    static std::shared_ptr<ImportMenuController> create(std::shared_ptr<WebUploader> webServer);
    std::string className() const override { return "ImportMenuController"; }

    std::function<void()> onImportFiles;
    std::function<void()> onToggleServer;

    // The running row's detail: "Visit http://address using ..." with the address bold, and
    // ":port" after it when the server is not on port 80.
    static std::shared_ptr<ui::AttributedString> addressText(const std::string& address, std::uint16_t port);
    // Reloads the server row, so it shows the server's state now.
    void reloadServerRow();

    void viewDidLoad() override;
    int numberOfRows(ui::TableView& table, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRow(ui::TableView& table, const ui::IndexPath& indexPath) override;
    std::optional<double> heightForRow(ui::TableView& table, const ui::IndexPath& indexPath) override;
    void didSelectRow(ui::TableView& table, const ui::IndexPath& indexPath) override;

private:
    explicit ImportMenuController(std::shared_ptr<WebUploader> webServer);
    void configureServerRow(ui::TableViewCell& cell);

    std::shared_ptr<WebUploader> m_webServer;
};

}  // namespace reelhaven
