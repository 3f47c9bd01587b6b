// The target program's child: with "spawn" among its arguments the target starts a second copy of itself
// tagged TAG-child, so that the tests see a parent and its child process.
#pragma once

#include <string>

void StartChildIfAsked(const std::string& arguments, const std::string& tag);
