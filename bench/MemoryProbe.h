#pragma once
#include <QByteArray>
#include <QFile>
#include <malloc.h>

// Where the process's resident memory sits: the allocator's own bookkeeping (in use and kept free), and the
// resident pages of the mappings by kind, read from /proc/self/smaps. A growth the heap profiler does not see
// shows up here as allocator free space, thread stacks or a library's own mappings.
struct MemoryBreakdown {
    long residentKb = 0;
    long mallocInUseKb = 0; // handed out by malloc and not freed
    long mallocFreeKb = 0;  // freed, but kept by malloc's arenas
    long heapKb = 0;        // the [heap] mapping (the main arena)
    long anonymousKb = 0;   // unnamed private mappings: other arenas, thread stacks, big blocks, drivers' own
    long libraryKb = 0;     // code and data of loaded libraries
    long otherFileKb = 0;   // other files and devices (fonts, caches, shared memory)

    static MemoryBreakdown now() {
        MemoryBreakdown b;
        const struct mallinfo2 info = mallinfo2();
        b.mallocInUseKb = long((info.uordblks + info.hblkhd) / 1024);
        b.mallocFreeKb = long(info.fordblks / 1024);
        QFile smaps(QStringLiteral("/proc/self/smaps"));
        if (!smaps.open(QIODevice::ReadOnly))
            return b;
        long* bucket = &b.anonymousKb;
        for (const QByteArray& line : smaps.readAll().split('\n')) {
            if (line.isEmpty())
                continue;
            if (isMappingHeader(line)) {
                const QByteArray name = mappingName(line);
                bucket = name.isEmpty() || name.startsWith("[stack") || name == "[anon]" ? &b.anonymousKb
                         : name == "[heap]"                                              ? &b.heapKb
                         : name.contains(".so")                                          ? &b.libraryKb
                                                                                         : &b.otherFileKb;
            } else if (line.startsWith("Rss:")) {
                const long kb = line.mid(4).trimmed().split(' ').first().toLong();
                *bucket += kb;
                b.residentKb += kb;
            }
        }
        return b;
    }

private:
    // "start-end perms offset dev inode [name]"; the other lines start with "Key:".
    static bool isMappingHeader(const QByteArray& line) {
        const QByteArray first = line.left(line.indexOf(' '));
        return first.contains('-') && !first.endsWith(':');
    }
    static QByteArray mappingName(const QByteArray& line) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        return fields.size() >= 6 ? fields.mid(5).join(' ') : QByteArray();
    }
};
