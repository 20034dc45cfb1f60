// A watcher of picture decodes, for measurements: after each picture file
// that CPicture::LoadDWQ decoded (not a name the picture already held) it is
// told the name, the folder (null for the default) and keep256.
#pragma once

using PictureLoadObserver = void (*)(void* data, const char* name, const char* folder,
                                     int keep256);

// Null turns the watcher off.
void SetPictureLoadObserver(PictureLoadObserver observer, void* data);
