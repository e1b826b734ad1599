#include "common/Files.h"

#include <csignal>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <set>
#include <sstream>

namespace velkor {

namespace {
std::optional<std::vector<uint8_t>> ReadUpTo(const fs::path& path, size_t limit, int& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = errno;
        return std::nullopt;
    }
    std::vector<uint8_t> data;
    uint8_t buf[1 << 16];
    while (data.size() < limit) {
        const size_t want = std::min(sizeof buf, limit - data.size());
        const size_t n = std::fread(buf, 1, want, f);
        if (n == 0) break;
        data.insert(data.end(), buf, buf + n);
    }
    const bool failed = std::ferror(f) != 0;
    error = failed ? (errno ? errno : EIO) : 0;
    std::fclose(f);
    if (failed) return std::nullopt;
    return data;
}

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

// Whether the process that wrote a journal or a temporary may still run.
bool ProcessRunning(long pid) {
    if (pid <= 0) return false;
    if (pid == ::getpid()) return false;  // an earlier run of this process id
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}
}  // namespace

void FileStore::SetLastError(int error, const fs::path& path) {
    lastErrno_ = error;
    lastError_ = std::string(std::strerror(error)) + "：" + PathToUtf8(path);
}

std::optional<std::vector<uint8_t>> FileStore::Read(const fs::path& path) {
    return ReadPrefix(path, SIZE_MAX);
}

std::optional<std::vector<uint8_t>> FileStore::ReadPrefix(const fs::path& path, size_t limit) {
    int error = 0;
    auto data = ReadUpTo(path, limit, error);
    if (!data) SetLastError(error, path);
    return data;
}

namespace {
// A file read with the system's read, as the reader asks for its pieces.
class FileSource final : public ByteSource {
public:
    FileSource(int fd, fs::path path) : fd_(fd), path_(std::move(path)) {}
    ~FileSource() override { ::close(fd_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    size_t Read(uint8_t* dst, size_t n) override {
        while (true) {
            const ssize_t got = ::read(fd_, dst, n);
            if (got >= 0) return static_cast<size_t>(got);
            if (errno == EINTR) continue;
            throw FileReadError(std::string(std::strerror(errno)) + "：" + PathToUtf8(path_));
        }
    }

private:
    int fd_;
    fs::path path_;
};

// Bytes already in memory, handed out as a file's pieces.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    size_t Read(uint8_t* dst, size_t n) override {
        const size_t k = std::min(n, bytes_.size() - at_);
        if (k) std::memcpy(dst, bytes_.data() + at_, k);
        at_ += k;
        return k;
    }

private:
    std::vector<uint8_t> bytes_;
    size_t at_ = 0;
};
}  // namespace

std::unique_ptr<ByteSource> FileStore::OpenRead(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        SetLastError(errno, path);
        return nullptr;
    }
    return std::make_unique<FileSource>(fd, path);
}

std::optional<uint64_t> FileStore::Size(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        SetLastError(errno, path);
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        SetLastError(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, path);
        return std::nullopt;
    }
    return static_cast<uint64_t>(st.st_size);
}

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
        if (ProcessRunning(std::atol(name.c_str() + at + kMark.size()))) continue;
        std::error_code removeError;
        if (fs::remove(it->path(), removeError)) ++removed;
    }
    return removed;
}

std::optional<FileStore::Staged> FileStore::Stage(const fs::path& path,
                                                  std::span<const uint8_t> bytes) {
    // A folder where the file should be is told as such, not replaced.
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        SetLastError(EISDIR, path);
        return std::nullopt;
    }
    Staged staged{path, path};
    staged.temp += TempSuffix();
    int fd = ::open(staged.temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        SetLastError(errno, path);
        return std::nullopt;
    }
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        SetLastError(error, path);
        ::unlink(staged.temp.c_str());
        return std::nullopt;
    }
    return staged;
}

std::optional<FileStore::Staged> FileStore::StageCopy(const fs::path& from, const fs::path& to) {
    Staged staged{to, to};
    staged.temp += TempSuffix();
    std::error_code ec;
    if (!fs::copy_file(from, staged.temp, ec)) {
        SetLastError(ec.value(), from);
        fs::remove(staged.temp, ec);
        return std::nullopt;
    }
    int fd = ::open(staged.temp.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!synced) {
        SetLastError(errno, to);
        ::unlink(staged.temp.c_str());
        return std::nullopt;
    }
    return staged;
}

