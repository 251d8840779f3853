#include "integrity/packed_bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(PackedBytesTest, LayoutAndMarker) {
  Bytes packed = PackBytes("abc", 3);
  ASSERT_GT(packed.size(), 8u);
  EXPECT_EQ(Text(Bytes(packed.begin(), packed.begin() + 8)), std::string("1\x03\0\0\0BZh", 8));
  const auto unpacked = UnpackBytes(packed.data(), packed.size());
  ASSERT_TRUE(unpacked.has_value());
  EXPECT_EQ(*unpacked, "abc");
  EXPECT_EQ(unpacked->c_str()[3], '\0');

  packed[0] = '2';
  EXPECT_FALSE(UnpackBytes(packed.data(), packed.size()).has_value());
}

TEST(PackedBytesTest, RoundTrips) {
  std::string mixed(300000, '\0');
  for (size_t i = 0; i < mixed.size(); ++i) mixed[i] = static_cast<char>(i * i >> 7);
  const std::string large(1 << 20, 'a');
  for (const std::string& data : {std::string(), std::string("x"), large, mixed}) {
    const Bytes packed = PackBytes(data.data(), data.size());
    ASSERT_FALSE(packed.empty());
    EXPECT_EQ(UnpackBytes(packed.data(), packed.size()), data) << data.size();
  }
}

TEST(PackedBytesTest, DamagedOrMislabelledInputGivesNothing) {
  const std::string data(5000, 'q');
  const Bytes packed = PackBytes(data.data(), data.size());
  auto withLength = [&](uint32_t length) {
    Bytes copy = packed;
    for (int i = 0; i < 4; ++i) copy[1 + i] = static_cast<uint8_t>(length >> (8 * i));
    return copy;
  };
  Bytes notBzip = packed;
  notBzip[7] = '0';
  Bytes corrupt = packed;
  corrupt[packed.size() / 2] ^= 0x40;
  struct Case {
    const char* what;
    Bytes bytes;
  };
  const Case cases[] = {
      {"truncated stream", Bytes(packed.begin(), packed.end() - 10)},
      {"stream longer than the stated length", withLength(4999)},
      {"no BZh", notBzip},
      {"damaged stream", corrupt},
      {"header only", Bytes(packed.begin(), packed.begin() + 7)},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(UnpackBytes(c.bytes.data(), c.bytes.size()).has_value()) << c.what;
  }
}

TEST(PackedBytesTest, StatedLengthIsOnlyAnUpperBound) {
  // A forged length of 4 GiB must neither allocate that much nor hide the real data;
  // bytes after the stream's end are ignored.
  const std::string data = "short text";
  Bytes packed = PackBytes(data.data(), data.size());
  for (int i = 1; i <= 4; ++i) packed[i] = 0xff;
  packed.insert(packed.end(), 300, 0);
  EXPECT_EQ(UnpackBytes(packed.data(), packed.size()), data);
}

}  // namespace
