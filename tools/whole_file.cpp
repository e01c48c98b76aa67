#include "whole_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool WriteWholeFile(const std::string& File, const std::vector<std::uint8_t>& Bytes, std::string& Error)
{
    const std::string Partial = File + ".partial";
    std::FILE* Stream = std::fopen(Partial.c_str(), "wb");
    if (!Stream) {
        Error = Partial + ": " + std::strerror(errno);
        return false;
    }
    const bool Written = std::fwrite(Bytes.data(), 1, Bytes.size(), Stream) == Bytes.size();
    const int WriteErrno = errno;
    const bool Closed = std::fclose(Stream) == 0;
    if (!Written || !Closed) {
        Error = Partial + ": " + std::strerror(Written ? errno : WriteErrno);
        std::remove(Partial.c_str());
        return false;
    }
    if (std::rename(Partial.c_str(), File.c_str()) != 0) {
        Error = File + ": " + std::strerror(errno);
        std::remove(Partial.c_str());
        return false;
    }
    return true;
}
