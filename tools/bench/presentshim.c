// A preload for SDL programs that times drawn frames: it counts SDL_RenderPresent calls, waits
// for the GPU after frame 20 and again FRAMES (default 300) frames later, prints the time
// between divided by FRAMES ("true <ms> ms/frame" on stderr) and ends the program.
// With FIRST_FRAME_FILE set it instead waits for the GPU after the first frame, creates that
// file (its time is when the first frame was drawn) and ends the program: the start-up benchmark.
// Build: gcc -O2 -shared -fPIC presentshim.c -o presentshim.so -ldl -lGL
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>
#include <GL/gl.h>
static double Now(void) { struct timespec t; clock_gettime(CLOCK_MONOTONIC, &t); return t.tv_sec * 1e3 + t.tv_nsec / 1e6; }
void SDL_RenderPresent(void* renderer)
{
    static void (*real)(void*);
    static int count, limit;
    static double t0;
    if (!real) { real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_RenderPresent"); limit = getenv("FRAMES") ? atoi(getenv("FRAMES")) : 300; }
    real(renderer);
    if (count == 0 && getenv("FIRST_FRAME_FILE")) {
        glFinish();
        FILE* marker = fopen(getenv("FIRST_FRAME_FILE"), "w");
        if (marker)
            fclose(marker);
        _exit(0);
    }
    if (++count == 20) { glFinish(); t0 = Now(); }
    if (count == 20 + limit) { glFinish(); fprintf(stderr, "true %.2f ms/frame\n", (Now() - t0) / limit); _exit(0); }
}