bool FileStore::Commit(const Staged& staged) {
    if (Rename(staged.temp, staged.target)) return true;
    ::unlink(staged.temp.c_str());
    return false;
}

bool FileStore::Rename(const fs::path& from, const fs::path& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    SetLastError(errno, to);
    return false;
}

bool FileStore::Remove(const fs::path& path) {
    if (::unlink(path.c_str()) == 0) return true;
    SetLastError(errno, path);
    return false;
}

void FileStore::SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
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
    if (fs::is_directory(dir)) return true;
    SetLastError(ec ? ec.value() : ENOTDIR, dir);
    return false;
}

// ---------------------------------------------------------------------------

std::optional<std::vector<uint8_t>> MemoryFileStore::Read(const fs::path& path) {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
}

std::optional<std::vector<uint8_t>> MemoryFileStore::ReadPrefix(const fs::path& path,
                                                                size_t limit) {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    const size_t n = std::min(limit, it->second.size());
    return std::vector<uint8_t>(it->second.begin(),
                                it->second.begin() + static_cast<std::ptrdiff_t>(n));
}

std::unique_ptr<ByteSource> MemoryFileStore::OpenRead(const fs::path& path) {
    auto bytes = Read(path);
    if (!bytes) return nullptr;
    return std::make_unique<MemorySource>(std::move(*bytes));
}

std::optional<uint64_t> MemoryFileStore::Size(const fs::path& path) {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second.size();
}

std::optional<FileStore::Staged> MemoryFileStore::Stage(const fs::path& path,
                                                        std::span<const uint8_t> bytes) {
    fs::path temp = path;
    temp += ".staged";
    files[temp] = std::vector<uint8_t>(bytes.begin(), bytes.end());
    return Staged{path, temp};
}

std::optional<FileStore::Staged> MemoryFileStore::StageCopy(const fs::path& from,
                                                            const fs::path& to) {
    auto it = files.find(from);
    if (it == files.end()) return std::nullopt;
    fs::path temp = to;
    temp += ".staged";
    files[temp] = it->second;
    return Staged{to, temp};
}

bool MemoryFileStore::Commit(const Staged& staged) { return Rename(staged.temp, staged.target); }

bool MemoryFileStore::Rename(const fs::path& from, const fs::path& to) {
    auto it = files.find(from);
    if (it == files.end()) return false;
    std::vector<uint8_t> bytes = std::move(it->second);
    files.erase(it);
    files[to] = std::move(bytes);
    return true;
}

void MemoryFileStore::Discard(const Staged& staged) { files.erase(staged.temp); }

// ---------------------------------------------------------------------------

