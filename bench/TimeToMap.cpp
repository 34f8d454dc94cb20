// Starts a program and prints how long it took until its first top-level window was mapped on the X server
// (DISPLAY), in milliseconds, then ends the program. The peer of a window's start-up time.
//
//   time-to-map PROGRAM [ARG...]
#include <xcb/xcb.h>

#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: time-to-map PROGRAM [ARG...]\n");
        return 2;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "time-to-map: no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
    xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr); // the mask is in place before the start

    const double start = Now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    double mapped = -1;
    while (xcb_generic_event_t* e = xcb_wait_for_event(c)) {
        const bool isMap = (e->response_type & 0x7F) == XCB_MAP_NOTIFY &&
                           reinterpret_cast<xcb_map_notify_event_t*>(e)->event == root;
        std::free(e);
        if (isMap) {
            mapped = Now() - start;
            break;
        }
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    xcb_disconnect(c);
    if (mapped < 0) return 1;
    std::printf("%.2f\n", mapped);
    return 0;
}
