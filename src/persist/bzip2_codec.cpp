#include "persist/bzip2_codec.h"

#include <bzlib.h>

#include <sstream>
#include <vector>

#include "persist/persist_error.h"

namespace vexa {
namespace {

[[noreturn]] void ThrowStatus(int status) {
  throw TBzip2Error(Bzip2StatusName(status), status);
}

// Reads up to size bytes; 0 at the end of the stream.
size_t ReadChunk(std::istream& in, char* buf, size_t size) {
  in.read(buf, static_cast<std::streamsize>(size));
  if (in.bad()) ThrowStatus(BZ_IO_ERROR);
  return static_cast<size_t>(in.gcount());
}

void WriteChunk(std::ostream& out, const char* buf, size_t size) {
  if (size == 0) return;
  out.write(buf, static_cast<std::streamsize>(size));
  if (!out) ThrowStatus(BZ_IO_ERROR);
}

void Rewind(std::istream& in) {
  in.clear();
  in.seekg(0, std::ios::beg);
  in.clear();  // an unseekable stream is read from where it stands
}

// Releases the libbz2 state on every path.
struct TCompressState {
  bz_stream s{};
  bool live = false;
  ~TCompressState() {
    if (live) BZ2_bzCompressEnd(&s);
  }
};
struct TDecompressState {
  bz_stream s{};
  bool live = false;
  ~TDecompressState() {
    if (live) BZ2_bzDecompressEnd(&s);
  }
};

// Whole percentage of part in whole, rounded half to even.
int Percentage(uint64_t part, uint64_t whole) {
  if (whole == 0) return 0;
  uint64_t q = part * 100 / whole, r = part * 100 % whole;
  if (2 * r > whole || (2 * r == whole && (q & 1))) ++q;
  return static_cast<int>(q);
}

}  // namespace

std::string Bzip2StatusName(int status) {
  switch (status) {
    case BZ_SEQUENCE_ERROR:
      return "BZ_SEQUENCE_ERROR";
    case BZ_PARAM_ERROR:
      return "BZ_PARAM_ERROR";
    case BZ_MEM_ERROR:
      return "BZ_MEM_ERROR";
    case BZ_DATA_ERROR:
      return "BZ_DATA_ERROR";
    case BZ_DATA_ERROR_MAGIC:
      return "BZ_DATA_ERROR_MAGIC";
    case BZ_IO_ERROR:
      return "BZ_IO_ERROR";
    case BZ_UNEXPECTED_EOF:
      return "BZ_UNEXPECTED_EOF";
    case BZ_OUTBUFF_FULL:
      return "BZ_OUTBUFF_FULL";
    case BZ_CONFIG_ERROR:
      return "BZ_CONFIG_ERROR";
    default:
      return "Unhandled BZ status.";
  }
}

void TBzip2Codec::SetBlockSize(int blockSize) {
  if (blockSize < 1 || blockSize > 9) throw TPersistError("BlockSize must be between 1 and 9.");
  blockSize_ = blockSize;
}

void TBzip2Codec::SetBufferSizeKiB(int kib) {
  if (kib < 1 || kib > 4096) throw TPersistError("Buffer Size must be between 1 and 4096.");
  bufferSizeKiB_ = kib;
}

int TBzip2Codec::CompressStream(std::istream& source, std::ostream& target) const {
  Rewind(source);
  const size_t bufSize = static_cast<size_t>(bufferSizeKiB_) * 1024;
  std::vector<char> in(bufSize), out(bufSize);

  size_t n = ReadChunk(source, in.data(), bufSize);
  if (n == 0) return 0;

  TCompressState st;
  int rc = BZ2_bzCompressInit(&st.s, blockSize_, verbosity_, workFactor_);
  if (rc != BZ_OK) ThrowStatus(rc);
  st.live = true;

  uint64_t read = 0, written = 0;
  auto run = [&](int action) {
    for (;;) {
      st.s.next_out = out.data();
      st.s.avail_out = static_cast<unsigned>(bufSize);
      rc = BZ2_bzCompress(&st.s, action);
      if (rc < 0) ThrowStatus(rc);
      size_t produced = bufSize - st.s.avail_out;
      WriteChunk(target, out.data(), produced);
      written += produced;
      if (action == BZ_RUN ? st.s.avail_in == 0 : rc == BZ_STREAM_END) return;
    }
  };
  while (n > 0) {
    read += n;
    st.s.next_in = in.data();
    st.s.avail_in = static_cast<unsigned>(n);
    run(BZ_RUN);
    n = ReadChunk(source, in.data(), bufSize);
  }
  run(BZ_FINISH);
  return Percentage(written, read);
}

void TBzip2Codec::DecompressStream(std::istream& source, std::ostream& target) const {
  Rewind(source);
  const size_t bufSize = static_cast<size_t>(bufferSizeKiB_) * 1024;
  std::vector<char> in(bufSize), out(bufSize);

  size_t n = ReadChunk(source, in.data(), bufSize);
  if (n == 0) return;

  TDecompressState st;
  int rc = BZ2_bzDecompressInit(&st.s, verbosity_, 0);
  if (rc != BZ_OK) ThrowStatus(rc);
  st.live = true;
  st.s.next_in = in.data();
  st.s.avail_in = static_cast<unsigned>(n);

  bool inputEnded = false;
  uint64_t total = 0;
  for (;;) {
    if (st.s.avail_in == 0 && !inputEnded) {
      n = ReadChunk(source, in.data(), bufSize);
      inputEnded = n == 0;
      st.s.next_in = in.data();
      st.s.avail_in = static_cast<unsigned>(n);
    }
    st.s.next_out = out.data();
    st.s.avail_out = static_cast<unsigned>(bufSize);
    rc = BZ2_bzDecompress(&st.s);
    if (rc < 0) ThrowStatus(rc);
    size_t produced = bufSize - st.s.avail_out;
    if (produced > maxOutputSize_ - total)
      throw TBzip2Error(
          "Decompressed data exceeds the limit of " + std::to_string(maxOutputSize_) + " bytes.",
          kBzip2OutputLimitStatus);
    WriteChunk(target, out.data(), produced);
    total += produced;
    if (rc == BZ_STREAM_END) return;
    // Output room left over means the decompressor wants input; none is coming.
    if (inputEnded && st.s.avail_in == 0 && st.s.avail_out > 0) ThrowStatus(BZ_UNEXPECTED_EOF);
  }
}

std::string TBzip2Codec::Compress(std::string_view data) const {
  std::istringstream in{std::string(data)};
  std::ostringstream out;
  CompressStream(in, out);
  return std::move(out).str();
}

std::string TBzip2Codec::Decompress(std::string_view data) const {
  std::istringstream in{std::string(data)};
  std::ostringstream out;
  DecompressStream(in, out);
  return std::move(out).str();
}

}  // namespace vexa
