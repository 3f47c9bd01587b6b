// The two things a safe replacement of a file needs from the C runtime: writing it through to the disk, and
// a name no other running process uses.
#pragma once

#include <filesystem>
#include <string>

// Writes bytes into a new file and makes the system put them on the disk before it returns true: a file
// renamed into place afterwards then never holds less than the whole text, even after a power cut.
bool WriteFileDurably(const std::filesystem::path& file, const std::string& bytes);
// The id of this process, as the system numbers processes.
unsigned long CurrentProcessId();
