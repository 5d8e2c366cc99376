#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Reading the files the player can point the game at (profile, pictures,
// sounds, songs) without ever blocking or running out of memory: only a
// regular file, or a link to one, is opened, and only up to a size the caller
// names. A FIFO, a device node or a folder is refused at once, as a missing
// file would be.
class CRegularFile {
public:
    enum class Status {
        Ok,
        Missing,    // no such file (or a folder on its path is missing)
        Unreadable, // it exists but cannot be opened (permission, a loop of links)
        NotRegular, // a FIFO, socket, device node or folder
        TooLarge,   // larger than the caller's limit
        ReadError,  // it went away or failed while being read
    };

    // Opens `path` for reading. On success returns a descriptor of a regular
    // file (the caller closes it) and sets `size`; otherwise returns -1. A
    // special file is refused before it is opened, so opening one never waits
    // and has no side effects on its device.
    static int Open(const std::string& path, Status& status, std::uint64_t& size);

    // Reads the whole file into `bytes` when it is regular and at most
    // `maxBytes` long (a file that grows past the limit while being read is
    // refused too). `bytes` is empty unless the result is Ok.
    static Status Read(const std::string& path, std::size_t maxBytes, std::string& bytes);

    // A short English reason for a status, for messages ("not a regular file").
    static const char* Describe(Status status);
};
