#include "simulator/CommandFifo.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

CommandFifo::CommandFifo (const juce::String& path, LineHandler lineHandler) : handler (std::move (lineHandler))
{
    ::mkfifo (path.toRawUTF8(), 0600);   // EEXIST is fine: the check may have made it
    descriptor = ::open (path.toRawUTF8(), O_RDWR | O_NONBLOCK | O_CLOEXEC);

    if (descriptor >= 0 && ::pipe2 (wakePipe, O_CLOEXEC) == 0)
        thread = std::thread ([this] { run(); });
}

CommandFifo::~CommandFifo()
{
    if (thread.joinable())
    {
        const char stop = 0;
        [[maybe_unused]] const auto written = ::write (wakePipe[1], &stop, 1);
        thread.join();
    }

    for (const auto fd : { descriptor, wakePipe[0], wakePipe[1] })
        if (fd >= 0)
            ::close (fd);
}

void CommandFifo::run()
{
    std::string pending;

    for (;;)
    {
        pollfd descriptors[] { { descriptor, POLLIN, 0 }, { wakePipe[0], POLLIN, 0 } };

        const auto ready = ::poll (descriptors, 2, -1);

        if (ready < 0 && errno == EINTR)
            continue;

        if (ready < 0 || descriptors[1].revents != 0)
            return;

        char buffer[512];
        const auto got = ::read (descriptor, buffer, sizeof (buffer));

        if (got <= 0)
            continue;

        pending.append (buffer, (size_t) got);

        for (auto end = pending.find ('\n'); end != std::string::npos; end = pending.find ('\n'))
        {
            handler (juce::String::fromUTF8 (pending.data(), (int) end));
            pending.erase (0, end + 1);
        }
    }
}
