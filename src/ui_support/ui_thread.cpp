#include "ui_support/ui_thread.h"

#include <QMetaObject>
#include <QObject>

#include <memory>
#include <mutex>

namespace {

// The receiver as long as it lives. Posting to an object needs it alive at that moment; the lock
// keeps it from going while a post is under way, and Qt drops the posts still waiting when it goes.
struct Mailbox
{
    std::mutex lock;
    QObject* receiver = nullptr;
};

}  // namespace

std::function<void()> CallOnUiThread(QObject* receiver, std::function<void()> action)
{
    auto box = std::make_shared<Mailbox>();
    box->receiver = receiver;
    QObject::connect(receiver, &QObject::destroyed, [box] {
        const std::lock_guard hold(box->lock);
        box->receiver = nullptr;
    });
    auto shared = std::make_shared<const std::function<void()>>(std::move(action));
    return [box, shared] {
        const std::lock_guard hold(box->lock);
        if (box->receiver)
            QMetaObject::invokeMethod(
                box->receiver, [shared] { (*shared)(); }, Qt::QueuedConnection);
    };
}
