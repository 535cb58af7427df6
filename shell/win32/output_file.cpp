// Output files on Windows: written to a hidden temporary beside the target
// and moved over it once complete and flushed.
#include "shell/output_file.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

bool refuse(std::string& error, const char* what, const std::string& path, const std::string& reason)
{
    error = std::string("cannot write ") + (*what ? std::string(what) + " " : "") + "'" + path + "': " + reason;
    return false;
}

// The system's words for `code`, without the trailing line break.
std::string system_message(DWORD code)
{
    char text[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                   nullptr);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : message;
}

// "dir\" for "dir\name" or "dir/name", "" for a bare name.
std::string folder_part(const std::string& path)
{
    return path.substr(0, path.find_last_of("/\\") + 1);
}

// A folder, or a read-only file, cannot be replaced.
bool replaceable(const std::string& path, const char* what, std::string& error)
{
    if (path.empty()) return refuse(error, what, path, "no file name");
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return refuse(error, what, path, "it is a folder");
    if (attributes & FILE_ATTRIBUTE_READONLY) return refuse(error, what, path, "the file is read-only");
    return true;
}

}  // namespace

bool write_output_file(const std::string& path, const char* what,
                       const std::function<const char*(const output_sink& put)>& produce, std::string& error)
{
    if (!replaceable(path, what, error)) return false;
    static unsigned counter = 0;
    const std::string temporary = folder_part(path) + ".tarvelin-" + std::to_string(GetCurrentProcessId()) + "-" +
                                  std::to_string(counter++) + ".partial";
    const HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE) return refuse(error, what, path, system_message(GetLastError()));
    DWORD failure = 0;
    const char* unmade = produce([&](const void* bytes, size_t size) {
        for (auto p = static_cast<const char*>(bytes); size > 0 && failure == 0;) {
            DWORD written = 0;
            const DWORD chunk = size > (1u << 30) ? 1u << 30 : (DWORD)size;
            if (!WriteFile(file, p, chunk, &written, nullptr)) failure = GetLastError();
            p += written;
            size -= written;
        }
        return failure == 0;
    });
    if (!unmade && !failure && !FlushFileBuffers(file)) failure = GetLastError();
    CloseHandle(file);
    if (!unmade && !failure) {
        SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            failure = GetLastError();
    }
    if (unmade || failure) DeleteFileA(temporary.c_str());
    if (failure) {
        error = "writing " + (*what ? std::string(what) + " " : "") + "'" + path +
                "' failed: " + system_message(failure);
        return false;
    }
    return !unmade || refuse(error, what, path, unmade);
}

bool check_output_path(const std::string& path, const char* what, std::string& error)
{
    if (!replaceable(path, what, error)) return false;
    const std::string folder = folder_part(path);
    const DWORD attributes = GetFileAttributesA(folder.empty() ? "." : folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return refuse(error, what, path, "its folder does not exist");
    return true;
}

bool make_output_folder(const std::string& folder, std::string& error)
{
    if (CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
    error = "cannot create folder '" + folder + "': " + system_message(GetLastError());
    return false;
}

bool write_text_file(const std::string& path, const char* what, const std::string& text, std::string& error)
{
    return write_output_file(path, what, [&](const output_sink& put) -> const char* {
        put(text.data(), text.size());
        return nullptr;
    }, error);
}
