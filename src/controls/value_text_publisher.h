#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "platform/foundation/cancellable.h"
#include "platform/foundation/current_value_subject.h"
#include "platform/ui/text/attributed_string.h"

namespace reelhaven {

// A publisher of value texts that never fails, type-erased: `sink` hands the subscriber the
// current text at once and then every new one, on the publishing thread, until the returned
// Cancellable ends. Copies share the source.
class ValueTextPublisher {
public:
    using Text = std::shared_ptr<ui::AttributedString>;
    using Subscribe = std::function<foundation::Cancellable(std::function<void(const Text&)>)>;

    explicit ValueTextPublisher(Subscribe subscribe) : m_subscribe(std::move(subscribe)) {}

    // The texts `transform` makes of each value of `subject`.
    template <typename T>
    static ValueTextPublisher mapping(foundation::CurrentValueSubject<T> subject,
                                      std::function<Text(const T&)> transform) {
        return ValueTextPublisher([subject, transform](std::function<void(const Text&)> receive) mutable {
            return subject.sink([transform, receive](const T& value) { receive(transform(value)); });
        });
    }

    [[nodiscard]] foundation::Cancellable sink(std::function<void(const Text&)> receive) const {
        return m_subscribe(std::move(receive));
    }

private:
    Subscribe m_subscribe;
};

}  // namespace reelhaven
