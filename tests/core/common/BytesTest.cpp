#include <gtest/gtest.h>

#include "common/Bytes.h"

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

}  // namespace
}  // namespace velkor
