#include <gtest/gtest.h>

#include "common/Bytes.h"

#include <random>

namespace velkor {
namespace {

TEST(Bytes, WritesAndReadsBothByteOrders) {
    for (Endian e : {Endian::Little, Endian::Big}) {
        ByteWriter w(e);
        w.U8(0x01);
        w.U16(0x0203);
        w.U32(0x04050607);
        w.I32(-2);
        w.U64(0x08090A0B0C0D0E0Full);
        ByteReader r(w.Data(), e);
        EXPECT_EQ(r.U8(), 0x01);
        EXPECT_EQ(r.U16(), 0x0203);
        EXPECT_EQ(r.U32(), 0x04050607u);
        EXPECT_EQ(r.I32(), -2);
        EXPECT_EQ(r.U64(), 0x08090A0B0C0D0E0Full);
        EXPECT_TRUE(r.AtEnd());
    }
}

TEST(Bytes, ByteOrderIsAsNamed) {
    ByteWriter le(Endian::Little);
    le.U16(0x1234);
    le.U32(0xAABBCCDD);
    EXPECT_EQ(le.Data(), (std::vector<uint8_t>{0x34, 0x12, 0xDD, 0xCC, 0xBB, 0xAA}));
    ByteWriter be(Endian::Big);
    be.U16(0x1234);
    be.U32(0xAABBCCDD);
    EXPECT_EQ(be.Data(), (std::vector<uint8_t>{0x12, 0x34, 0xAA, 0xBB, 0xCC, 0xDD}));
}

TEST(Bytes, ShortReadThrowsAndKeepsPosition) {
    const std::vector<uint8_t> data{1, 2, 3};
    ByteReader r(data);
    EXPECT_EQ(r.U16(), 0x0201);
    EXPECT_THROW(r.U16(), ShortReadError);
    EXPECT_EQ(r.Position(), 2u);
    EXPECT_THROW(r.U32(), ShortReadError);
    uint8_t buf[4]{};
    EXPECT_THROW(r.Bytes(buf, 2), ShortReadError);
    EXPECT_EQ(r.BytesUpTo(buf, 4), 1u);
    EXPECT_EQ(buf[0], 3);
    EXPECT_THROW(r.U8(), ShortReadError);
}

// A file that hands out a few bytes per read, as a pipe or a slow disk may,
// so that every kind of read crosses the reader's pieces.
class TricklingSource : public ByteSource {
public:
    explicit TricklingSource(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    size_t Read(uint8_t* dst, size_t n) override {
        const size_t k = std::min({n, bytes_.size() - at_, size_t{1} + at_ % 7});
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), k, dst);
        at_ += k;
        return k;
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t at_ = 0;
};

// The same random sequence of reads from the bytes in memory and from a
// file read piece by piece gives the same values and positions; the file
// is longer than a piece (a megabyte) and one Take is longer still.
TEST(Bytes, ReadingAFilePieceByPieceGivesWhatReadingItWholeGives) {
    std::mt19937 random(5);
    std::vector<uint8_t> data(3 * (size_t{1} << 20) + 123);
    for (uint8_t& b : data) b = static_cast<uint8_t>(random());
    TricklingSource source(data);
    ByteReader whole(data);
    ByteReader pieces(source, data.size());
    while (whole.Remaining() > 0) {
        ASSERT_EQ(pieces.Position(), whole.Position());
        ASSERT_EQ(pieces.Remaining(), whole.Remaining());
        const size_t left = whole.Remaining();
        switch (random() % 6) {
            case 0:
                if (left >= 4) {
                    ASSERT_EQ(pieces.U32(), whole.U32());
                }
                break;
            case 1:
                ASSERT_EQ(pieces.U8(), whole.U8());
                break;
            case 2: {
                const size_t n = std::min<size_t>(left, random() % 3000);
                std::vector<uint8_t> a(n), b(n);
                pieces.Bytes(a.data(), n);
                whole.Bytes(b.data(), n);
                ASSERT_EQ(a, b);
                break;
            }
            case 3: {
                const size_t n = std::min<size_t>(left, random() % 5000);
                pieces.Skip(n);
                whole.Skip(n);
                break;
            }
            case 4: {
                // Now and then a Take longer than a piece.
                const size_t n = std::min<size_t>(
                    left, random() % 50 == 0 ? (size_t{1} << 20) + 77 : random() % 200);
                const auto a = pieces.Take(n);
                const auto b = whole.Take(n);
                ASSERT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end()));
                break;
            }
            default:
                if (left >= 2) {
                    ASSERT_EQ(pieces.U16(), whole.U16());
                }
        }
    }
    EXPECT_TRUE(pieces.AtEnd());
    EXPECT_THROW(pieces.U8(), ShortReadError);
}

// A file shorter than the size the reader was given (it shrank after its
// size was taken) ends in ShortReadError, never in bytes that are not there;
// one longer than that is read no further than the size.
TEST(Bytes, AFileThatChangesSizeIsReadOnlyAsFarAsItWas) {
    const std::vector<uint8_t> data{1, 2, 3, 4, 5, 6};
    TricklingSource shrunk(data);
    ByteReader r(shrunk, 10);
    EXPECT_EQ(r.U32(), 0x04030201u);
    EXPECT_THROW(r.U32(), ShortReadError);
    TricklingSource grown(data);
    ByteReader g(grown, 3);
    uint8_t buf[8]{};
    EXPECT_EQ(g.BytesUpTo(buf, 8), 3u);
    EXPECT_TRUE(g.AtEnd());
    EXPECT_THROW(g.U8(), ShortReadError);
}

}  // namespace
}  // namespace velkor
