#include "platform/ui/controllers/transitions_in_flight.h"

namespace ui {

namespace {

int g_inFlight = 0;  // main thread only, like every transition

}  // namespace

void TransitionsInFlight::Token::end() {
    if (m_ended) return;
    m_ended = true;
    --g_inFlight;
}

std::shared_ptr<TransitionsInFlight::Token> TransitionsInFlight::begin() {
    ++g_inFlight;
    return std::shared_ptr<Token>(new Token());
}

int TransitionsInFlight::count() { return g_inFlight; }

}  // namespace ui
