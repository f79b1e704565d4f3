#include "documents/DocumentWriter.h"
#include "documents/DocumentWriterPlatform.h"

#include <windows.h>

#include <string>

#ifndef ERROR_DISK_QUOTA_EXCEEDED
 #define ERROR_DISK_QUOTA_EXCEEDED 1295L   // Windows' own value; MinGW's winerror.h lacks the name
#endif

namespace
{
    juce::Result failure (const juce::String& reason)   { return juce::Result::fail (reason); }

    std::wstring widePath (const juce::File& file)   { return file.getFullPathName().toWideCharPointer(); }

    juce::String systemMessage (DWORD error)
    {
        wchar_t* text = nullptr;
        const auto length = FormatMessageW (FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                                | FORMAT_MESSAGE_IGNORE_INSERTS,
                                            nullptr, error, 0, reinterpret_cast<wchar_t*> (&text), 0, nullptr);
        auto message = length > 0 ? juce::String (text).trim().trimCharactersAtEnd (".")
                                  : "error " + juce::String ((int) error);
        LocalFree (text);
        return message;
    }

    /** What a Windows error means to the user writing `file` in `folder`; the same words
        the other systems' errors get. */
    juce::String reasonFor (DWORD error, const juce::File& folder)
    {
        switch (error)
        {
            case ERROR_DISK_FULL:
            case ERROR_HANDLE_DISK_FULL:    return "the disk is full";
            case ERROR_DISK_QUOTA_EXCEEDED: return "the disk quota is used up";
            case ERROR_WRITE_PROTECT:       return "the disk is read-only";
            case ERROR_ACCESS_DENIED:       return "there is no permission to write in the folder " + quoted (folder);
            case ERROR_FILE_NOT_FOUND:
            case ERROR_PATH_NOT_FOUND:      return "the folder " + quoted (folder) + " does not exist";
            case ERROR_FILE_TOO_LARGE:      return "the file would be too large";
            default:                        return systemMessage (error);
        }
    }

    /** A name beside the target that no other file has yet. */
    juce::File scratchFileFor (const juce::File& target)
    {
        return target.getParentDirectory().getChildFile (
            "." + target.getFileName() + ".part-" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64()));
    }

    HANDLE createNew (const juce::File& file)
    {
        return CreateFileW (widePath (file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    /** Whether the file's access rights let this user write it, found by opening it for
        writing without touching it. A file another program holds open is not read-only. */
    bool deniesWriting (const juce::File& file)
    {
        const auto handle = CreateFileW (widePath (file).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);

        if (handle == INVALID_HANDLE_VALUE)
            return GetLastError() == ERROR_ACCESS_DENIED;

        CloseHandle (handle);
        return false;
    }

    bool writeAll (HANDLE handle, const void* data, size_t size)
    {
        auto* bytes = static_cast<const char*> (data);

        while (size > 0)
        {
            const auto chunk = (DWORD) juce::jmin (size, (size_t) 1 << 30);
            DWORD written = 0;

            if (! WriteFile (handle, bytes, chunk, &written, nullptr) || written == 0)
                return false;

            bytes += written;
            size -= written;
        }

        return true;
    }

    /** The attributes a saved file takes over from the one it replaces. */
    constexpr DWORD keptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM
                                   | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

    /** Why the target cannot be replaced, before anything is written; ok when it can. */
    juce::Result checkTarget (const juce::File& target, DWORD& attributes)
    {
        const auto folder = target.getParentDirectory();

        if (! folder.isDirectory())
            return failure ("the folder " + quoted (folder) + " does not exist");

        attributes = GetFileAttributesW (widePath (target).c_str());

        if (attributes == INVALID_FILE_ATTRIBUTES)
            return juce::Result::ok();

        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return failure (quoted (target) + " is a folder");

        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0 || deniesWriting (target))
            return failure (quoted (target) + " is read-only");

        return juce::Result::ok();
    }
}

namespace
{
/** The target the links lead to, checked, and a new scratch file beside it, open for writing. */
struct Scratch
{
    juce::File target, file;
    DWORD targetAttributes = INVALID_FILE_ATTRIBUTES;
    HANDLE handle = INVALID_HANDLE_VALUE;
};

juce::Result openScratchFor (const juce::File& requested, Scratch& scratch)
{
    scratch.target = followLinks (requested);

    if (const auto checked = checkTarget (scratch.target, scratch.targetAttributes); checked.failed())
        return checked;

    scratch.file = scratchFileFor (scratch.target);
    scratch.handle = createNew (scratch.file);

    if (scratch.handle == INVALID_HANDLE_VALUE)
        return failure (reasonFor (GetLastError(), scratch.target.getParentDirectory()));

    return juce::Result::ok();
}
}

juce::Result checkWritable (const juce::File& requested)
{
    // Only trying tells whether the folder takes a new file (access rights, a write-protected disk).
    Scratch scratch;

    if (const auto opened = openScratchFor (requested, scratch); opened.failed())
        return opened;

    CloseHandle (scratch.handle);
    DeleteFileW (widePath (scratch.file).c_str());
    return juce::Result::ok();
}

juce::Result writeDocument (const juce::File& requested, const juce::MemoryBlock& bytes)
{
    Scratch opened;

    if (const auto result = openScratchFor (requested, opened); result.failed())
        return result;

    const auto& target = opened.target;
    const auto folder = target.getParentDirectory();
    const auto& scratch = opened.file;
    const auto handle = opened.handle;
    const auto attributes = opened.targetAttributes;

    bool ok = writeAll (handle, bytes.getData(), bytes.getSize()) && FlushFileBuffers (handle);
    DWORD error = ok ? 0 : GetLastError();

    if (! CloseHandle (handle) && ok)
    {
        ok = false;
        error = GetLastError();
    }

    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;

    const auto kept = attributes & keptAttributes;

    if (ok && exists && ! SetFileAttributesW (widePath (scratch).c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL))
    {
        ok = false;
        error = GetLastError();
    }

    // MoveFileExW rather than ReplaceFileW: when ReplaceFileW cannot move the new file in,
    // the old one may already be gone. The attributes were carried over above instead.
    if (ok && ! MoveFileExW (widePath (scratch).c_str(), widePath (target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    {
        ok = false;
        error = GetLastError();
    }

    if (! ok)
    {
        DeleteFileW (widePath (scratch).c_str());
        return failure (reasonFor (error, folder));
    }

    return juce::Result::ok();
}

juce::Result checkReadPermission (const juce::File& file)
{
    const auto handle = CreateFileW (widePath (file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);

    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED)
        return failure ("there is no permission to read " + quoted (file));

    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle (handle);

    return juce::Result::ok();
}
