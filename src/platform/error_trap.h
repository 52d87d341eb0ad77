#pragma once

#include "runtime_error.h"

#include <QLoggingCategory>
#include <optional>
#include <utility>

namespace vx {

// Each handler traps run-time errors in one of four ways:
//  - not at all: the error leaves the handler and the event dispatch reports it
//    (see reportUntrapped in untrapped.h);
//  - skip the failed step and go on with the next: ResumeNext;
//  - the same, branching on chosen error numbers: ResumeNext, then look at error();
//  - end the handler at the first failure and react to it: endOnError, with continueOn for a
//    number after which the handler goes on.

// Runs steps one by one; a step that raises a run-time error is abandoned, the error is kept as
// the pending error, and the caller goes on with its next step.
class ResumeNext {
public:
    using Category = const QLoggingCategory& (*)();

    ResumeNext() = default;
    // Each error skipped is also told to the category (log_categories.h), for a fault report.
    explicit ResumeNext(Category category)
        : m_category(category) {}

    template <class Step> bool operator()(Step&& step) {
        try {
            std::forward<Step>(step)();
            return true;
        } catch (const RuntimeError& e) {
            m_error = e;
            if (m_category)
                qCInfo(m_category).noquote() << "skipped:" << e.number() << e.description();
            return false;
        }
    }

    // The error of the latest failed step since the last clear(), if any.
    const std::optional<RuntimeError>& error() const { return m_error; }
    int number() const { return m_error ? m_error->number() : 0; }
    void clear() { m_error.reset(); }

private:
    std::optional<RuntimeError> m_error;
    Category m_category = nullptr;
};

// Runs one step of a handler that ends at its first failure, except that a failure with the chosen
// number runs the reaction and lets the handler go on with its next step.
template <class Step, class Reaction>
void continueOn(int number, Step&& step, Reaction&& reaction) {
    try {
        std::forward<Step>(step)();
    } catch (const RuntimeError& e) {
        if (e.number() != number)
            throw;
        std::forward<Reaction>(reaction)();
    }
}

// Runs the body; the first run-time error ends it and is handed to the reaction.
template <class Body, class Reaction> void endOnError(Body&& body, Reaction&& reaction) {
    try {
        std::forward<Body>(body)();
    } catch (const RuntimeError& e) {
        std::forward<Reaction>(reaction)(e);
    }
}

} // namespace vx
