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
};

// Sets the listener, or none with null; returns the one it replaces.
FileReadListener* SetFileReadListener(FileReadListener* listener);

void NoteFileRead(const std::string& path);
