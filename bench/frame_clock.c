/* Frame clock for tarvelin_render of any build: preloaded, it takes over
 * glFinish, which the headless frame loop calls once at the end of every
 * frame, and appends the time since the previous call, in milliseconds, to
 * the file named by FRAME_CLOCK_OUT (one line per frame from the second
 * frame on). With FRAME_CLOCK_CPU=1 it counts the CPU time of the whole
 * process (the renderer's threads included) instead of wall time. The
 * benchmark script uses it to time the title frames and the main-view frames
 * of a build that prints no per-frame figures itself. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static void (*real_finish)(void);
static FILE* out;
static double previous_ms = -1;
static clockid_t clock_id = CLOCK_MONOTONIC;

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(clock_id, &t);
    return (double)t.tv_sec * 1000.0 + (double)t.tv_nsec / 1e6;
}

void glFinish(void)
{
    if (!real_finish) {
        real_finish = (void (*)(void))dlsym(RTLD_NEXT, "glFinish");
        const char* name = getenv("FRAME_CLOCK_OUT");
        out = name ? fopen(name, "a") : NULL;
        const char* cpu = getenv("FRAME_CLOCK_CPU");
        if (cpu && cpu[0] == '1') clock_id = CLOCK_PROCESS_CPUTIME_ID;
    }
    if (real_finish) real_finish();
    const double now = now_ms();
    if (out && previous_ms >= 0) {
        fprintf(out, "%.4f\n", now - previous_ms);
        fflush(out);
    }
    previous_ms = now;
}
