#pragma once

#include <functional>
#include <utility>

// A service whose work can be handed to someone else: the window presents message boxes, the
// command line prints them, tests record and answer them. The service asks current() and does its
// own default work when no handler is installed. There is one handler per Tag for the whole
// process; a service derives from this with itself as the Tag.
template <typename Tag, typename Signature>
class ReplaceableHandler {
public:
    using Handler = std::function<Signature>;

    // Replaces the handler and returns the previous one, so that a caller can put it back. An
    // empty handler restores the service's default.
    static Handler install(Handler handler) { return std::exchange(slot(), std::move(handler)); }

    // A copy, so that a handler may install another while it runs.
    static Handler current() { return slot(); }

private:
    static Handler &slot()
    {
        static Handler handler;
        return handler;
    }
};
