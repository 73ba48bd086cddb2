#pragma once

#include <string>

// Who wants to know which files the show reads while it is built: a
// live-editing run watches them. The code that opens a picture, a shader,
// a model or a plug-in library reports it here; with no one listening a
// report does nothing.
class FileReadListener {
public:
    virtual ~FileReadListener() = default;
    virtual void FileRead(const std::string& path) = 0;
    // A file that could not be read where the show goes on without it (a
    // picture drawn white, a model without meshes), which only this notice
    // tells of. A listener may throw a DemoMessage from it to fail the
    // build instead.
    virtual void FileUnreadable(const std::string& /*path*/) {}
};

// Sets the listener, or none with null; returns the one it replaces.
FileReadListener* SetFileReadListener(FileReadListener* listener);

void NoteFileRead(const std::string& path);
void NoteUnreadableFile(const std::string& path);
