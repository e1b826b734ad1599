#include <gtest/gtest.h>

#include "archive/Archive.h"
#include "common/Text.h"
#include "devices/CADDevice.h"
#include "devices/Label.h"
#include "devices/StationClasses.h"
#include "support/TestFiles.h"

namespace velkor {
namespace {

using testing::Hex;

std::vector<uint8_t> WrittenString(std::u16string_view s) {
    ByteWriter w;
    Archive ar(w, StationClassRegistry());
    ar.WriteString(s);
    return w.Data();
}

std::u16string ReadStringFrom(const std::vector<uint8_t>& bytes) {
    ByteReader r(bytes);
    Archive ar(r, StationClassRegistry());
    return ar.ReadString();
}

TEST(ArchiveString, WideFormsByLength) {
    EXPECT_EQ(Hex(WrittenString(u"")), "FF FE FF 00");
    EXPECT_EQ(Hex(WrittenString(u"AB")), "FF FE FF 02 41 00 42 00");

    const auto s254 = WrittenString(std::u16string(254, u'x'));
    EXPECT_EQ(Hex(s254, 0, 4), "FF FE FF FE");
    EXPECT_EQ(s254.size(), 4u + 2 * 254);

    const auto s255 = WrittenString(std::u16string(255, u'x'));
    EXPECT_EQ(Hex(s255, 0, 6), "FF FE FF FF FF 00");
    EXPECT_EQ(s255.size(), 6u + 2 * 255);

    const auto big = WrittenString(std::u16string(0xFFFE, u'x'));
    EXPECT_EQ(Hex(big, 0, 10), "FF FE FF FF FF FF FE FF 00 00");

    for (size_t n : {0, 1, 254, 255, 0xFFFD, 0xFFFE, 0x10005}) {
        const std::u16string s(n, u'站');
        EXPECT_EQ(ReadStringFrom(WrittenString(s)), s) << n;
    }
}

TEST(ArchiveString, NarrowGbkStringOfOlderFilesReadsAsUtf16AndWritesWide) {
    // Length byte 03 and three GBK bytes: "A" and "站".
    const std::vector<uint8_t> narrow{0x03, 'A', 0xD5, 0xBE};
    const std::u16string s = ReadStringFrom(narrow);
    EXPECT_EQ(s, u"A站");
    EXPECT_EQ(Hex(WrittenString(s)), "FF FE FF 02 41 00 D9 7A");

    // A narrow string with a word length: FF, then a word that is not FFFE.
    std::vector<uint8_t> longNarrow{0xFF, 0x03, 0x00, 'x', 'y', 'z'};
    EXPECT_EQ(ReadStringFrom(longNarrow), u"xyz");
    // Wide with a 32-bit length.
    std::vector<uint8_t> wide32{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0, 'q', 0};
    EXPECT_EQ(ReadStringFrom(wide32), u"q");
}

TEST(ArchiveString, LengthBeyondTheDataIsEndOfFileNotAHugeAllocation) {
    const std::vector<std::vector<uint8_t>> damaged = {
        {},
        {0x05, 'a'},
        {0xFF, 0xFE, 0xFF, 0x03, 'a', 0},
        {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
    };
    for (const auto& bytes : damaged) {
        try {
            ReadStringFrom(bytes);
            ADD_FAILURE() << "read " << Hex(bytes);
        } catch (const ArchiveError& e) {
            EXPECT_EQ(e.Kind(), ArchiveErrorKind::EndOfFile) << Hex(bytes);
        }
    }
}

// Writes objects one after the other, as the station file does.
std::vector<uint8_t> WriteObjects(const std::vector<const ArchiveObject*>& objs) {
    ByteWriter w;
    Archive ar(w, StationClassRegistry());
    for (const ArchiveObject* o : objs) ar.WriteObject(o);
    return w.Data();
}

std::vector<uint8_t> PayloadOf(const ArchiveObject& obj) {
    ByteWriter w;
    Archive ar(w, StationClassRegistry());
    const_cast<ArchiveObject&>(obj).Serialize(ar);
    return w.Data();
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<uint8_t> Ascii(std::string_view s) { return {s.begin(), s.end()}; }

TEST(ArchiveObjects, ClassRecordsAndIndexesInStreamOrder) {
    CADDevice d1, d2, d3;
    d1.io.SetName(u"1DG");
    Label label;
    const auto bytes = WriteObjects({&d1, &d2, &label, &d3});
    // Class CADDevice takes index 1, the devices 2 and 3; class Label takes
    // 4, the label 5; the third device is again class index 1.
    const auto expected = Concat({{0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00},
                                  Ascii("CADDevice"),
                                  PayloadOf(d1),
                                  {0x01, 0x80},
                                  PayloadOf(d2),
                                  {0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00},
                                  Ascii("Label"),
                                  PayloadOf(label),
                                  {0x01, 0x80},
                                  PayloadOf(d3)});
    EXPECT_EQ(Hex(bytes), Hex(expected));

    ByteReader r(bytes);
    Archive ar(r, StationClassRegistry());
    std::vector<std::unique_ptr<ArchiveObject>> owned(4);
    for (auto& o : owned) {
        ar.ReadObject(CADGraphic::Class(), o);
        ASSERT_TRUE(o);
    }
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(std::string(owned[2]->GetRuntimeClass().name), "Label");
    EXPECT_EQ(dynamic_cast<CADDevice&>(*owned[0]).io.Name(), u"1DG");
    EXPECT_EQ(dynamic_cast<CADDevice&>(*owned[3]).io.Name(), u"NO");
}

TEST(ArchiveObjects, LongFormFromIndex32767) {
    // Class CADGraphic takes index 1 and its 32765 objects 2 to 32766; the
    // class Label then takes 32767, the first index that needs the long form.
    std::vector<std::unique_ptr<CADGraphic>> graphics(32765);
    std::vector<const ArchiveObject*> objs;
    for (auto& g : graphics) {
        g = std::make_unique<CADGraphic>();
        objs.push_back(g.get());
    }
    Label first, second;
    CADGraphic last;
    objs.push_back(&first);
    objs.push_back(&second);
    objs.push_back(&last);
    const auto bytes = WriteObjects(objs);

    const size_t afterGraphics = 6 + 10 + 2 * 32764;  // class record + short tags
    EXPECT_EQ(Hex(bytes, afterGraphics, 6), "FF FF 01 00 05 00");
    const size_t second_at = afterGraphics + 6 + 5 + PayloadOf(first).size();
    EXPECT_EQ(Hex(bytes, second_at, 6), "FF 7F FF 7F 00 80");
    const size_t last_at = second_at + 6 + PayloadOf(second).size();
    EXPECT_EQ(Hex(bytes, last_at, 2), "01 80");  // class index 1 stays short
    EXPECT_EQ(bytes.size(), last_at + 2);

    ByteReader r(bytes);
    Archive ar(r, StationClassRegistry());
    std::unique_ptr<ArchiveObject> o;
    for (size_t i = 0; i < objs.size(); ++i) {
        ar.ReadObject(CADGraphic::Class(), o);
        ASSERT_TRUE(o) << i;
        EXPECT_STREQ(o->GetRuntimeClass().name, objs[i]->GetRuntimeClass().name) << i;
    }
    EXPECT_TRUE(r.AtEnd());
}

TEST(ArchiveObjects, NullObjectsAndBackReferences) {
    Label label;
    auto bytes = WriteObjects({&label});
    // Then a null object, a reference to the label (index 2) and a long-form
    // reference to it.
    for (uint8_t b : {0x00, 0x00, 0x02, 0x00, 0xFF, 0x7F, 0x02, 0x00, 0x00, 0x00})
        bytes.push_back(b);
    ByteReader r(bytes);
    Archive ar(r, StationClassRegistry());
    std::unique_ptr<ArchiveObject> first, other;
    ArchiveObject* read = ar.ReadObject(CADGraphic::Class(), first);
    EXPECT_EQ(ar.ReadObject(CADGraphic::Class(), other), nullptr);
    EXPECT_FALSE(other);
    EXPECT_EQ(ar.ReadObject(CADGraphic::Class(), other), read);
    EXPECT_FALSE(other);
    EXPECT_EQ(ar.ReadObject(CADGraphic::Class(), other), read);
    EXPECT_TRUE(r.AtEnd());
}

struct BadCase {
    const char* what;
    std::vector<uint8_t> bytes;
    ArchiveErrorKind kind;
};

TEST(ArchiveObjects, DamagedObjectRecordsReportTheirErrorKind) {
    const auto classRecord = [](uint16_t schema, std::string_view name) {
        std::vector<uint8_t> v{0xFF,
                               0xFF,
                               uint8_t(schema),
                               uint8_t(schema >> 8),
                               uint8_t(name.size()),
                               uint8_t(name.size() >> 8)};
        v.insert(v.end(), name.begin(), name.end());
        return v;
    };
    const std::vector<BadCase> cases = {
        {"unknown class", classRecord(1, "CADWidget"), ArchiveErrorKind::BadClass},
        {"class name case", classRecord(1, "label"), ArchiveErrorKind::BadClass},
        {"name of 64 bytes", classRecord(1, std::string(64, 'L')), ArchiveErrorKind::BadClass},
        {"name cut short",
         {0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00, 'L', 'a'},
         ArchiveErrorKind::BadClass},
        {"schema 2", classRecord(2, "Label"), ArchiveErrorKind::BadSchema},
        {"class index never seen", {0x01, 0x80}, ArchiveErrorKind::BadIndex},
        {"object index never seen", {0x05, 0x00}, ArchiveErrorKind::BadIndex},
        {"long reference never seen",
         {0xFF, 0x7F, 0x09, 0x00, 0x00, 0x00},
         ArchiveErrorKind::BadIndex},
        {"tag cut short", {0xFF}, ArchiveErrorKind::EndOfFile},
        {"payload cut short", Concat({classRecord(1, "CADDevice"), {0x00, 0x00, 0x00}}),
         ArchiveErrorKind::EndOfFile},
    };
    for (const BadCase& c : cases) {
        ByteReader r(c.bytes);
        Archive ar(r, StationClassRegistry());
        std::unique_ptr<ArchiveObject> o;
        try {
            ar.ReadObject(CADGraphic::Class(), o);
            ADD_FAILURE() << c.what << " was read";
        } catch (const ArchiveError& e) {
            EXPECT_EQ(e.Kind(), c.kind) << c.what;
        }
    }
}

TEST(ArchiveObjects, ClassIndexUsedAsObjectReferenceIsMalformed) {
    Label label;
    auto bytes = WriteObjects({&label});
    bytes.push_back(0x01);  // index 1 is the class record, not an object
    bytes.push_back(0x00);
    ByteReader r(bytes);
    Archive ar(r, StationClassRegistry());
    std::unique_ptr<ArchiveObject> o;
    ar.ReadObject(CADGraphic::Class(), o);
    try {
        ar.ReadObject(CADGraphic::Class(), o);
        ADD_FAILURE();
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.Kind(), ArchiveErrorKind::BadIndex);
    }
}

TEST(ClassRegistry, KnowsTheTwentyStationClassesWithSchemaOne) {
    const std::vector<std::string> names = {
        "CADSection", "RailSwitch", "CADSignal",        "CADThreeSwitch", "CADDerailer",
        "CADAfgDoor", "CADDoor",    "NavigableTrack",   "TurnTable",      "CADButton",
        "CADDeLight", "Arrow",      "ArrowLight",       "CADSealCount",   "CADStation",
        "Label",      "CADDeLine",  "CADSemiAutoBlock", "CADDevice",      "CADGraphic"};
    ASSERT_EQ(StationClassRegistry().All().size(), names.size());
    for (const auto& n : names) {
        const RuntimeClass* c = FindStationClass(n);
        ASSERT_NE(c, nullptr) << n;
        EXPECT_EQ(c->schema, 1) << n;
        EXPECT_TRUE(c->IsDerivedFrom(CADGraphic::Class())) << n;
    }
}

TEST(ClassRegistry, DeviceTestFollowsTheDeclaredBase) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"CADSection", true},        {"RailSwitch", true},     {"CADThreeSwitch", true},
        {"CADSignal", true},         {"CADDoor", true},        {"CADButton", true},
        {"CADDeLight", true},        {"NavigableTrack", true}, {"TurnTable", true},
        {"CADDevice", true},         {"Arrow", false},         {"ArrowLight", false},
        {"CADAfgDoor", false},       {"CADDerailer", false},   {"CADSealCount", false},
        {"CADStation", false},       {"Label", false},         {"CADDeLine", false},
        {"CADSemiAutoBlock", false}, {"CADGraphic", false}};
    for (const auto& [name, device] : cases) {
        EXPECT_EQ(FindStationClass(name)->IsDerivedFrom(CADDevice::Class()), device) << name;
    }
}

}  // namespace
}  // namespace velkor
