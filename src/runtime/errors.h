#pragma once
// The program's error classes. Ordinary failures are reported and returned; these are raised only where the
// program specifies it (SDL start-up, a failed console or log file operation, a number that does not convert), and
// nothing in the program catches them: the run frame reports them and ends the process with status 217.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// The base of every error the program raises. It records where it was raised (code addresses, as offsets from the
// executable's load address) so that the report of an unhandled error can name the place.
class Exception : public std::exception {
public:
    explicit Exception(std::string Message);
    const char* what() const noexcept override { return Message.c_str(); }
    // The class name as the report prints it, e.g. "Exception" or "EInOutError".
    virtual const char* ClassName() const { return "Exception"; }

    std::string Message;
    // Return addresses at the raising site, innermost first, relative to the executable's load address.
    std::vector<std::uintptr_t> Frames;
};

// A failed file or console operation; ErrorCode is the system's error number.
class EInOutError : public Exception {
public:
    EInOutError(std::string Message, int ErrorCode);
    const char* ClassName() const override { return "EInOutError"; }
    int ErrorCode;
};

// A text that does not convert to a number. Its message is the text in double quotes followed by
// " is an invalid integer".
class EConvertError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EConvertError"; }
};

// Raises EInOutError for the system error number ErrorCode, with the system's text for it as the message.
[[noreturn]] void RaiseInOutError(int ErrorCode);
