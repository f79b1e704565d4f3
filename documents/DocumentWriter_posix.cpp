#include "documents/DocumentWriter.h"
#include "documents/DocumentWriterPlatform.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
    /** What an error number means to the user writing `file` in `folder`. */
    juce::String reasonFor (int error, const juce::File& file, const juce::File& folder)
    {
        switch (error)
        {
            case ENOSPC: return "the disk is full";
            case EDQUOT: return "the disk quota is used up";
            case EROFS:  return "the disk is read-only";
            case EACCES:
            case EPERM:  return "there is no permission to write in the folder " + quoted (folder);
            case ENOENT:
            case ENOTDIR: return "the folder " + quoted (folder) + " does not exist";
            case EISDIR: return quoted (file) + " is a folder";
            case EFBIG:  return "the file would be too large";
            default:     return juce::String (std::strerror (error));
        }
    }

    bool hasWritePermission (const struct stat& status)
    {
        // Read by the permission bits, not by access(): run as root it would allow anything.
        return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    }

    juce::Result failure (const juce::String& reason)   { return juce::Result::fail (reason); }

    bool writeAll (int descriptor, const void* data, size_t size)
    {
        auto* bytes = static_cast<const char*> (data);

        while (size > 0)
        {
            const auto written = ::write (descriptor, bytes, size);

            if (written < 0 && errno == EINTR)
                continue;

            if (written <= 0)
                return false;

            bytes += written;
            size -= (size_t) written;
        }

        return true;
    }

    /** A name beside the target that no other file has yet. */
    juce::File scratchFileFor (const juce::File& target)
    {
        return target.getParentDirectory().getChildFile (
            "." + target.getFileName() + ".part-" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64()));
    }
}

namespace
{
    /** Why the target cannot be replaced, before anything is written; ok when it can. */
    juce::Result checkTarget (const juce::File& target, struct stat& existing, bool& exists)
    {
        const auto folder = target.getParentDirectory();

        if (! folder.isDirectory())
            return failure ("the folder " + quoted (folder) + " does not exist");

        exists = ::stat (target.getFullPathName().toRawUTF8(), &existing) == 0;

        if (exists && S_ISDIR (existing.st_mode))
            return failure (quoted (target) + " is a folder");

        if (exists && (! hasWritePermission (existing) || ::access (target.getFullPathName().toRawUTF8(), W_OK) != 0))
            return failure (quoted (target) + " is read-only");

        return juce::Result::ok();
    }
}

juce::Result checkWritable (const juce::File& requested)
{
    const auto target = followLinks (requested);
    struct stat existing {};
    bool exists = false;

    if (const auto checked = checkTarget (target, existing, exists); checked.failed())
        return checked;

    // Only trying tells whether the folder takes a new file (permissions, a read-only disk).
    const auto scratch = scratchFileFor (target);
    const int descriptor = ::open (scratch.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);

    if (descriptor < 0)
        return failure (reasonFor (errno, target, target.getParentDirectory()));

    ::close (descriptor);
    ::unlink (scratch.getFullPathName().toRawUTF8());
    return juce::Result::ok();
}

juce::Result writeDocument (const juce::File& requested, const juce::MemoryBlock& bytes)
{
    const auto target = followLinks (requested);
    const auto folder = target.getParentDirectory();
    struct stat existing {};
    bool exists = false;

    if (const auto checked = checkTarget (target, existing, exists); checked.failed())
        return checked;

    const auto scratch = scratchFileFor (target);
    const auto scratchPath = scratch.getFullPathName();
    const int descriptor = ::open (scratchPath.toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);

    if (descriptor < 0)
        return failure (reasonFor (errno, target, folder));

    bool ok = writeAll (descriptor, bytes.getData(), bytes.getSize()) && ::fsync (descriptor) == 0;
    int error = ok ? 0 : errno;

    if (ok && exists && ::fchmod (descriptor, existing.st_mode & 07777) != 0)
    {
        ok = false;
        error = errno;
    }

    if (::close (descriptor) != 0 && ok)
    {
        ok = false;
        error = errno;
    }

    if (ok && ::rename (scratchPath.toRawUTF8(), target.getFullPathName().toRawUTF8()) != 0)
    {
        ok = false;
        error = errno;
    }

    if (! ok)
    {
        ::unlink (scratchPath.toRawUTF8());
        return failure (reasonFor (error, target, folder));
    }

    return juce::Result::ok();
}

juce::Result checkReadPermission (const juce::File& file)
{
    if (::access (file.getFullPathName().toRawUTF8(), R_OK) != 0)
        return failure ("there is no permission to read " + quoted (file));

    return juce::Result::ok();
}
