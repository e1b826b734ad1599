#include "ats/MainTrack.h"

#include "ats/AtsFiles.h"
#include "common/Bytes.h"
#include "common/Clock.h"
#include "common/Interaction.h"
#include "document/CVelkorDoc.h"

namespace velkor {

namespace {

bool IsSpace(uint8_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsSpace(static_cast<uint8_t>(line[i]))) ++i;
        const size_t start = i;
        while (i < line.size() && !IsSpace(static_cast<uint8_t>(line[i]))) ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

// The leading integer of a token as atoi reads it; 0 when there is none.
long LeadingInt(const std::string& token) {
    size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
    long v = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
        if (v < 1000000000L) v = v * 10 + (token[i] - '0');
    }
    return negative ? -v : v;
}

}  // namespace

MainTrackText ParseMainTrackText(std::span<const uint8_t> text) {
    MainTrackText out;
    // Lines as fgets returns them; `pos` is where the next one starts, and
    // `atEnd` is what feof would say: set once a read ran into the end.
    size_t pos = 0;
    bool atEnd = false;
    const auto nextLine = [&](std::string& line) {
        if (pos >= text.size()) {
            atEnd = true;
            return false;
        }
        size_t end = pos;
        while (end < text.size() && text[end] != '\n') ++end;
        line.assign(text.begin() + static_cast<std::ptrdiff_t>(pos),
                    text.begin() + static_cast<std::ptrdiff_t>(end));
        if (end < text.size()) {
            pos = end + 1;
        } else {
            pos = end;
            atEnd = true;
        }
        return true;
    };
    std::string line;
    long count = 0;
    if (nextLine(line)) {
        const auto tokens = Tokens(line);
        if (!tokens.empty()) count = LeadingInt(tokens[0]);
    }
    // Missing lines give empty tracks, so the count alone sets the size of
    // the file: a count no station can have (a typing slip such as 333311110)
    // would ask for gigabytes, and is refused as a count that disagrees.
    if (count > kMostMainTracks) {
        out.error = kMsgMainTrackCount;
        return out;
    }
    for (long i = 0; i < count; ++i) {
        MainTrack track;
        // A missing line leaves a track of no names.
        if (nextLine(line)) {
            const auto tokens = Tokens(line);
            const long n = tokens.empty() ? 0 : LeadingInt(tokens[0]);
            // A line the record cannot hold is refused rather than cut, so
            // no track reaches the field with names missing.
            if (n > static_cast<long>(kMainTrackNames)) {
                out.error = kMsgMainTrackTooManyNames;
                return out;
            }
            track.count = static_cast<uint16_t>(std::max(0L, n));
            for (size_t k = 1; k < tokens.size() && k <= track.count; ++k) {
                if (tokens[k].size() > kMainTrackNameBytes - 1) {
                    out.error = kMsgMainTrackNameTooLong;
                    return out;
                }
                track.names.push_back(tokens[k]);
            }
        }
        out.tracks.push_back(std::move(track));
    }
    // The counted lines must take the file to its end: the last one has no
    // line break after it (or lines are missing). Anything left, a final
    // line break included, means the count and the lines disagree.
    if (!atEnd) {
        out.error = kMsgMainTrackCount;
        out.tracks.clear();
    }
    return out;
}

std::vector<uint8_t> MainTrackBinary(const std::vector<MainTrack>& tracks,
                                     const DataVersion& version, std::time_t now) {
    ByteWriter w;
    w.U8(version.high);
    w.U8(version.middle);
    w.U8(version.low);
    w.U8(version.build);
    w.U64(static_cast<uint64_t>(static_cast<int64_t>(now)));
    w.I32(static_cast<int32_t>(tracks.size()));
    for (const MainTrack& t : tracks) {
        w.U16(t.count);
        uint8_t slots[kMainTrackNames * kMainTrackNameBytes] = {};
        for (size_t i = 0; i < t.names.size() && i < kMainTrackNames; ++i) {
            std::copy_n(t.names[i].begin(), std::min(t.names[i].size(), kMainTrackNameBytes - 1),
                        slots + i * kMainTrackNameBytes);
        }
        w.Bytes(slots, sizeof slots);
    }
    return std::move(w.Data());
}

bool ConvertMainTrack(CVelkorDoc& doc) {
    if (doc.PathName().empty()) {
        doc.UI().Warning(kMsgOpenStationFirst);
        return false;
    }
    const fs::path folder = doc.Directory() / "MainTrack";
    doc.Files().MakeDirs(folder);
    // The count line and at most kMostMainTracks lines, each a count and
    // twenty names of 15 bytes with room to spare for the spacing.
    constexpr uint64_t kLargestLine = 1024;
    constexpr uint64_t kLargestText = (kMostMainTracks + 1) * kLargestLine;
    std::string refused;
    const auto text = ReadAtMost(doc.Files(), folder / "MainTrack.txt", kLargestText, refused);
    if (!text) {
        doc.UI().Warning(refused.empty() ? std::string(kMsgMainTrackMissing)
                                         : WithCause(kMsgMainTrackFailed, refused));
        return false;
    }
    const MainTrackText read = ParseMainTrackText(*text);
    if (read.error) {
        doc.UI().Warning(read.error);
        return false;
    }
    if (!doc.Files().WriteAtomic(folder / "MainTrack.bin",
                                 MainTrackBinary(read.tracks, doc.version, CurrentTime()))) {
        doc.UI().Warning(kMsgMainTrackSaveFailed);
        return false;
    }
    return true;
}

bool RunMainTrackCommand(CVelkorDoc* doc, Interaction& ui) {
    const bool ok = doc && ConvertMainTrack(*doc);
    if (ok) {
        ui.Info(kMsgMainTrackDone);
    } else {
        ui.Warning(kMsgMainTrackFailed);
    }
    return ok;
}

}  // namespace velkor
