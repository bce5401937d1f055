#include "library/import_menu_controller.h"

#include <limits>

#include "library/subtitle_table_view_cell.h"
#include "library/wifi_address.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/views/visual_effect_view.h"
#include "transfer/web_uploader.h"

namespace reelhaven {
namespace {

constexpr int kImportRow = 0;
constexpr int kServerRow = 1;

ui::Font interFont(const char* name, double size) {
    const auto font = ui::Font::named(name, size);
    if (!font) base::fatal(std::string("ImportMenuController: missing font ") + name);
    return *font;
}

std::shared_ptr<ui::Image> icon(const std::string& name) {
    ui::SymbolConfiguration configuration;
    configuration.pointSize = 36;
    configuration.weight = ui::SymbolWeight::light;
    configuration.scale = ui::SymbolScale::large;
    return ui::Image::systemImage(name, configuration);
}

}  // namespace

std::shared_ptr<ImportMenuController> ImportMenuController::create(std::shared_ptr<WebUploader> webServer) {
    return std::shared_ptr<ImportMenuController>(new ImportMenuController(std::move(webServer)));
}

ImportMenuController::ImportMenuController(std::shared_ptr<WebUploader> webServer)
    : ui::TableViewController(ui::TableViewStyle::plain), m_webServer(std::move(webServer)) {}

std::shared_ptr<ui::AttributedString> ImportMenuController::addressText(const std::string& address,
                                                                        std::uint16_t port) {
    std::string link = "http://" + address;
    // A server that could not have port 80 is reached on the one it got.
    if (port != 80) link += ":" + std::to_string(port);
    const ui::TextAttributes plain{{ui::AttributedStringKey::font(), interFont("Inter-Regular", 12)},
                                   {ui::AttributedStringKey::foregroundColor(), ui::Color::lightGray()}};
    const ui::TextAttributes bold{{ui::AttributedStringKey::font(), interFont("Inter-SemiBold", 12)},
                                  {ui::AttributedStringKey::foregroundColor(), ui::Color::white()}};
    return ui::AttributedString::create(
        {{"Visit ", plain},
         {link, bold},
         {" using a device on the same Wi-Fi network to transfer files to Reelhaven.", plain}});
}

void ImportMenuController::viewDidLoad() {
    ui::TableViewController::viewDidLoad();
    setClearsSelectionOnViewWillAppear(true);
    auto table = tableView();
    table->setBackgroundColor(ui::Color::clear());
    table->setBackgroundView(ui::VisualEffectView::create(ui::VisualEffectView::BlurStyle::dark));
    table->setSeparatorEffect(ui::VisualEffectView::BlurStyle::dark);
    table->registerCell(importRowIdentifier, [] { return ui::TableViewCell::create(); });
    table->registerCell(serverRowIdentifier, [] { return SubtitleTableViewCell::create(); });
    table->setScrollEnabled(false);
    table->setSeparatorStyle(ui::TableViewCellSeparatorStyle::singleLine);
    table->setSeparatorInset({0, 0, 0, 0});
    table->reloadData();
}

int ImportMenuController::numberOfRows(ui::TableView&, int) { return 2; }

std::optional<double> ImportMenuController::heightForRow(ui::TableView&, const ui::IndexPath&) { return rowHeight; }

std::shared_ptr<ui::TableViewCell> ImportMenuController::cellForRow(ui::TableView& table,
                                                                    const ui::IndexPath& indexPath) {
    const bool serverRow = indexPath.item == kServerRow;
    auto cell = table.dequeueReusableCell(serverRow ? serverRowIdentifier : importRowIdentifier, indexPath);
    cell->setBackgroundColor(ui::Color::clear());
    cell->setTintColor(ui::Color::white());
    auto selected = ui::View::create();
    selected->setBackgroundColor(ui::Color::gray());
    selected->setAlpha(0.2);
    cell->setSelectedBackgroundView(selected);
    cell->textLabel()->setTextColor(ui::Color::white());
    cell->textLabel()->setFont(interFont("Inter-Regular", 16));
    if (serverRow) {
        auto detail = cell->detailTextLabel();
        detail->setTextColor(ui::Color::white(1.0, 0.8));
        detail->setFont(interFont("Inter-Regular", 12));
        detail->setNumberOfLines(0);
        detail->setLineBreakMode(ui::LineBreakMode::byWordWrapping);
    }
    cell->imageView()->setContentMode(ui::ContentMode::scaleToFill);
    cell->setLayoutMargins({0, 30, 0, 0});
    if (serverRow) {
        // The last row: an inset this wide leaves no line under it.
        cell->setSeparatorInset(ui::EdgeInsets{0, 0, 0, std::numeric_limits<double>::max() / 2});
        configureServerRow(*cell);
    } else {
        cell->textLabel()->setText("Import from Files");
        cell->imageView()->setImage(icon("folder.circle"));
    }
    return cell;
}

void ImportMenuController::configureServerRow(ui::TableViewCell& cell) {
    if (!m_webServer || !m_webServer->isRunning()) {
        cell.textLabel()->setText("Enable local Wi-Fi Server");
        // A reused cell would still show the address of a server that no longer runs.
        cell.detailTextLabel()->setText(std::nullopt);
        cell.imageView()->setImage(icon("wifi.slash"));
        cell.imageView()->setTintColor(std::nullopt);
        return;
    }
    cell.textLabel()->setText("Wi-Fi Server Enabled");
    cell.imageView()->setImage(icon("wifi"));
    cell.imageView()->setTintColor(ui::Color::systemBlue());
    if (const auto address = getWiFiAddress())
        cell.detailTextLabel()->setAttributedText(addressText(*address, m_webServer->port()));
    else
        cell.detailTextLabel()->setText("You aren't connected to a Wi-Fi network.");
}

void ImportMenuController::reloadServerRow() {
    if (isViewLoaded()) tableView()->reloadRows({ui::IndexPath(0, kServerRow)});
}

void ImportMenuController::didSelectRow(ui::TableView& table, const ui::IndexPath& indexPath) {
    if (indexPath.item == kImportRow && onImportFiles) onImportFiles();
    if (indexPath.item == kServerRow && onToggleServer) onToggleServer();
    table.deselectRow(indexPath);
}

}  // namespace reelhaven
