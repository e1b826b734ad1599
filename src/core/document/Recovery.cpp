#include "document/Recovery.h"

#include <unistd.h>
#include <csignal>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>

#include "common/Files.h"
#include "document/CVelkorDoc.h"

namespace velkor {

namespace {
constexpr const char* kAbout = "recovery.txt";
constexpr const char* kStationName = "Station.lcp";

bool Running(long pid) {
    if (pid <= 0) return false;
    if (pid == ::getpid()) return true;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}
}  // namespace

RecoveryStore::RecoveryStore(fs::path root) : root_(std::move(root)) {}

fs::path RecoveryStore::SlotFolder(int slot) const {
    return root_ / (std::to_string(::getpid()) + "-" + std::to_string(slot));
}

Status RecoveryStore::Save(CVelkorDoc& doc, int slot, std::time_t now) {
    // The new copy is written beside the old one and takes its place only
    // when complete, so a crash while saving still leaves the last copy.
    const fs::path folder = SlotFolder(slot);
    fs::path fresh = folder;
    fresh += ".new";
    std::error_code ec;
    fs::remove_all(fresh, ec);
    fs::create_directories(fresh, ec);
    if (ec) return Status::IoError(WithCause("无法建立恢复文件夹", PathToUtf8(fresh)));
    if (Status s = doc.SaveCopy(fresh / kStationName); !s) {
        fs::remove_all(fresh, ec);
        return s;
    }
    const std::string about = "original\t" + PathToUtf8(doc.PathName()) + "\nsaved\t" +
                              std::to_string(static_cast<long long>(now)) + "\n";
    if (!WriteFileAtomic(fresh / kAbout,
                         std::span(reinterpret_cast<const uint8_t*>(about.data()), about.size()))) {
        fs::remove_all(fresh, ec);
        return Status::IoError(WithCause("无法写入恢复文件", PathToUtf8(fresh / kAbout)));
    }
    fs::path old = folder;
    old += ".old";
    fs::remove_all(old, ec);
    fs::rename(folder, old, ec);  // none the first time
    fs::rename(fresh, folder, ec);
    if (ec) return Status::IoError(WithCause("无法写入恢复文件", ec.message()));
    fs::remove_all(old, ec);
    return {};
}

void RecoveryStore::Remove(int slot) {
    std::error_code ec;
    const fs::path folder = SlotFolder(slot);
    fs::remove_all(folder, ec);
    for (const char* suffix : {".new", ".old"}) {
        fs::path other = folder;
        other += suffix;
        fs::remove_all(other, ec);
    }
}

void RecoveryStore::MendInterruptedCopies() {
    // A new copy is complete once it holds its description; the old copy
    // is complete as it stands. The new one is preferred.
    std::error_code ec;
    for (const char* suffix : {".new", ".old"}) {
        std::vector<fs::path> halves;
        for (auto it = fs::directory_iterator(root_, ec); !ec && it != fs::directory_iterator();
             it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.ends_with(suffix) && !Running(std::atol(name.c_str())))
                halves.push_back(it->path());
        }
        for (const fs::path& half : halves) {
            fs::path whole = half;
            whole.replace_extension();
            std::error_code e;
            if (!fs::exists(whole, e) && fs::exists(half / kAbout, e)) {
                fs::rename(half, whole, e);
            } else {
                fs::remove_all(half, e);
            }
        }
    }
}

std::vector<RecoveryCopy> RecoveryStore::LeftBehind() {
    MendInterruptedCopies();
    std::vector<RecoveryCopy> out;
    std::error_code ec;
    for (auto it = fs::directory_iterator(root_, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const long pid = std::atol(name.c_str());
        // A copy of a program still running is its own; ".new" and ".old"
        // folders are the halves of a copy being replaced.
        if (Running(pid) || name.find('.') != std::string::npos) continue;
        const auto about = ReadWholeFile(it->path() / kAbout);
        if (!about || !fs::exists(it->path() / kStationName)) continue;
        RecoveryCopy copy{it->path(), it->path() / kStationName, {}, 0};
        std::istringstream in(std::string(about->begin(), about->end()));
        std::string line;
        while (std::getline(in, line)) {
            const size_t tab = line.find('\t');
            if (tab == std::string::npos) continue;
            const std::string key = line.substr(0, tab);
            const std::string value = line.substr(tab + 1);
            if (key == "original") copy.original = value;
            if (key == "saved") copy.savedAt = static_cast<std::time_t>(std::atoll(value.c_str()));
        }
        out.push_back(std::move(copy));
    }
    std::sort(out.begin(), out.end(),
              [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.savedAt > b.savedAt; });
    return out;
}

void RecoveryStore::Discard(const RecoveryCopy& copy) {
    std::error_code ec;
    fs::remove_all(copy.folder, ec);
}

}  // namespace velkor
