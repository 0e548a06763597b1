// Start-up of the real korvel, pandrel and lisgar under Xvfb, interleaved with an empty Qt
// Widgets window and with each program's bare form: its main window built from the same .ui,
// promoted controls and all, and shown with none of the program's work. The fair floor of a
// program is its bare form; the empty window is the floor of Qt itself. Each is timed from the
// start of the process to its main window being mapped, and to that window drawn with its
// controls (probe pixels inside controls showing neither the unpainted black nor the window's
// own background colour); program and bare form share the size and the probes, so the same
// event ends both. pandrel also opens its test choice: the bench says whether the window was
// drawn before the dialog appeared. Beside the wall times it gives the CPU time each process
// had used when its window was drawn, the figure that stays put on a busy machine, and the
// median over the rounds of each program's time over its bare form's in the same round.
// Usage: bench_startup [rounds=10]; KORVEL, PANDREL or LISGAR in the environment names another
// build of that program to measure; KORVEL_BEFORE, PANDREL_BEFORE and LISGAR_BEFORE name a
// second build measured in the same rounds, to compare two versions side by side.
// BENCH_DISPLAYS=50-59 picks the Xvfb displays to try (40-49 unless set).
#include "bench/bench.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <string>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Probe {
    int x, y;  // in the main window's client area
};

struct Program {
    std::string name, path;
    int width = 0, height = 0;  // the main window's size; 0: the first window mapped
    unsigned background = 0;    // the window colour, 0xRRGGBB
    std::vector<Probe> probes;
    bool opensDialog = false;
    std::string dir;  // the folder it starts in; empty: the bench's own
    int floor = -1;   // the index of its bare form; -1: it is a floor itself
};

struct Run {
    double mapped = -1, drawn = -1, dialog = -1;  // ms from the start; -1: not seen
    double cpuDrawn = -1;                         // ms of CPU the process had used when drawn
};

// The CPU time of all the process's threads so far, from the scheduler's own account (ns):
// unlike the wall clock it hardly moves when other work shares the machine.
double cpuMs(pid_t pid) {
    double ns = 0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code ec;
    for (const auto& t : std::filesystem::directory_iterator(tasks, ec)) {
        unsigned long long run = 0;
        if (FILE* f = std::fopen((t.path() / "schedstat").c_str(), "r")) {
            if (std::fscanf(f, "%llu", &run) == 1) ns += double(run);
            std::fclose(f);
        }
    }
    return ns / 1e6;
}

double msSince(bench::Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(bench::Clock::now() - t0).count();
}

std::string programOr(const char* variable, const char* built) {
    const char* other = std::getenv(variable);
    return other && *other ? other : built;
}

int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::string& dir = {}) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (!dir.empty() && chdir(dir.c_str()) != 0) _exit(127);
        for (const auto& kv : env) putenv(const_cast<char*>(kv.c_str()));
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        setpgid(0, 0);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

void stop(pid_t pid) {
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

bool drawn(Display* d, Window root, int x0, int y0, const Program& p) {
    for (const Probe& pr : p.probes) {
        XImage* img = XGetImage(d, root, x0 + pr.x, y0 + pr.y, 1, 1, AllPlanes, ZPixmap);
        if (!img) return false;
        const unsigned px = unsigned(XGetPixel(img, 0, 0)) & 0xFFFFFF;
        XDestroyImage(img);
        if (px == 0 || px == p.background) return false;
    }
    return true;
}

Run runOnce(Display* d, const Program& p, const std::vector<std::string>& env) {
    const Window root = DefaultRootWindow(d);
    XSync(d, False);
    while (XPending(d)) {
        XEvent e;
        XNextEvent(d, &e);
    }
    Run r;
    Window main = 0;
    int x0 = 0, y0 = 0;
    const auto t0 = bench::Clock::now();
    const pid_t pid = spawn({p.path}, env, p.dir);
    const int fd = ConnectionNumber(d);
    while (msSince(t0) < 15000) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type != MapNotify || e.xmap.event != root) continue;
            const double at = msSince(t0);
            XWindowAttributes a;
            if (!XGetWindowAttributes(d, e.xmap.window, &a)) continue;
            if (!main && (p.width == 0 || (a.width == p.width && a.height == p.height))) {
                main = e.xmap.window;
                r.mapped = at;
                Window child;
                XTranslateCoordinates(d, main, root, 0, 0, &x0, &y0, &child);
            } else if (main != e.xmap.window && r.dialog < 0 && a.width > 50 && a.height > 50) {
                r.dialog = at;  // a tooltip or a menu is no dialog
            }
        }
        if (main && r.drawn < 0 && drawn(d, root, x0, y0, p)) {
            r.drawn = msSince(t0);
            r.cpuDrawn = cpuMs(pid);
        }
        if (r.drawn >= 0 && (!p.opensDialog || r.dialog >= 0)) break;
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(fd, &fds);
        timeval tv{0, 1000};
        select(fd + 1, &fds, nullptr, nullptr, &tv);
    }
    stop(pid);
    XSync(d, False);
    return r;
}