namespace {
constexpr const char* kJournalHeader = "velkor-journal 1";

// Journal lines are tab-separated; a name keeps its tabs, line breaks and
// percent signs as %09, %0A, %0D and %25.
std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '%':
                out += "%25";
                break;
            case '\t':
                out += "%09";
                break;
            case '\n':
                out += "%0A";
                break;
            case '\r':
                out += "%0D";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            out += static_cast<char>(std::strtol(s.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// A journal names each file by its place under the journal's folder, or in
// full when it lies elsewhere.
std::string JournalName(const fs::path& folder, const fs::path& file) {
    const fs::path relative = file.lexically_relative(folder);
    if (!relative.empty() && *relative.begin() != "..") return PathToUtf8(relative);
    return PathToUtf8(fs::absolute(file));
}

fs::path FromJournalName(const fs::path& folder, const std::string& name) {
    const fs::path p = PathFromUtf8(name);
    return p.is_absolute() ? p : folder / p;
}

struct Journal {
    long pid = 0;
    bool complete = false;
    std::vector<FileStore::Staged> files;
};

Journal ParseJournal(const fs::path& folder, const std::vector<uint8_t>& bytes) {
    Journal j;
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::string line;
    if (!std::getline(in, line) || line != kJournalHeader) return j;
    while (std::getline(in, line)) {
        if (line.rfind("pid\t", 0) == 0) {
            j.pid = std::atol(line.c_str() + 4);
        } else if (line.rfind("file\t", 0) == 0) {
            const size_t tab = line.find('\t', 5);
            if (tab == std::string::npos) return j;
            const fs::path target = FromJournalName(folder, Unescape(line.substr(5, tab - 5)));
            fs::path temp = target.parent_path() / PathFromUtf8(Unescape(line.substr(tab + 1)));
            j.files.push_back({target, temp});
        } else if (line.rfind("end\t", 0) == 0) {
            j.complete = std::strtoul(line.c_str() + 4, nullptr, 10) == j.files.size();
            return j;
        } else {
            return j;
        }
    }
    return j;
}
}  // namespace

FileBatch::FileBatch(FileStore& under, fs::path journalFolder)
    : under_(under), folder_(std::move(journalFolder)) {}

FileBatch::~FileBatch() { DiscardAll(); }

const FileStore::Staged* FileBatch::Find(const fs::path& target) const {
    for (auto it = staged_.rbegin(); it != staged_.rend(); ++it) {
        if (it->target == target) return &*it;
    }
    return nullptr;
}

bool FileBatch::Fail(const std::string& error) {
    if (!failed_) firstError_ = error;
    failed_ = true;
    lastError_ = error;
    lastErrno_ = under_.LastErrno();
    return false;
}

std::optional<std::vector<uint8_t>> FileBatch::Read(const fs::path& path) {
    const Staged* s = Find(path);
    return under_.Read(s ? s->temp : path);
}

std::optional<std::vector<uint8_t>> FileBatch::ReadPrefix(const fs::path& path, size_t limit) {
    const Staged* s = Find(path);
    return under_.ReadPrefix(s ? s->temp : path, limit);
}

void FileBatch::TakeUnderError() {
    lastError_ = under_.LastError();
    lastErrno_ = under_.LastErrno();
}

std::unique_ptr<ByteSource> FileBatch::OpenRead(const fs::path& path) {
    const Staged* s = Find(path);
    auto source = under_.OpenRead(s ? s->temp : path);
    if (!source) TakeUnderError();
    return source;
}

std::optional<uint64_t> FileBatch::Size(const fs::path& path) {
    const Staged* s = Find(path);
    auto size = under_.Size(s ? s->temp : path);
    if (!size) TakeUnderError();
    return size;
}

std::optional<FileStore::Staged> FileBatch::Stage(const fs::path& path,
                                                  std::span<const uint8_t> bytes) {
    under_.ClearLastError();
    auto staged = under_.Stage(path, bytes);
    if (!staged) {
        Fail(under_.LastError().empty() ? "无法写入：" + PathToUtf8(path) : under_.LastError());
        return std::nullopt;
    }
    // A file written twice in one batch: the last bytes count.
    auto old = std::find_if(staged_.begin(), staged_.end(),
                            [&](const Staged& s) { return s.target == path; });
    if (old != staged_.end()) {
        under_.Discard(*old);
        staged_.erase(old);
    }
    staged_.push_back(*staged);
    return staged;
}

std::optional<FileStore::Staged> FileBatch::StageCopy(const fs::path& from, const fs::path& to) {
    under_.ClearLastError();
    auto staged = under_.StageCopy(from, to);
    if (!staged) {
        Fail(under_.LastError().empty() ? "无法写入：" + PathToUtf8(to) : under_.LastError());
        return std::nullopt;
    }
    staged_.push_back(*staged);
    return staged;
}

bool FileBatch::Commit(const Staged& staged) { return Find(staged.target) != nullptr; }

void FileBatch::Discard(const Staged& staged) {
    auto it = std::find_if(staged_.begin(), staged_.end(),
                           [&](const Staged& s) { return s.temp == staged.temp; });
    if (it == staged_.end()) return;
    under_.Discard(*it);
    staged_.erase(it);
}

bool FileBatch::MakeDirs(const fs::path& dir) {
    under_.ClearLastError();
    if (under_.MakeDirs(dir)) return true;
    return Fail(under_.LastError().empty() ? "无法建立文件夹：" + PathToUtf8(dir)
                                           : under_.LastError());
}

size_t FileBatch::RemoveStaleTemporaries(const fs::path& folder) {
    return under_.RemoveStaleTemporaries(folder);
}

bool FileBatch::Rename(const fs::path& from, const fs::path& to) { return under_.Rename(from, to); }
bool FileBatch::Remove(const fs::path& path) { return under_.Remove(path); }
void FileBatch::SyncFolder(const fs::path& folder) { under_.SyncFolder(folder); }

void FileBatch::DiscardAll() {
    for (const Staged& s : staged_) under_.Discard(s);
    staged_.clear();
}

bool FileBatch::CommitAll() {
    if (failed_) {
        DiscardAll();
        return false;
    }
    if (staged_.empty()) return true;
    // A single file needs no journal: its rename is the whole change.
    if (staged_.size() == 1) {
        const bool ok = under_.Commit(staged_.front());
        staged_.clear();
        return ok || Fail(under_.LastError());
    }
    std::string text = std::string(kJournalHeader) + "\npid\t" + std::to_string(::getpid()) + "\n";
    for (const Staged& s : staged_) {
        text += "file\t" + Escape(JournalName(folder_, s.target)) + "\t" +
                Escape(PathToUtf8(s.temp.filename())) + "\n";
    }
    text += "end\t" + std::to_string(staged_.size()) + "\n";
    const fs::path journal = folder_ / kJournalName;
    if (!under_.MakeDirs(folder_) ||
        !under_.WriteAtomic(
            journal, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()))) {
        Fail(under_.LastError());
        DiscardAll();
        return false;
    }
    under_.SyncFolder(folder_);
    // From here on the new files win: a stop before the journal is removed
    // is finished by the next open.
    std::set<fs::path> folders;
    bool all = true;
    for (const Staged& s : staged_) {
        if (!under_.Rename(s.temp, s.target)) {
            all = false;
            Fail(under_.LastError());
        }
        folders.insert(s.target.parent_path());
    }
    for (const fs::path& f : folders) under_.SyncFolder(f);
    staged_.clear();
    if (!all) return false;  // the journal stays: the next open retries
    under_.Remove(journal);
    under_.SyncFolder(folder_);
    return true;
}

SaveRecovery RecoverInterruptedSave(FileStore& files, const fs::path& journalFolder,
                                    const std::vector<fs::path>& folders) {
    SaveRecovery result;
    const fs::path journalPath = journalFolder / kJournalName;
    if (const auto bytes = files.ReadPrefix(journalPath, 16 << 20)) {
        const Journal j = ParseJournal(journalFolder, *bytes);
        if (j.complete && ProcessRunning(j.pid)) return result;  // a save still going on
        std::set<fs::path> touched;
        for (const FileStore::Staged& s : j.files) {
            if (!files.Size(s.temp)) continue;  // renamed before the stop
            if (j.complete ? files.Rename(s.temp, s.target) : files.Remove(s.temp)) {
                ++result.files;
                touched.insert(s.target.parent_path());
            }
        }
        for (const fs::path& f : touched) files.SyncFolder(f);
        files.Remove(journalPath);
        files.SyncFolder(journalFolder);
        result.kind = j.complete ? SaveRecovery::Kind::kFinished : SaveRecovery::Kind::kUndone;
    }
    size_t removed = 0;
    for (const fs::path& f : folders) removed += files.RemoveStaleTemporaries(f);
    if (removed > 0 && result.kind != SaveRecovery::Kind::kFinished) {
        result.kind = SaveRecovery::Kind::kUndone;
        result.files += removed;
    }
    return result;
}

std::optional<std::vector<uint8_t>> ReadAtMost(FileStore& files, const fs::path& path,
                                               uint64_t limit, std::string& refused) {
    refused.clear();
    const auto size = files.Size(path);
    if (!size) return std::nullopt;
    if (*size > limit) {
        refused = "文件过大：" + PathToUtf8(path) + "（" + std::to_string(*size) +
                  " 个字节，这种文件最多 " + std::to_string(limit) + " 个字节）";
        return std::nullopt;
    }
    return files.ReadPrefix(path, static_cast<size_t>(limit));
}

std::string WithCause(const std::string& message, const std::string& cause) {
    if (cause.empty()) return message;
    // A message that ends a sentence puts the cause on a line of its own.
    const bool sentence = message.ends_with("。") || message.ends_with("！");
    return message + (sentence ? "\n" : "：") + cause;
}

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
