// Stop signals handled from the first moment a program runs, before main.
#include "shell/posix/stop_signals.h"

// A stop that comes before main is then seen by main like any other.
__attribute__((constructor)) static void handle_stops_early()
{
    install_stop_signals();
}
