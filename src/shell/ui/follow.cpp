#include "follow.h"

namespace vx::ui {

namespace {
// Owned by the view, so destroyed with it, and the subscription with it.
class Following : public QObject {
public:
    Following(QObject* view, Observable::Subscription subscription)
        : QObject(view)
        , m_subscription(std::move(subscription)) {}

private:
    Observable::Subscription m_subscription;
};
} // namespace

void follow(QObject* view, Observable& holder, Observable::Observer observer) {
    new Following(view, holder.observe(std::move(observer)));
}

} // namespace vx::ui
