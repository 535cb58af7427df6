// The events front ends make most, and the queue of those made ahead of the loop.
#include "shell/event_queue.h"

namespace {

// One system message makes at most a few events, and the loop takes them
// before the next message.
constexpr int CAPACITY = 16;
platform_event waiting[CAPACITY];
int first = 0;
int count = 0;

}  // namespace

// The fields in their order: kind, key, minimised, width, height, code, x, y.
platform_event quit_event(int code)
{
    return {PLATFORM_EVENT_QUIT, 0, false, 0, 0, code, 0, 0};
}

platform_event resize_event(int width, int height)
{
    return {PLATFORM_EVENT_RESIZE, 0, false, width, height, 0, 0, 0};
}

platform_event activate_event(bool minimised)
{
    return {PLATFORM_EVENT_ACTIVATE, 0, minimised, 0, 0, 0, 0, 0};
}

void push_event(const platform_event& event)
{
    if (count == CAPACITY) return;
    waiting[(first + count) % CAPACITY] = event;
    ++count;
}

bool pop_event(platform_event& event)
{
    if (count == 0) return false;
    event = waiting[first];
    first = (first + 1) % CAPACITY;
    --count;
    return true;
}

bool events_waiting()
{
    return count > 0;
}

void forget_events()
{
    first = count = 0;
}
