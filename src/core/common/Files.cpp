#include "common/Files.h"

#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace velkor {

std::optional<std::vector<uint8_t>> FileStore::Read(const fs::path& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return std::nullopt;
    std::vector<uint8_t> data;
    uint8_t buf[1 << 16];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return std::nullopt;
    return data;
}

namespace {
bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string TempSuffix() {
    static thread_local std::mt19937 rng{std::random_device{}()};
    return ".velkor-tmp-" + std::to_string(::getpid()) + "-" + std::to_string(rng() % 1000000);
}
}  // namespace

size_t FileStore::RemoveStaleTemporaries(const fs::path& folder) {
    static const std::string kMark = ".velkor-tmp-";
    size_t removed = 0;
    std::error_code ec;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        const std::string name = it->path().filename().string();
        const size_t at = name.find(kMark);
        if (at == std::string::npos) continue;
        // The process that made it: a save still running keeps its file.
        const long pid = std::atol(name.c_str() + at + kMark.size());
        if (pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)) continue;
        std::error_code removeError;
        if (fs::remove(it->path(), removeError)) ++removed;
    }
    return removed;
}

std::optional<FileStore::Staged> FileStore::Stage(const fs::path& path,
                                                  std::span<const uint8_t> bytes) {
    Staged staged{path, path};
    staged.temp += TempSuffix();
    int fd = ::open(staged.temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return std::nullopt;
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        ::unlink(staged.temp.c_str());
        return std::nullopt;
    }
    return staged;
}

bool FileStore::Commit(const Staged& staged) {
    if (::rename(staged.temp.c_str(), staged.target.c_str()) == 0) return true;
    ::unlink(staged.temp.c_str());
    return false;
}

void FileStore::Discard(const Staged& staged) { ::unlink(staged.temp.c_str()); }

bool FileStore::WriteAtomic(const fs::path& path, std::span<const uint8_t> bytes) {
    auto staged = Stage(path, bytes);
    return staged && Commit(*staged);
}

bool FileStore::MakeDirs(const fs::path& dir) {
    std::error_code ec;
    if (fs::is_directory(dir, ec)) return true;  // the usual case: one look
    fs::create_directories(dir, ec);
    return fs::is_directory(dir, ec);
}

std::optional<std::vector<uint8_t>> MemoryFileStore::Read(const fs::path& path) {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
}

std::optional<FileStore::Staged> MemoryFileStore::Stage(const fs::path& path,
                                                        std::span<const uint8_t> bytes) {
    fs::path temp = path;
    temp += ".staged";
    staged_[temp] = std::vector<uint8_t>(bytes.begin(), bytes.end());
    return Staged{path, temp};
}

bool MemoryFileStore::Commit(const Staged& staged) {
    auto it = staged_.find(staged.temp);
    if (it == staged_.end()) return false;
    files[staged.target] = std::move(it->second);
    staged_.erase(it);
    return true;
}

void MemoryFileStore::Discard(const Staged& staged) { staged_.erase(staged.temp); }

FileStore& DefaultFileStore() {
    static FileStore store;
    return store;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const fs::path& path) {
    return DefaultFileStore().Read(path);
}

bool WriteFileAtomic(const fs::path& path, std::span<const uint8_t> bytes) {
    return DefaultFileStore().WriteAtomic(path, bytes);
}

fs::path PathFromUtf8(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

}  // namespace velkor
