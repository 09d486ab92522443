#pragma once
// A file's whole text replaced in one step: the new text goes to a temporary file in the same
// folder, is synced to the disk and then renamed over the file. A crash or a full disk leaves the
// old file (or none), never part of the new one.
#include <string>
#include <string_view>

class CnxAtomicFile {
public:
    // The operation that failed ("CreateFile", "WriteFile", "MoveFile") and the system's error
    // number; error 0 on success.
    struct Result {
        const char* operation = "";
        int error = 0;
        explicit operator bool() const { return error == 0; }
    };

    // The replacement keeps the access rights of the file it replaces.
    static Result Write(const std::string& path, std::string_view text);
};
