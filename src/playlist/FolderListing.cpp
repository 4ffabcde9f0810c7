#include "playlist/FolderListing.h"
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {
bool listed(const dirent64& entry, bool regularOnly) {
    switch (entry.d_type) {
    case DT_REG:
        return true;
    case DT_FIFO:
    case DT_CHR:
    case DT_BLK:
    case DT_SOCK:
        return !regularOnly; // else asked for alone, and refused
    default: // folders, links and unknown types are asked for one by one
        return false;
    }
}

// The listed names of one buffer of entries, appended.
bool appendNames(const char* entries, ssize_t bytes, bool regularOnly, qsizetype maxNames, FolderListing& into,
                 qsizetype& count) {
    // Sized first, so that a folder read in one piece is copied once.
    qsizetype size = into.names.size();
    for (ssize_t at = 0; at < bytes;) {
        const auto* entry = reinterpret_cast<const dirent64*>(entries + at);
        if (listed(*entry, regularOnly))
            size += qsizetype(std::strlen(entry->d_name)) + 1;
        at += entry->d_reclen;
    }
    if (size > into.names.capacity())
        into.names.reserve(std::max(size, 2 * into.names.capacity()));
    for (ssize_t at = 0; at < bytes;) {
        const auto* entry = reinterpret_cast<const dirent64*>(entries + at);
        at += entry->d_reclen;
        if (!listed(*entry, regularOnly))
            continue;
        if (++count > maxNames)
            return false;
        into.names.append(entry->d_name, qsizetype(std::strlen(entry->d_name)) + 1);
    }
    return true;
}
} // namespace

FolderListing listFolder(const QByteArray& folder, bool regularOnly, char* buffer, qsizetype bufferBytes,
                         qsizetype maxNames) {
    FolderListing listing;
    // Without search permission (or without the folder) no path inside is
    // reachable, whatever a listing shows.
    if (::access(folder.constData(), X_OK) != 0) {
        listing.outcome = FolderListing::Outcome::Unreachable;
        return listing;
    }
    // getdents64 rather than a DIR stream, which takes and gives back a
    // block of its own for every folder.
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return listing;
    qsizetype count = 0;
    for (;;) {
        const ssize_t got = ::getdents64(dir, buffer, std::size_t(bufferBytes));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) { // a listing cut short is not taken as the folder's
            ::close(dir);
            return {};
        }
        if (got == 0)
            break;
        if (!appendNames(buffer, got, regularOnly, maxNames, listing, count)) {
            ::close(dir);
            return {FolderListing::Outcome::TooMany, {}, {}};
        }
    }
    ::close(dir);
    listing.files.reserve(count);
    for (const char* name = listing.names.constData(); name < listing.names.constEnd();
         name += std::strlen(name) + 1)
        listing.files.insert(QByteArrayView(name, qsizetype(std::strlen(name))));
    listing.outcome = FolderListing::Outcome::Listed;
    return listing;
}
