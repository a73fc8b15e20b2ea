// What every fuzz target shares: the entry point libFuzzer calls, a check
// that stops the run with the failing condition, and a scratch folder for
// targets that read their input from a file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace fuzz {

// Prints the condition and where it failed, runs the failure hook (the
// replay driver saves the input there), then aborts so that libFuzzer keeps
// the input as a crash.
[[noreturn]] void Fail(const char *condition, const char *file, int line);
void SetFailureHook(void (*hook)());

// A folder of this process under the temporary folder, removed at exit.
const std::string &TempFolder();
// Writes bytes to TempFolder()/name; returns the host path.
std::string WriteTempFile(const std::string &name, std::string_view bytes);
std::string ReadWholeFile(const std::string &path);  // "" when absent

bool IsValidUtf8(std::string_view text);

inline std::string_view AsText(const std::uint8_t *data, std::size_t size) {
    return {reinterpret_cast<const char *>(data), size};
}

}  // namespace fuzz

#define FUZZ_CHECK(condition) ((condition) ? (void)0 : ::fuzz::Fail(#condition, __FILE__, __LINE__))
