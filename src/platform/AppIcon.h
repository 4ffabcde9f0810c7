#pragma once

// Gives every window of the program its icon: the desktop theme's
// "kivo-player" (the installed one, or a theme's own), else the one built in.
void setApplicationIcon();