// A TCP port nobody listens on now, for the server to listen on in every round.
int freePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    int port = 0;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&a), n) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n) == 0)
        port = ntohs(a.sin_port);
    if (fd >= 0) close(fd);
    return port;
}

struct Xvfb {
    pid_t pid = -1;
    std::string display;
    Display* d = nullptr;

    Xvfb(int first, int last) {
        for (int n = first; n <= last && !d; ++n) {
            char lock[32], name[8];
            std::snprintf(lock, sizeof lock, "/tmp/.X%d-lock", n);
            std::snprintf(name, sizeof name, ":%d", n);
            if (std::filesystem::exists(lock)) continue;
            display = name;
            pid = spawn({"/usr/bin/Xvfb", display, "-screen", "0", "1280x1024x24", "-br",
                         "-nolisten", "tcp"},
                        {});
            for (int i = 0; i < 100 && !d; ++i) {
                usleep(50000);
                d = XOpenDisplay(display.c_str());
            }
            if (!d) stop(pid);
        }
    }
    ~Xvfb() {
        if (d) XCloseDisplay(d);
        if (pid > 0) {
            // Asked, not killed: it removes its lock file, so the display is free again.
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    int first = 40, last = 49;
    if (const char* range = std::getenv("BENCH_DISPLAYS"))
        if (std::sscanf(range, "%d-%d", &first, &last) != 2 || first > last) {
            std::fprintf(stderr, "BENCH_DISPLAYS: expected a range such as 50-59\n");
            return 1;
        }
    Xvfb x(first, last);
    if (!x.d) {
        std::fprintf(stderr, "no free Xvfb display in :%d-:%d\n", first, last);
        return 1;
    }
    XSetErrorHandler(ignoreXErrors);
    XSelectInput(x.d, DefaultRootWindow(x.d), SubstructureNotifyMask);

    char runtime[] = "/tmp/bench-startup-XXXXXX";
    char drive[] = "/tmp/bench-drive-XXXXXX";
    char serverDir[] = "/tmp/bench-server-XXXXXX";
    if (!mkdtemp(runtime) || !mkdtemp(drive) || !mkdtemp(serverDir)) return 1;
    // The server reads its port from the folder it starts in; without the file it shows a box
    // before its window.
    std::ofstream(std::string(serverDir) + "/port.txt") << freePort() << "\r\n";
    const std::vector<std::string> env = {"DISPLAY=" + x.display, "QT_QPA_PLATFORM=xcb",
                                          std::string("XDG_RUNTIME_DIR=") + runtime,
                                          std::string("TESTSUITE_DRIVE_C=") + drive};

    // Each program comes right after its bare form, which shares its size and probes.
    std::vector<Program> programs = {
        {"empty Qt window", BENCH_EMPTY_WINDOW, 0, 0, 0, {{320, 240}}, false, {}, -1},
        // Button9 and btExit of the start window, on its green-grey ground.
        {"korvel bare form",
         BENCH_BARE_KORVEL,
         476,
         334,
         0xC0DCC0,
         {{14, 45}, {404, 45}},
         false,
         {},
         -1},
        // "Выход" and "Проверка ответа" at the bottom, the name field at the top, on navy.
        {"pandrel bare form",
         BENCH_BARE_PANDREL,
         1007,
         688,
         0x003050,
         {{844, 653}, {236, 653}, {300, 110}},
         false,
         {},
         -1},
        // "Сохранение протокола" and "Выход" at the bottom, the log above them, on navy.
        {"lisgar bare form",
         BENCH_BARE_LISGAR,
         1004,
         686,
         0x003050,
         {{300, 660}, {940, 660}, {500, 300}},
         false,
         serverDir,
         -1},
    };
    const struct {
        const char *name, *variable, *before, *built;
        bool opensDialog;
    } real[] = {
        {"korvel", "KORVEL", "KORVEL_BEFORE", BENCH_KORVEL, false},
        {"pandrel", "PANDREL", "PANDREL_BEFORE", BENCH_PANDREL, true},
        {"lisgar", "LISGAR", "LISGAR_BEFORE", BENCH_LISGAR, false},
    };
    const size_t floors = programs.size();
    size_t pandrel = 0;
    for (size_t k = 0; k < std::size(real); ++k) {
        Program p = programs[k + 1];
        p.name = real[k].name;
        p.path = programOr(real[k].variable, real[k].built);
        p.opensDialog = real[k].opensDialog;
        p.floor = int(k + 1);
        if (p.opensDialog) pandrel = programs.size();
        programs.push_back(p);
        if (const char* before = std::getenv(real[k].before); before && *before) {
            p.name += " before";
            p.path = before;
            programs.push_back(p);
        }
    }
    std::vector<std::vector<Run>> runs(programs.size());
    for (int i = 0; i < rounds; ++i)
        for (size_t j = 0; j < programs.size(); ++j) {
            const size_t k = (size_t(i) + j) % programs.size();
            runs[k].push_back(runOnce(x.d, programs[k], env));
        }
    std::filesystem::remove_all(runtime);
    std::filesystem::remove_all(drive);
    std::filesystem::remove_all(serverDir);

    auto medianOf = [&](size_t k, double Run::*m) {
        std::vector<double> v;
        for (const Run& r : runs[k])
            if (r.*m >= 0) v.push_back(r.*m);
        return bench::median(v);
    };
    // A program over its floor, round by round: a burst of load that slows one round slows
    // both of its runs.
    auto medianRatio = [&](size_t k, size_t base, double Run::*m) {
        std::vector<double> v;
        for (size_t i = 0; i < runs[k].size(); ++i)
            if (runs[k][i].*m > 0 && runs[base][i].*m > 0)
                v.push_back(runs[k][i].*m / runs[base][i].*m);
        return bench::median(v);
    };
    for (size_t k = 0; k < programs.size(); ++k) {
        int missed = 0;
        for (const Run& r : runs[k]) missed += r.drawn < 0;
        std::printf(
            "%-18s mapped %.1f ms, drawn %.1f ms, CPU until drawn %.1f ms (median of %d "
            "runs%s)\n",
            programs[k].name.c_str(), medianOf(k, &Run::mapped), medianOf(k, &Run::drawn),
            medianOf(k, &Run::cpuDrawn), rounds, missed ? ", some never drawn" : "");
    }
    for (size_t k = floors; k < programs.size(); ++k) {
        const size_t b = size_t(programs[k].floor);
        std::printf(
            "%-18s over its bare form, median of the rounds' ratios: drawn %.2f, mapped %.2f, "
            "CPU %.2f\n",
            programs[k].name.c_str(), medianRatio(k, b, &Run::drawn),
            medianRatio(k, b, &Run::mapped), medianRatio(k, b, &Run::cpuDrawn));
    }
    // Each program against its bare form, then each bare form and program against the empty
    // window.
    auto reportAll = [&](size_t k, size_t base, const std::string& against) {
        const std::string name = programs[k].name + " vs " + against;
        bench::report("start-up to window drawn, " + name, medianOf(k, &Run::drawn),
                      medianOf(base, &Run::drawn));
        bench::report("start-up to window mapped, " + name, medianOf(k, &Run::mapped),
                      medianOf(base, &Run::mapped));
        bench::report("CPU until window drawn, " + name, medianOf(k, &Run::cpuDrawn),
                      medianOf(base, &Run::cpuDrawn));
    };
    for (size_t k = floors; k < programs.size(); ++k)
        reportAll(k, size_t(programs[k].floor), "its bare form");
    for (size_t k = 1; k < programs.size(); ++k) reportAll(k, 0, "empty window");
    int before = 0;
    for (const Run& r : runs[pandrel])
        before += r.drawn >= 0 && r.dialog >= 0 && r.drawn < r.dialog;
    std::printf(
        "pandrel: test-choice dialog mapped at %.1f ms (median); window drawn before it in %d of "
        "%d runs\n",
        medianOf(pandrel, &Run::dialog), before, rounds);
    return 0;
}
