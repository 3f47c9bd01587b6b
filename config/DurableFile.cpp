// Writing a file through to the disk, and the process id, on either runtime.
#include "config/DurableFile.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace {

bool FlushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

} // namespace

bool WriteFileDurably(const std::filesystem::path& name, const std::string& bytes) {
#ifdef _WIN32
    // The wide form: the 8-bit one reads the name in a code page that may not hold every character.
    std::FILE* file = _wfopen(name.c_str(), L"wb");
#else
    std::FILE* file = std::fopen(name.c_str(), "wb");
#endif
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && FlushToDisk(file);
    // A failed close can lose what was buffered, so it fails the write as well.
    return std::fclose(file) == 0 && written;
}

unsigned long CurrentProcessId() {
#ifdef _WIN32
    return static_cast<unsigned long>(_getpid());
#else
    return static_cast<unsigned long>(getpid());
#endif
}
