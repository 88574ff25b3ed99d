#include "gui/platform/QtEventQueue.h"

#include <QMetaObject>

QtEventQueue::QtEventQueue() : m_receiver(std::make_unique<QObject>()) {}

QtEventQueue::~QtEventQueue() = default;

void QtEventQueue::Post(std::function<void()> call) {
    QMetaObject::invokeMethod(m_receiver.get(), std::move(call), Qt::QueuedConnection);
}
