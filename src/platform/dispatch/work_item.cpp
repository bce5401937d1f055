#include "platform/dispatch/work_item.h"

#include "platform/dispatch/queue.h"

namespace dispatch {

std::shared_ptr<WorkItem> WorkItem::create(std::function<void()> work) {
    return std::shared_ptr<WorkItem>(new WorkItem(std::move(work)));
}

void WorkItem::perform() {
    if (!m_cancelled && m_work) m_work();
}

void Queue::async(const std::shared_ptr<WorkItem>& item) {
    async([item] { item->perform(); });
}

void Queue::asyncAfter(Duration delay, const std::shared_ptr<WorkItem>& item) {
    asyncAfter(delay, [item] { item->perform(); });
}

}  // namespace dispatch
