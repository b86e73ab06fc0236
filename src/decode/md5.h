// MD5 (RFC 1321), for the Content-MD5 header that MIME posters put on an attachment: the
// digest of the decoded bytes, compared once the whole file is assembled.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vm {

class Md5 {
 public:
  using Digest = std::array<unsigned char, 16>;

  void Update(const unsigned char* data, size_t size);
  // The digest of everything given so far; the object is spent afterwards.
  Digest Finish();

 private:
  void Block(const unsigned char* block);

  std::array<uint32_t, 4> state_{0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
  std::array<unsigned char, 64> pending_{};
  size_t pendingSize_ = 0;
  uint64_t length_ = 0;  // bytes
};

}  // namespace vm
