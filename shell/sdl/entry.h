// The entry shared by tarvelin and tarvelin_saver on SDL2.
#pragma once

// Generates the world, asks the interactive program's questions, opens the
// window and runs the loop. Returns the process exit code.
int run_program(bool saver_build);
