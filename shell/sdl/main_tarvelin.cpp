// tarvelin: the interactive lake-bottom viewer.
#include "shell/sdl/entry.h"

int main()
{
    return run_program(false);
}
