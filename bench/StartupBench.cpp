// Usage: pourwise-startup-bench PROGRAM [ARGUMENT...]
// Starts the program on the X display of $DISPLAY and prints, on one line: the milliseconds from
// starting it to the first window mapped on the screen, the processor time it had used by then
// (all its threads, in milliseconds; unlike the first figure, hardly changed by other work on a
// busy machine), and its peak resident memory in kB half a second later, when its first window
// has been drawn. Then ends the program.

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

long peakResidentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// The time all threads of `pid` have run, from the scheduler's account in nanoseconds.
double processorMilliseconds(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double nanoseconds = 0;
    if (DIR *folder = opendir(tasks.c_str())) {
        while (const dirent *entry = readdir(folder)) {
            if (entry->d_name[0] == '.')
                continue;
            std::ifstream schedstat(tasks + "/" + entry->d_name + "/schedstat");
            double running = 0;
            if (schedstat >> running)
                nanoseconds += running;
        }
        closedir(folder);
    }
    return nanoseconds / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fputs("usage: pourwise-startup-bench PROGRAM [ARGUMENT...]\n", stderr);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("ERROR: cannot open the X display\n", stderr);
        return 2;
    }
    // Every window mapped on the screen, the program's own or its frame from a window manager.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);

    const auto started = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[1], argv + 1);
        std::fprintf(stderr, "ERROR: cannot start %s: %s\n", argv[1], std::strerror(errno));
        _exit(127);
    }
    XEvent event;
    do {
        XNextEvent(display, &event);
    } while (event.type != MapNotify);
    const double milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count();
    const double processor = processorMilliseconds(pid);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const long kilobytes = peakResidentKilobytes(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(display);
    std::printf("%.1f %.1f %ld\n", milliseconds, processor, kilobytes);
    return kilobytes > 0 ? 0 : 1;
}
