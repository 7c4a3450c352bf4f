// Whole files in memory: every data file is opened, read completely and
// closed within one operation.
#pragma once

#include <cstdint>
#include <vector>

// Reads a whole file in binary mode; false if it cannot be opened or read.
bool readWholeFile(const char* path, std::vector<uint8_t>& bytes);
