#pragma once

#include <string>
#include <vector>

#include "core/FileReads.h"

// While it lives, the files the loader says it could not read, or not
// whole, in the order said.
class UnreadableFiles : public FileReadListener {
public:
    UnreadableFiles() : previous(SetFileReadListener(this)) {}
    ~UnreadableFiles() override { SetFileReadListener(previous); }
    UnreadableFiles(const UnreadableFiles&) = delete;
    UnreadableFiles& operator=(const UnreadableFiles&) = delete;

    void FileRead(const std::string&) override {}
    void FileUnreadable(const std::string& path) override { noted.push_back(path); }

    std::vector<std::string> noted;

private:
    FileReadListener* previous;
};
