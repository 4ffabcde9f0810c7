#pragma once
#include <QIcon>

// The pictures on the transport and save buttons and in the folder list, drawn at whatever size and screen
// scale they are shown, in the colours of the palette. They are the program's own: a picture of the
// desktop's icon theme costs a read of the theme's index and the loading of image plug-ins at every start.
enum class Picture { Play, Stop, Back, Pause, Forward, Diskette, FolderOpen, FolderClosed };

QIcon buttonPicture(Picture picture);
