/* Loaded into the game with LD_PRELOAD by live_game.py: records the start and
 * end of every present (SDL_RenderPresent or SDL_UpdateWindowSurface[Rects]
 * called by the game) as two CLOCK_MONOTONIC nanosecond counts, appended to
 * the file named by POMLETS_FLIP_LOG. The game itself is not changed. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static int logFd = -2;

static int64_t now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (int64_t)t.tv_sec * 1000000000 + t.tv_nsec;
}

static void record(int64_t start, int64_t end) {
    if (logFd == -2) {
        const char* path = getenv("POMLETS_FLIP_LOG");
        logFd = path ? open(path, O_WRONLY | O_CREAT | O_APPEND, 0644) : -1;
    }
    if (logFd < 0) return;
    int64_t pair[2] = {start, end};
    if (write(logFd, pair, sizeof pair) != (ssize_t)sizeof pair) return;
}

void SDL_RenderPresent(void* renderer) {
    static void (*real)(void*);
    if (!real) real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
    const int64_t start = now();
    real(renderer);
    record(start, now());
}

int SDL_UpdateWindowSurface(void* window) {
    static int (*real)(void*);
    if (!real) real = (int (*)(void*))dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface");
    const int64_t start = now();
    const int result = real(window);
    record(start, now());
    return result;
}

int SDL_UpdateWindowSurfaceRects(void* window, const void* rects, int count) {
    static int (*real)(void*, const void*, int);
    if (!real) real = (int (*)(void*, const void*, int))dlsym(RTLD_NEXT, "SDL_UpdateWindowSurfaceRects");
    const int64_t start = now();
    const int result = real(window, rects, count);
    record(start, now());
    return result;
}
