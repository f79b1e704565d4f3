#include "device/AlsaSubscriptions.h"

#if JUCE_LINUX
 #include <alsa/asoundlib.h>
 #include <unistd.h>

namespace
{
    /** A sequencer handle of our own for the questions, opened once. */
    snd_seq_t* questionHandle()
    {
        static snd_seq_t* const handle = [] {
            snd_seq_t* opened = nullptr;
            return snd_seq_open (&opened, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) == 0 ? opened : nullptr;
        }();
        return handle;
    }

    bool clientIsThisProcess (snd_seq_t* handle, int client)
    {
        snd_seq_client_info_t* info = nullptr;
        snd_seq_client_info_alloca (&info);

        return snd_seq_get_any_client_info (handle, client, info) == 0
               && snd_seq_client_info_get_pid (info) == (int) ::getpid();
    }
}

int countSubscriptionsFromThisProcess (const juce::String& portIdentifier)
{
    auto* handle = questionHandle();

    if (handle == nullptr || ! portIdentifier.containsChar ('-'))
        return -1;

    snd_seq_addr_t root {};
    root.client = (unsigned char) portIdentifier.upToFirstOccurrenceOf ("-", false, false).getIntValue();
    root.port = (unsigned char) portIdentifier.fromFirstOccurrenceOf ("-", false, false).getIntValue();

    snd_seq_query_subscribe_t* query = nullptr;
    snd_seq_query_subscribe_alloca (&query);
    snd_seq_query_subscribe_set_root (query, &root);
    snd_seq_query_subscribe_set_type (query, SND_SEQ_QUERY_SUBS_READ);
    snd_seq_query_subscribe_set_index (query, 0);

    int count = 0;

    while (snd_seq_query_port_subscribers (handle, query) == 0)
    {
        if (clientIsThisProcess (handle, snd_seq_query_subscribe_get_addr (query)->client))
            ++count;

        snd_seq_query_subscribe_set_index (query, snd_seq_query_subscribe_get_index (query) + 1);
    }

    return count;
}

#else

int countSubscriptionsFromThisProcess (const juce::String&)
{
    return -1;
}

#endif
