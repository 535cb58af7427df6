// tarvelin_saver: the lake-bottom screensaver build.
#include "shell/sdl/entry.h"

int main()
{
    return run_program(true);
}
