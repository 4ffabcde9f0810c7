#pragma once
#include <QString>

// Opens a folder in the desktop's file manager (never through a command line).
class Shell {
public:
    virtual ~Shell() = default;
    virtual void openFolder(const QString& folder) = 0;
};

class DesktopShell : public Shell {
public:
    void openFolder(const QString& folder) override;
};
