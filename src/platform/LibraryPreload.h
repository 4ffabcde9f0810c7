#pragma once
#include <initializer_list>
#include <vector>

// Loads shared libraries, each on its own, ahead of a library that depends on them, and lets go of them when
// it ends: those the later library loaded meanwhile needs stay loaded through it, the others are unloaded
// again. A name the system does not have is skipped.
//
// Why: the loader binds every symbol a library refers to by searching the libraries of the same load in
// order. A library that refers to its own symbols a great deal, loaded deep under a library with hundreds of
// dependencies, has its search walk past all of those before it finds itself; loaded on its own first, it
// finds itself after the program's own libraries.
class LibraryPreload {
public:
    explicit LibraryPreload(std::initializer_list<const char*> names);
    ~LibraryPreload();
    LibraryPreload(const LibraryPreload&) = delete;
    LibraryPreload& operator=(const LibraryPreload&) = delete;

    // How many of the names were found and loaded.
    int loaded() const { return static_cast<int>(handles_.size()); }

private:
    std::vector<void*> handles_;
};
