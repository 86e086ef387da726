#include "app/shell/integrity.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define MW_SHA_INSTRUCTIONS 1
#endif

namespace mw {
namespace {

alignas(16) constexpr uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

using Compress = void (*)(uint32_t* state, const uint8_t* data, size_t blocks);

uint32_t Rotr(uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

void CompressPortable(uint32_t* state, const uint8_t* data, size_t blocks) {
    for (; blocks > 0; --blocks, data += 64) {
        uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = uint32_t(data[4 * i]) << 24 | uint32_t(data[4 * i + 1]) << 16 |
                   uint32_t(data[4 * i + 2]) << 8 | uint32_t(data[4 * i + 3]);
        for (int i = 16; i < 64; ++i) {
            const uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int i = 0; i < 64; ++i) {
            const uint32_t t1 =
                h + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
            const uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

#ifdef MW_SHA_INSTRUCTIONS
// The x86 SHA extensions: four rounds per two instructions. The state is kept as the register pair
// ABEF / CDGH the instructions work on; the message schedule as a ring of four 4-word groups.
__attribute__((target("sha,sse4.1"))) void CompressShaInstructions(uint32_t* state, const uint8_t* data,
                                                                   size_t blocks) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefBefore = abef, cdghBefore = cdgh;
        __m128i m[4];
        for (int g = 0; g < 16; ++g) {
            __m128i& x = m[g & 3];
            if (g < 4) {
                x = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * g)),
                                     byteSwap);
            } else {
                const __m128i& previous = m[(g + 3) & 3];
                __m128i t = _mm_sha256msg1_epu32(x, m[(g + 1) & 3]);
                t = _mm_add_epi32(t, _mm_alignr_epi8(previous, m[(g + 2) & 3], 4));
                x = _mm_sha256msg2_epu32(t, previous);
            }
            __m128i k = _mm_add_epi32(x, _mm_load_si128(reinterpret_cast<const __m128i*>(kRound + 4 * g)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, k);
            k = _mm_shuffle_epi32(k, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, k);
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), hgfe);
}

bool HasShaInstructions() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
    const bool ssse3 = (c & bit_SSSE3) != 0, sse41 = (c & bit_SSE4_1) != 0;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
    return ssse3 && sse41 && (b & bit_SHA) != 0;
}
#endif

Compress ChooseCompress(bool allowCpuExtensions) {
#ifdef MW_SHA_INSTRUCTIONS
    static const bool has = HasShaInstructions();
    if (allowCpuExtensions && has) return CompressShaInstructions;
#else
    (void)allowCpuExtensions;
#endif
    return CompressPortable;
}

class Sha256 {
public:
    explicit Sha256(bool allowCpuExtensions) : compress_(ChooseCompress(allowCpuExtensions)) {}

    void Add(const uint8_t* data, size_t size) {
        total_ += size;
        if (used_ > 0) {
            const size_t take = std::min(size, size_t(64) - used_);
            std::memcpy(block_.data() + used_, data, take);
            used_ += take;
            data += take;
            size -= take;
            if (used_ < 64) return;
            compress_(state_.data(), block_.data(), 1);
            used_ = 0;
        }
        compress_(state_.data(), data, size / 64);
        std::memcpy(block_.data(), data + size / 64 * 64, size % 64);
        used_ = size % 64;
    }

    std::string Hex() {
        const uint64_t bits = total_ * 8;
        uint8_t tail[72] = {0x80};
        const size_t pad = (used_ < 56 ? 56 : 120) - used_;
        for (int i = 0; i < 8; ++i) tail[pad + size_t(i)] = uint8_t(bits >> (56 - 8 * i));
        Add(tail, pad + 8);
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string hex;
        for (uint32_t word : state_)
            for (int shift = 28; shift >= 0; shift -= 4) hex += kDigits[(word >> shift) & 15];
        return hex;
    }

private:
    Compress compress_;
    std::array<uint32_t, 8> state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                   0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::array<uint8_t, 64> block_{};
    size_t used_ = 0;
    uint64_t total_ = 0;
};

struct FileCloser {
    int fd;
    ~FileCloser() {
        if (fd >= 0) ::close(fd);
    }
};

// Reads up to `size` bytes; false on a read error.
bool ReadFully(int fd, uint8_t* into, size_t size, size_t& got) {
    got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, into + got, size - got);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        got += size_t(n);
    }
    return true;
}

} // namespace

std::string Sha256Hex(std::string_view bytes, bool allowCpuExtensions) {
    Sha256 hash(allowCpuExtensions);
    hash.Add(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return hash.Hex();
}

IntegrityResult CheckIntegrity(const std::string& executablePath) {
    const FileCloser file{::open(executablePath.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) return IntegrityResult::Unreadable;
    // The file is hashed as it is read, holding back the last kSealSize bytes seen: at the end they are
    // the trailer.
    constexpr size_t kChunk = size_t(1) << 20;
    const auto buffer = std::make_unique<uint8_t[]>(kChunk + kSealSize);
    Sha256 hash(true);
    size_t held = 0; // bytes at the start of buffer not hashed yet
    for (;;) {
        size_t got = 0;
        if (!ReadFully(file.fd, buffer.get() + held, kChunk, got)) return IntegrityResult::Unreadable;
        held += got;
        if (held > kSealSize) {
            const size_t hashed = held - kSealSize;
            hash.Add(buffer.get(), hashed);
            std::memmove(buffer.get(), buffer.get() + hashed, kSealSize);
            held = kSealSize;
        }
        if (got < kChunk) break;
    }
    if (held < kSealSize) return IntegrityResult::Damaged;
    const std::string_view trailer(reinterpret_cast<const char*>(buffer.get()), kSealSize);
    const std::string expected = std::string(kSealMagic) + hash.Hex() + "\n";
    return trailer == expected ? IntegrityResult::Intact : IntegrityResult::Damaged;
}

} // namespace mw
