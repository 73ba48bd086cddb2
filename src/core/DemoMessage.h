#pragma once

#include <exception>
#include <string>

// The one thing the demo throws: a message text for the viewer. Every fatal
// error and the end of the show travel to the entry point as a DemoMessage,
// which owns its text so that it outlives the throw.
class DemoMessage : public std::exception {
public:
    explicit DemoMessage(std::string text) : text(std::move(text)) {}

    // A message that ends the run as the viewer meant it to end (the show
    // reached its end, the window was closed): reported like any other, but
    // the run counts as a success.
    static DemoMessage Ending(std::string text)
    {
        DemoMessage message(std::move(text));
        message.ending = true;
        return message;
    }

    const char* what() const noexcept override { return text.c_str(); }
    const std::string& Text() const noexcept { return text; }
    bool IsEnding() const noexcept { return ending; }

private:
    std::string text;
    bool ending = false;
};

// printf-style formatting into a string that grows as needed, so a long
// path or script line is shown whole rather than cut mid-character.
[[gnu::format(printf, 1, 2)]] std::string FormatText(const char* format, ...);
