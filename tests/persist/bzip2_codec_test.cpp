#include "persist/bzip2_codec.h"

#include <bzlib.h>
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "persist/persist_error.h"

namespace vexa {
namespace {

// Text that compresses well but spans several 32 KiB buffers and two 900 000-byte blocks.
std::string SampleText(size_t size) {
  std::string s;
  std::mt19937 rng(7);
  while (s.size() < size)
    s += "[" + std::to_string(rng() % 1000) + "]\r\nStartX=" + std::to_string(rng() % 4000) + "\r\n";
  s.resize(size);
  return s;
}

// The reference: libbz2's one-shot compressor with block size 9 and work factor 30.
std::string ReferenceCompress(const std::string& data) {
  std::string out(data.size() + data.size() / 100 + 1024, '\0');
  unsigned len = static_cast<unsigned>(out.size());
  int rc = BZ2_bzBuffToBuffCompress(out.data(), &len, const_cast<char*>(data.data()),
                                    static_cast<unsigned>(data.size()), 9, 0, 30);
  EXPECT_EQ(rc, BZ_OK);
  out.resize(len);
  return out;
}

std::string StatusOf(const std::string& input, const TBzip2Codec& codec = TBzip2Codec()) {
  try {
    codec.Decompress(input);
  } catch (const TBzip2Error& e) {
    return e.what();
  }
  return "no error";
}

TEST(Bzip2Codec, CompressesToTheSameStreamAsLibbz2AtBlockSizeNine) {
  for (size_t size : {size_t{1}, size_t{1000}, size_t{100000}, size_t{2000000}}) {
    std::string data = SampleText(size);
    std::string packed = TBzip2Codec().Compress(data);
    EXPECT_EQ(packed.substr(0, 4), "BZh9");
    EXPECT_EQ(packed, ReferenceCompress(data)) << size;
    EXPECT_EQ(TBzip2Codec().Decompress(packed), data) << size;
  }
}

TEST(Bzip2Codec, StreamsRewindTheSourceAndWriteAtTheTargetPosition) {
  std::string data = SampleText(5000);
  std::istringstream src(data);
  src.seekg(100);
  std::ostringstream dst;
  dst << "head";
  TBzip2Codec codec;
  codec.CompressStream(src, dst);
  std::string out = dst.str();
  ASSERT_EQ(out.substr(0, 4), "head");
  EXPECT_EQ(out.substr(4), ReferenceCompress(data));

  std::istringstream packed(out.substr(4));
  packed.seekg(0, std::ios::end);
  std::ostringstream back;
  back << "xy";
  codec.DecompressStream(packed, back);
  EXPECT_EQ(back.str(), "xy" + data);
}

TEST(Bzip2Codec, ReturnsTheCompressedSizeAsAWholePercentage) {
  std::string data = SampleText(50000);
  std::istringstream src(data);
  std::ostringstream dst;
  int percent = TBzip2Codec().CompressStream(src, dst);
  double exact = 100.0 * static_cast<double>(dst.str().size()) / static_cast<double>(data.size());
  EXPECT_NEAR(percent, exact, 0.5);
  EXPECT_GT(percent, 0);
  EXPECT_LT(percent, 100);

  // Random bytes grow a little.
  std::string noise(20000, '\0');
  std::mt19937 rng(1);
  for (char& c : noise)
    c = static_cast<char>(rng());
  std::istringstream nsrc(noise);
  std::ostringstream ndst;
  EXPECT_GE(TBzip2Codec().CompressStream(nsrc, ndst), 100);
}

TEST(Bzip2Codec, EmptySourcesWriteNothing) {
  std::istringstream empty;
  std::ostringstream out;
  EXPECT_EQ(TBzip2Codec().CompressStream(empty, out), 0);
  EXPECT_TRUE(out.str().empty());
  EXPECT_EQ(TBzip2Codec().Decompress(""), "");
}

TEST(Bzip2Codec, ErrorsAreNamedAfterTheLibbz2Status) {
  std::string packed = TBzip2Codec().Compress(SampleText(300000));
  EXPECT_EQ(StatusOf("not a bzip2 stream at all"), "BZ_DATA_ERROR_MAGIC");
  EXPECT_EQ(StatusOf("BZh"), "BZ_UNEXPECTED_EOF");
  EXPECT_EQ(StatusOf(packed.substr(0, packed.size() / 2)), "BZ_UNEXPECTED_EOF");
  EXPECT_EQ(StatusOf(packed.substr(0, packed.size() - 1)), "BZ_UNEXPECTED_EOF");

  std::string damaged = packed;
  for (size_t i = 100; i < 200; ++i)
    damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
  EXPECT_EQ(StatusOf(damaged), "BZ_DATA_ERROR");

  EXPECT_EQ(Bzip2StatusName(BZ_SEQUENCE_ERROR), "BZ_SEQUENCE_ERROR");
  EXPECT_EQ(Bzip2StatusName(BZ_PARAM_ERROR), "BZ_PARAM_ERROR");
  EXPECT_EQ(Bzip2StatusName(BZ_MEM_ERROR), "BZ_MEM_ERROR");
  EXPECT_EQ(Bzip2StatusName(BZ_IO_ERROR), "BZ_IO_ERROR");
  EXPECT_EQ(Bzip2StatusName(BZ_OUTBUFF_FULL), "BZ_OUTBUFF_FULL");
  EXPECT_EQ(Bzip2StatusName(BZ_CONFIG_ERROR), "BZ_CONFIG_ERROR");
  EXPECT_EQ(Bzip2StatusName(-10), "Unhandled BZ status.");
}

TEST(Bzip2Codec, ReadsOneStreamAndIgnoresWhatFollowsIt) {
  TBzip2Codec codec;
  std::string first = codec.Compress("first"), second = codec.Compress("second");
  EXPECT_EQ(codec.Decompress(first + second), "first");
  EXPECT_EQ(codec.Decompress(first + "trailing garbage"), "first");
}

TEST(Bzip2Codec, SettingsAreValidated) {
  TBzip2Codec codec;
  auto message = [](auto&& f) -> std::string {
    try {
      f();
    } catch (const TPersistError& e) {
      return e.what();
    }
    return "accepted";
  };
  EXPECT_EQ(message([&] { codec.SetBlockSize(0); }), "BlockSize must be between 1 and 9.");
  EXPECT_EQ(message([&] { codec.SetBlockSize(10); }), "BlockSize must be between 1 and 9.");
  EXPECT_EQ(message([&] { codec.SetBufferSizeKiB(0); }), "Buffer Size must be between 1 and 4096.");
  EXPECT_EQ(message([&] { codec.SetBufferSizeKiB(4097); }), "Buffer Size must be between 1 and 4096.");
  EXPECT_EQ(codec.BlockSize(), 9);
  EXPECT_EQ(codec.BufferSizeKiB(), 32);

  codec.SetBlockSize(1);
  codec.SetBufferSizeKiB(1);
  std::string data = SampleText(10000);
  std::string packed = codec.Compress(data);
  EXPECT_EQ(packed.substr(0, 4), "BZh1");
  EXPECT_EQ(codec.Decompress(packed), data);

  codec.SetWorkFactor(251);  // outside what libbz2 accepts
  EXPECT_EQ(message([&] { codec.Compress(data); }), "BZ_PARAM_ERROR");
}

TEST(Bzip2Codec, RefusesToInflatePastTheLimit) {
  // A bomb in miniature: 20 MB of zeros pack into a few dozen bytes.
  std::string zeros(20u << 20, '\0');
  std::string packed = TBzip2Codec().Compress(zeros);
  ASSERT_LT(packed.size(), 2000u);
  TBzip2Codec codec;
  codec.SetMaxOutputSize(1u << 20);
  std::ostringstream out;
  std::istringstream in(packed);
  try {
    codec.DecompressStream(in, out);
    FAIL() << "no error";
  } catch (const TBzip2Error& e) {
    EXPECT_EQ(e.Status(), kBzip2OutputLimitStatus);
    EXPECT_NE(std::string(e.what()).find("1048576"), std::string::npos);
  }
  EXPECT_LE(out.str().size(), 1u << 20);
  codec.SetMaxOutputSize(zeros.size());  // exactly enough
  EXPECT_EQ(codec.Decompress(packed).size(), zeros.size());
}

}  // namespace
}  // namespace vexa
