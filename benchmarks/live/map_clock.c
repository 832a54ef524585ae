/* Run by live_game.py: starts a program on the X display of $DISPLAY and
 * prints the milliseconds from its start (just before fork) to the first
 * window mapped on that display, then ends the program with SIGTERM.
 * Usage: map_clock <seconds to wait> <program> [arguments...]
 * Exit status 0, or 1 when no window was mapped in time. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static int64_t now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (int64_t)t.tv_sec * 1000000000 + t.tv_nsec;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: map_clock <seconds> <program> [arguments...]\n");
        return 1;
    }
    const double limit = atof(argv[1]);
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "map_clock: no X display\n");
        return 1;
    }
    /* Every window made a child of the root window reports its mapping here. */
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    const int64_t start = now();
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[2], argv + 2);
        _exit(127);
    }
    int64_t mapped = -1;
    struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
    while (mapped < 0 && (now() - start) / 1e9 < limit) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && mapped < 0) mapped = now();
        }
        if (mapped < 0) poll(&fd, 1, 50);
    }
    kill(child, SIGTERM);
    int status = 0;
    for (int i = 0; i < 50 && waitpid(child, &status, WNOHANG) == 0; ++i) usleep(100000);
    if (waitpid(child, &status, WNOHANG) == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    XCloseDisplay(display);
    if (mapped < 0) return 1;
    printf("%.1f\n", (mapped - start) / 1e6);
    return 0;
}
