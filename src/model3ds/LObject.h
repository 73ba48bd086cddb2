#pragma once

#include <string>

// The common base of the records a 3DS file fills: something with a name.
class LObject {
public:
    LObject() = default;
    virtual ~LObject() = default;

    LObject(const LObject&) = default;
    LObject& operator=(const LObject&) = default;

    virtual const std::string& Name() const { return name; }
    virtual void SetName(const std::string& newName) { name = newName; }

    std::string name;
};
