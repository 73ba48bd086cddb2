#include "core/FileReads.h"

namespace {
FileReadListener* current = nullptr;
}  // namespace

FileReadListener* SetFileReadListener(FileReadListener* listener)
{
    FileReadListener* previous = current;
    current = listener;
    return previous;
}

void NoteFileRead(const std::string& path)
{
    if (current != nullptr) {
        current->FileRead(path);
    }
}

void NoteUnreadableFile(const std::string& path)
{
    if (current != nullptr) {
        current->FileUnreadable(path);
    }
}
