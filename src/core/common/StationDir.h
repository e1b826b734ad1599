#pragma once
#include <filesystem>
#include <vector>

namespace velkor {

namespace fs = std::filesystem;

// The folder of a station and the names inside it. Every name keeps its case
// exactly: x86/station.le but ppc/Station.be, x86/Relation.le but
// ppc/relation.be, because the field tools look for these names.
struct StationDir {
    fs::path root;

    static StationDir ForStationFile(const fs::path& stationFile) {
        return {stationFile.parent_path()};
    }

    fs::path X86() const { return root / "x86"; }
    fs::path Ppc() const { return root / "ppc"; }
    fs::path X86Atp() const { return root / "x86" / "ATP"; }
    fs::path PpcAtp() const { return root / "ppc" / "ATP"; }
    fs::path Ats() const { return root / "ATS"; }
    fs::path CompanionFile() const { return root / "LCPData.lcp"; }
    fs::path operator/(const fs::path& relative) const { return root / relative; }

    // Every folder Velkor writes into, where a save or a command can leave
    // temporaries behind.
    std::vector<fs::path> Folders() const {
        return {root,
                X86(),
                Ppc(),
                X86Atp(),
                PpcAtp(),
                Ats(),
                root / "MainTrack",
                root / "ZedevEzura",
                root / "CheckIOExcel",
                root / "CheckIOExcel" / "textView",
                root / "ZC_CI"};
    }
};

inline constexpr const char* kCompanionFileName = "LCPData.lcp";

}  // namespace velkor
