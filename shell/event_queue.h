// The events front ends make most, and the queue of those made ahead of the loop.
#pragma once

#include "shell/platform.h"

platform_event quit_event(int code);
platform_event resize_event(int width, int height);
platform_event activate_event(bool minimised);

// Events made before the loop asks for them (a window's first size, what
// one system message meant), handed out first in, first out. A front end's
// poll_event hands these out before it looks at its system's queue. The
// queue holds a few events; when it is full, a new one is dropped.
void push_event(const platform_event& event);
bool pop_event(platform_event& event);
bool events_waiting();
// Forgets them all: they belonged to a window now closed.
void forget_events();
