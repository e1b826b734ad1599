#pragma once
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "common/Status.h"

namespace velkor {

namespace fs = std::filesystem;

class CVelkorDoc;

// A station copy the desktop program kept while it had unsaved changes.
struct RecoveryCopy {
    fs::path folder;       // the copy's own folder
    fs::path station;      // the copy's station file
    std::string original;  // the station's own file (UTF-8); "" for a station never saved
    std::time_t savedAt = 0;
};

// The copies of changed stations that the desktop program saves every few
// minutes, each into a folder of its own under `root` (in the user's data
// folder), never over the user's files. A normal close removes a station's
// copy; the copies of a program that ended otherwise stay for its next
// start to offer.
class RecoveryStore {
public:
    explicit RecoveryStore(fs::path root);

    // Saves the document as copy `slot` of this process, replacing the
    // previous copy only once the new one is complete.
    Status Save(CVelkorDoc& doc, int slot, std::time_t now);
    // Removes copy `slot` of this process.
    void Remove(int slot);
    // The copies of processes no longer running, newest first. A copy that
    // was being replaced when its program stopped is first made whole again.
    std::vector<RecoveryCopy> LeftBehind();
    // Removes a copy that was restored or turned down.
    static void Discard(const RecoveryCopy& copy);

    const fs::path& Root() const { return root_; }

private:
    fs::path SlotFolder(int slot) const;
    void MendInterruptedCopies();

    fs::path root_;
};

}  // namespace velkor
