// xsettle: time how long a window that is already on screen takes to show
// what a command asks of it. Finds the top-level window whose class contains
// CLASS, takes its picture, starts the command, then polls the window's
// pixels: the time of the last change before they stay still for STABLE ms,
// from the command's start.
//   gcc -O2 -Wall bench/xsettle.c -o /tmp/xsettle -lX11
//   xsettle -n CLASS [-p POLL_MS] [-s STABLE_MS] [-T TIMEOUT_S] -- command args...
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Matched by the window's class (WM_CLASS), which stays plain ASCII
// whatever the title holds.
static Window find(Display *d, Window w, const char *name)
{
    XClassHint hint = {0};
    XWindowAttributes a;
    if (XGetClassHint(d, w, &hint)) {
        int match = (hint.res_name && strstr(hint.res_name, name)) ||
                    (hint.res_class && strstr(hint.res_class, name));
        if (hint.res_name)
            XFree(hint.res_name);
        if (hint.res_class)
            XFree(hint.res_class);
        if (match && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable)
            return w;
    }
    Window root, parent, *children = NULL;
    unsigned int n = 0;
    Window found = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &n)) {
        for (unsigned int i = 0; i < n && !found; i++)
            found = find(d, children[i], name);
        if (children)
            XFree(children);
    }
    return found;
}

static unsigned long checksum(Display *d, Window w)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a))
        return 0;
    XImage *img = XGetImage(d, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!img)
        return 0;
    unsigned long sum = 1469598103934665603UL;
    for (int y = 0; y < a.height; y++)
        for (int x = 0; x < a.width; x++)
            sum = (sum ^ XGetPixel(img, x, y)) * 1099511628211UL;
    XDestroyImage(img);
    return sum;
}

int main(int argc, char **argv)
{
    const char *name = NULL;
    int poll = 5, stable = 1500, opt;
    double timeout = 30000;
    while ((opt = getopt(argc, argv, "n:p:s:T:")) != -1) {
        switch (opt) {
        case 'n': name = optarg; break;
        case 'p': poll = atoi(optarg); break;
        case 's': stable = atoi(optarg); break;
        case 'T': timeout = atof(optarg) * 1000; break;
        default: return 2;
        }
    }
    if (!name || optind >= argc) {
        fprintf(stderr, "usage: xsettle -n NAME [-p MS] [-s MS] [-T S] -- command...\n");
        return 2;
    }
    Display *d = XOpenDisplay(NULL);
    if (!d)
        return 1;
    Window w = find(d, DefaultRootWindow(d), name);
    if (!w) {
        fprintf(stderr, "xsettle: no window of the class \"%s\"\n", name);
        return 1;
    }
    unsigned long last = checksum(d, w);
    const double start = now_ms();
    pid_t child = fork();
    if (child == 0) {
        execvp(argv[optind], argv + optind);
        _exit(127);
    }
    double changed = -1, still = start;
    while (now_ms() - start < timeout) {
        usleep(poll * 1000);
        unsigned long sum = checksum(d, w);
        double t = now_ms();
        if (sum != last) {
            last = sum;
            changed = t - start;
            still = t;
        } else if (changed >= 0 && t - still >= stable) {
            break;
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    printf("SETTLED_MS %.1f\n", changed);
    return changed < 0;
}
