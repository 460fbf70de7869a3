#pragma once

#include <cstdlib>
#include <string>

// Sets an environment variable for the life of the object (none: removed), then restores it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name(name) {
        const char* old = std::getenv(name);
        hadValue = old != nullptr;
        if (hadValue) {
            oldValue = old;
        }
        Set(value);
    }
    ~ScopedEnvironment() { Set(hadValue ? oldValue.c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    // Windows' runtime cannot hold an empty value: it removes the variable instead.
    void Set(const char* value) {
#ifdef _WIN32
        _putenv_s(name.c_str(), value != nullptr ? value : "");
#else
        if (value != nullptr) {
            setenv(name.c_str(), value, 1);
        } else {
            unsetenv(name.c_str());
        }
#endif
    }

    std::string name;
    std::string oldValue;
    bool hadValue = false;
};
