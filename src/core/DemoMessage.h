#pragma once

#include <exception>
#include <string>

// The one thing the demo throws: a message text for the viewer. Every fatal
// error and the end of the show travel to the entry point as a DemoMessage,
// which owns its text so that it outlives the throw.
class DemoMessage : public std::exception {
public:
    explicit DemoMessage(std::string text) : text(std::move(text)) {}

    const char* what() const noexcept override { return text.c_str(); }
    const std::string& Text() const noexcept { return text; }

private:
    std::string text;
};

// printf-style formatting into a string that grows as needed, so a long
// path or script line is shown whole rather than cut mid-character.
[[gnu::format(printf, 1, 2)]] std::string FormatText(const char* format, ...);
