#include "keep/AtomicFile.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velka {

namespace {

// Tries to create a twin this many times: a name can be held by a file that a killed process
// left behind when its process number came round again.
constexpr int kTwinAttempts = 1000;

std::filesystem::path temporaryTwin(const std::filesystem::path& file)
{
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const unsigned long process = GetCurrentProcessId();
#else
    const long process = static_cast<long>(getpid());
#endif
    std::filesystem::path twin = file;
    std::string suffix(1, '.');
    suffix += std::to_string(process);
    suffix += '-';
    suffix += std::to_string(counter++);
    suffix += ".tmp";
    twin += suffix;
    return twin;
}

#ifdef _WIN32

std::string windowsError(const char* what)
{
    return std::string(what) + "（Windows のエラー " + std::to_string(GetLastError()) + "）";
}

// Creates a new twin of file, trying the next name while one is taken.
HANDLE createTwin(const std::filesystem::path& file, std::filesystem::path& twin)
{
    for (int attempt = 0; attempt < kTwinAttempts; ++attempt) {
        twin = temporaryTwin(file);
        const HANDLE handle = CreateFileW(twin.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return handle;
    }
    return INVALID_HANDLE_VALUE;
}

// Writes bytes to a new twin of file and flushes it; twin names it, also when this failed.
std::optional<std::string> writeAndFlush(const std::filesystem::path& file,
                                         std::filesystem::path& twin, std::string_view bytes)
{
    const HANDLE handle = createTwin(file, twin);
    if (handle == INVALID_HANDLE_VALUE)
        return windowsError("一時ファイルを作れません");
    std::optional<std::string> error;
    std::size_t done = 0;
    while (!error && done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data() + done, chunk, &written, nullptr))
            error = windowsError("書き込めません");
        done += written;
    }
    if (!error && !FlushFileBuffers(handle))
        error = windowsError("ディスクに書き出せません");
    if (!CloseHandle(handle) && !error)
        error = windowsError("閉じられません");
    return error;
}

std::optional<std::string> replace(const std::filesystem::path& from,
                                   const std::filesystem::path& to)
{
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return windowsError("置き換えられません");
    return std::nullopt;
}

void removeQuietly(const std::filesystem::path& file)
{
    DeleteFileW(file.c_str());
}

#else

std::string systemError(const char* what)
{
    return std::string(what) + "（" + std::generic_category().message(errno) + "）";
}

// Creates a new twin of file, trying the next name while one is taken.
int createTwin(const std::filesystem::path& file, std::filesystem::path& twin)
{
    for (int attempt = 0; attempt < kTwinAttempts; ++attempt) {
        twin = temporaryTwin(file);
        const int fd = ::open(twin.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Writes bytes to a new twin of file and flushes it; twin names it, also when this failed.
std::optional<std::string> writeAndFlush(const std::filesystem::path& file,
                                         std::filesystem::path& twin, std::string_view bytes)
{
    const int fd = createTwin(file, twin);
    if (fd < 0)
        return systemError("一時ファイルを作れません");
    std::optional<std::string> error;
    std::size_t done = 0;
    while (!error && done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno != EINTR)
            error = systemError("書き込めません");
        else if (written > 0)
            done += static_cast<std::size_t>(written);
    }
    if (!error && ::fsync(fd) != 0)
        error = systemError("ディスクに書き出せません");
    if (::close(fd) != 0 && !error)
        error = systemError("閉じられません");
    return error;
}

// The rename is on the disk only once the folder that holds the name is.
std::optional<std::string> flushFolder(const std::filesystem::path& file)
{
    std::filesystem::path folder = file.parent_path();
    if (folder.empty())
        folder = ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return systemError("フォルダーを開けません");
    std::optional<std::string> error;
    // Some file systems cannot flush a folder and say so; their renames need no flush.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EBADF)
        error = systemError("フォルダーをディスクに書き出せません");
    ::close(fd);
    return error;
}

std::optional<std::string> replace(const std::filesystem::path& from,
                                   const std::filesystem::path& to)
{
    if (std::rename(from.c_str(), to.c_str()) != 0)
        return systemError("置き換えられません");
    return flushFolder(to);
}

void removeQuietly(const std::filesystem::path& file)
{
    ::unlink(file.c_str());
}

#endif

} // namespace

std::optional<std::string> writeFileAtomically(const std::filesystem::path& file,
                                               std::string_view bytes)
{
    std::filesystem::path twin;
    if (auto error = writeAndFlush(file, twin, bytes)) {
        if (!twin.empty())
            removeQuietly(twin);
        return error;
    }
    if (auto error = replace(twin, file)) {
        if (std::filesystem::exists(twin))
            removeQuietly(twin);
        return error;
    }
    return std::nullopt;
}

std::optional<std::string> copyFileAtomically(const std::filesystem::path& from,
                                              const std::filesystem::path& to)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(from, error);
    if (error)
        return "コピー元を読めません（" + error.message() + "）";
    std::ifstream in(from, std::ios::binary);
    if (!in)
        return "コピー元を開けません";
    // Read in pieces so that a read error shows as one, never as the end of the file.
    std::string bytes;
    std::array<char, 1 << 16> piece{};
    while (in) {
        in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        bytes.append(piece.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad())
        return "コピー元の読み込みに失敗しました";
    if (bytes.size() != size)
        return "コピー元を最後まで読めません（" + std::to_string(size) + " バイトのうち " +
               std::to_string(bytes.size()) + " バイト）";
    return writeFileAtomically(to, bytes);
}

bool isTemporaryTwinName(std::string_view name)
{
    constexpr std::string_view kEnding = ".tmp";
    if (name.size() <= kEnding.size() || name.substr(name.size() - kEnding.size()) != kEnding)
        return false;
    name.remove_suffix(kEnding.size());
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return false;
    const std::string_view numbers = name.substr(dot + 1);
    const std::size_t dash = numbers.find('-');
    const auto digits = [](std::string_view text) {
        return !text.empty() &&
               std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return dash != std::string_view::npos && digits(numbers.substr(0, dash)) &&
           digits(numbers.substr(dash + 1));
}

int removeLeftoverTemporaries(const std::filesystem::path& folder)
{
    int removed = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code notAFile;
        if (it->is_regular_file(notAFile) && isTemporaryTwinName(it->path().filename().string()) &&
            std::filesystem::remove(it->path(), notAFile))
            ++removed;
    }
    return removed;
}

FileBytes readFileBytes(const std::filesystem::path& file, std::size_t limit)
{
    FileBytes result;
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
        result.error = "ファイルではなくフォルダーです";
        return result;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        result.error = std::filesystem::exists(file, error) ? "開けません" : "ファイルがありません";
        return result;
    }
    // One byte more than the limit tells a file at the limit from a larger one, without ever
    // reading a large file whole.
    result.bytes.resize(limit + 1);
    in.read(result.bytes.data(), static_cast<std::streamsize>(result.bytes.size()));
    if (in.bad()) {
        result.bytes.clear();
        result.error = "読み込みに失敗しました";
        return result;
    }
    result.bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (result.bytes.size() > limit) {
        result.bytes.resize(limit);
        result.overLimit = true;
    }
    return result;
}

} // namespace velka
