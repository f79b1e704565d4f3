// konsolion-startup-probe: launches a program, measures the time until its window's
// content has been painted, and its peak memory.
//     konsolion-startup-probe <runs> <program> [args...]
// The program's window must be the only one covering the centre of the screen; its
// content is "painted" once the centre pixel shows neither the empty screen (black),
// nor the blank X window the server shows as soon as the window is mapped (white), nor
// the window's own background before its content draws.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
    unsigned long centrePixel (Display* display)
    {
        const auto screen = DefaultScreen (display);
        const auto root = RootWindow (display, screen);
        XImage* image = XGetImage (display, root, DisplayWidth (display, screen) / 2, DisplayHeight (display, screen) / 2,
                                   1, 1, AllPlanes, ZPixmap);
        if (image == nullptr)
            return 0;
        const auto pixel = XGetPixel (image, 0, 0) & 0xFFFFFF;
        XDestroyImage (image);
        return pixel;
    }

    double median (std::vector<double> values)
    {
        std::sort (values.begin(), values.end());
        const auto n = values.size();
        return n % 2 == 1 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
    }
}

int main (int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf (stderr, "usage: konsolion-startup-probe <runs> <program> [args...]\n");
        return 2;
    }

    Display* display = XOpenDisplay (nullptr);
    if (display == nullptr)
    {
        std::fprintf (stderr, "no X display\n");
        return 2;
    }

    const int runs = std::max (1, std::atoi (argv[1]));
    constexpr unsigned long emptyScreen = 0x000000, blankMappedWindow = 0xFFFFFF, windowBackground = 0xF0FFFF;
    const auto isPainted = [] (unsigned long pixel)
    {
        return pixel != emptyScreen && pixel != blankMappedWindow && pixel != windowBackground;
    };
    std::vector<double> startups, peaks;

    for (int run = 0; run < runs; ++run)
    {
        while (centrePixel (display) != emptyScreen)
            std::this_thread::sleep_for (std::chrono::milliseconds (20));

        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();

        if (child == 0)
        {
            execv (argv[2], argv + 2);
            _exit (127);
        }

        double startupMs = -1.0;
        for (int poll = 0; poll < 20000; ++poll)
        {
            const auto pixel = centrePixel (display);
            if (isPainted (pixel))
            {
                startupMs = std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count();
                break;
            }
            std::this_thread::sleep_for (std::chrono::microseconds (500));
        }

        std::this_thread::sleep_for (std::chrono::milliseconds (1500));   // let it settle before its peak is read
        kill (child, SIGTERM);
        int status = 0;
        rusage usage {};
        wait4 (child, &status, 0, &usage);

        startups.push_back (startupMs);
        peaks.push_back ((double) usage.ru_maxrss / 1024.0);
        std::printf ("run %d: first painted frame %.1f ms, peak memory %.1f MiB\n", run + 1, startupMs, peaks.back());
    }

    std::printf ("median: first painted frame %.1f ms, peak memory %.1f MiB\n", median (startups), median (peaks));
    XCloseDisplay (display);
    return 0;
}
