// Shared pieces of the fuzz targets: a private working directory for the
// run, and small helpers to lay out files in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace fuzzkit {

// On the first call: creates a private temporary directory, makes it the
// working directory (removed again when the program exits), points standard
// input at /dev/null so that every question gets end of input, and buffers
// standard error. Later calls only empty the directory, so that every input
// starts from the same state. Returns the directory.
const std::filesystem::path& EnterSandbox();

// Writes a host file (relative to the sandbox), replacing any old one.
void WriteHostFile(const std::filesystem::path& name, std::string_view data);

// Flushes what the input printed; called at the end of every input.
void EndInput();

// Takes the next part of an input: up to cbMax bytes from *ppData.
std::string_view TakeBytes(const std::uint8_t** ppData, std::size_t* pcbSize, std::size_t cbMax);

}  // namespace fuzzkit
