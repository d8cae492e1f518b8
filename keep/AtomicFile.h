#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velka {

// Writes bytes to file so that, whatever happens during the write (the process killed, the
// power gone), file afterwards holds either what it held before, whole, or the new bytes, whole.
// The bytes go to a temporary file beside it (named "<name>.<process>-<n>.tmp", the next n
// while a file left by a killed process holds the name), which is
// flushed to the disk and then renamed over file; on POSIX systems the folder is flushed as
// well, on Windows the rename is made with MOVEFILE_WRITE_THROUGH. Nothing when written;
// otherwise what went wrong, as the system says it, and the temporary file is gone. A process
// killed mid-write can leave its temporary file behind, never a damaged file.
std::optional<std::string> writeFileAtomically(const std::filesystem::path& file,
                                               std::string_view bytes);

// Copies from to to, replacing to, in the same way: to is either what it was or a whole copy.
// from is only read; a read that fails, or ends before the size the file had when the copy
// began, is a failure and leaves to as it was. Nothing when copied; otherwise what went wrong.
std::optional<std::string> copyFileAtomically(const std::filesystem::path& from,
                                              const std::filesystem::path& to);

// Whether name is one that writeFileAtomically gives its temporary files.
bool isTemporaryTwinName(std::string_view name);
// Removes from folder (not its subfolders) the temporary files of writes whose process was
// killed. Only for a caller that knows no other process writes there now; how many it removed.
int removeLeftoverTemporaries(const std::filesystem::path& folder);

// At most limit bytes of a file, and whether there was more.
struct FileBytes {
    std::string bytes;
    bool overLimit = false;
    std::optional<std::string> error; // set when the file could not be read at all
};
FileBytes readFileBytes(const std::filesystem::path& file, std::size_t limit);

} // namespace velka
