#include "playback/reelhaven_view_controller.h"

// The gestures and keys of the player screen; filled in with the gesture work.
namespace reelhaven {

void ReelhavenViewController::setupGestures() {}

bool ReelhavenViewController::shouldReceiveTouch(ui::GestureRecognizer&, const ui::Touch&) { return true; }

void ReelhavenViewController::didTapScreen(ui::GestureRecognizer&) {}

void ReelhavenViewController::didMultitapScreen(ui::GestureRecognizer&) {}

void ReelhavenViewController::didPinchScreen(ui::GestureRecognizer&) {}

void ReelhavenViewController::didPanScreen(ui::GestureRecognizer&) {}

void ReelhavenViewController::pressesBegan(const std::vector<ui::Press>& presses) {
    ViewController::pressesBegan(presses);
}

void ReelhavenViewController::pressesEnded(const std::vector<ui::Press>& presses) {
    ViewController::pressesEnded(presses);
}

}  // namespace reelhaven
