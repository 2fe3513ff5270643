// Times a program from its start to its first paint, seen from outside, and reads its peak
// resident memory once it has painted.
//
//   brindle_firstpaint x11 X,Y[,RRGGBB]... -- program [arguments]
//   brindle_firstpaint offscreen -- program [arguments]
//
// x11: the program runs on the X server named by DISPLAY (Xvfb). It has painted when its 640 by
// 480 window is mapped and every probe pixel shows its expected colour. Probes given without a
// colour are learnt: the tool waits until the window has settled and prints each probe with the
// colour it shows, ready to be passed back.
// offscreen: nothing can be seen, so the first paint is taken as the moment the main thread first
// waits in its event loop: a shown window is painted on the loop's first pass, before it waits.
//
// Prints "first_paint_ms=<ms> vmhwm_kb=<kB>", and "probe_ms=<ms>" when the program itself wrote
// "painted <monotonic ns>" to its output on its first paint.

#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double TimeoutMs = 20000;
constexpr int SettleMs = 3000;

struct Probe
{
    int x = 0;
    int y = 0;
    std::optional<std::uint32_t> colour;
};

std::int64_t NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

void SleepUs(long microseconds)
{
    timespec pause{microseconds / 1000000, (microseconds % 1000000) * 1000};
    nanosleep(&pause, nullptr);
}

std::optional<Probe> ParseProbe(const std::string &text)
{
    Probe probe;
    char colour[16] = {};
    const int fields = std::sscanf(text.c_str(), "%d,%d,%15s", &probe.x, &probe.y, colour);
    if (fields < 2)
        return std::nullopt;
    if (fields == 3)
        probe.colour = std::uint32_t(std::strtoul(colour, nullptr, 16));
    return probe;
}

// The program's output, read without blocking; remembers the time its first paint reported.
class ChildOutput
{
public:
    explicit ChildOutput(int fd) : fd_(fd) { fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK); }

    void Drain()
    {
        char buffer[512];
        ssize_t got = 0;
        while ((got = read(fd_, buffer, sizeof buffer)) > 0)
            text_.append(buffer, std::size_t(got));
        const auto at = text_.find("painted ");
        if (!paintedNs_ && at != std::string::npos && text_.find('\n', at) != std::string::npos)
            paintedNs_ = std::stoll(text_.substr(at + 8));
    }

    std::optional<std::int64_t> PaintedNs() const { return paintedNs_; }

private:
    int fd_;
    std::string text_;
    std::optional<std::int64_t> paintedNs_;
};

// The mapped top-level window of at least 640 by 480 on the server, or none.
xcb_window_t FindWindow(xcb_connection_t *connection, xcb_window_t root)
{
    xcb_window_t found = XCB_NONE;
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
    if (!tree)
        return found;
    const xcb_window_t *children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree) && found == XCB_NONE; ++i) {
        auto *attributes =
            xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, children[i]), nullptr);
        auto *geometry = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, children[i]), nullptr);
        if (attributes && geometry && attributes->map_state == XCB_MAP_STATE_VIEWABLE && geometry->width >= 640 &&
            geometry->height >= 480)
            found = children[i];
        std::free(attributes);
        std::free(geometry);
    }
    std::free(tree);
    return found;
}

std::optional<std::uint32_t> PixelAt(xcb_connection_t *connection, xcb_window_t window, int x, int y)
{
    xcb_get_image_reply_t *image = xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, std::int16_t(x), std::int16_t(y), 1, 1, ~0u),
        nullptr);
    if (!image)
        return std::nullopt;
    std::optional<std::uint32_t> pixel;
    if (xcb_get_image_data_length(image) >= 4) {
        std::uint32_t value = 0;
        std::memcpy(&value, xcb_get_image_data(image), 4);
        pixel = value & 0xffffffu;
    }
    std::free(image);
    return pixel;
}

// Whether the main thread of pid waits in poll(), as an idle event loop does.
bool WaitsInEventLoop(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/syscall");
    std::string first;
    if (!(file >> first) || first == "running")
        return false;
    const long number = std::strtol(first.c_str(), nullptr, 10);
    return number == SYS_poll || number == SYS_ppoll;
}

long PeakResidentKb(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

bool Exited(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

void Stop(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (Exited(pid))
            return;
        SleepUs(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

int Usage()
{
    std::fprintf(stderr, "usage: brindle_firstpaint x11 X,Y[,RRGGBB]... -- program [arguments]\n"
                         "       brindle_firstpaint offscreen -- program [arguments]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4)
        return Usage();
    const bool x11 = std::strcmp(argv[1], "x11") == 0;
    if (!x11 && std::strcmp(argv[1], "offscreen") != 0)
        return Usage();
    std::vector<Probe> probes;
    int at = 2;
    for (; at < argc && std::strcmp(argv[at], "--") != 0; ++at) {
        const auto probe = ParseProbe(argv[at]);
        if (!probe)
            return Usage();
        probes.push_back(*probe);
    }
    if (at + 1 >= argc || (x11 && probes.empty()))
        return Usage();
    const bool learning = x11 && !probes.front().colour;

    xcb_connection_t *connection = nullptr;
    xcb_window_t root = XCB_NONE;
    if (x11) {
        connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection)) {
            std::fprintf(stderr, "brindle_firstpaint: no X server\n");
            return 1;
        }
        root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    }

    int output[2];
    if (pipe(output) != 0)
        return 1;
    const std::int64_t startNs = NowNs();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(output[1], STDOUT_FILENO);
        close(output[0]);
        close(output[1]);
        execv(argv[at + 1], argv + at + 1);
        _exit(127);
    }
    close(output[1]);
    ChildOutput childOutput(output[0]);

    std::optional<std::int64_t> paintedNs;
    xcb_window_t window = XCB_NONE;
    bool exited = false;
    while (!paintedNs && double(NowNs() - startNs) / 1e6 < TimeoutMs && !(exited = Exited(pid))) {
        childOutput.Drain();
        if (!x11) {
            if (WaitsInEventLoop(pid))
                paintedNs = NowNs();
        } else {
            if (window == XCB_NONE)
                window = FindWindow(connection, root);
            if (window != XCB_NONE && learning) {
                SleepUs(SettleMs * 1000L);
                paintedNs = NowNs();
            } else if (window != XCB_NONE) {
                bool all = true;
                for (const Probe &probe : probes)
                    all = all && PixelAt(connection, window, probe.x, probe.y) == probe.colour;
                if (all)
                    paintedNs = NowNs();
            }
        }
        if (!paintedNs)
            SleepUs(500);
    }
    if (!paintedNs) {
        std::fprintf(stderr, "brindle_firstpaint: %s never painted\n", argv[at + 1]);
        if (!exited)
            Stop(pid);
        return 1;
    }

    if (learning) {
        for (const Probe &probe : probes)
            std::printf("%d,%d,%06x ", probe.x, probe.y, PixelAt(connection, window, probe.x, probe.y).value_or(0));
        std::printf("\n");
    } else {
        // Whatever the first paint still allocates belongs to it.
        SleepUs(300000);
        childOutput.Drain();
        std::printf("first_paint_ms=%.1f vmhwm_kb=%ld", double(*paintedNs - startNs) / 1e6, PeakResidentKb(pid));
        if (childOutput.PaintedNs())
            std::printf(" probe_ms=%.1f", double(*childOutput.PaintedNs() - startNs) / 1e6);
        std::printf("\n");
    }
    Stop(pid);
    if (connection)
        xcb_disconnect(connection);
    return 0;
}
