#include "inesStrm.h"

#include "mapperCatalogue.h"

#include <cstring>

namespace {

constexpr long headerSize = 16;
constexpr std::int32_t prgPageSize = 16384;
constexpr std::int32_t chrPageSize = 8192;
constexpr std::uint8_t byte3Mark = 0x1A;

} // namespace

inesStrm::inesStrm(const char* path) {
    // "rb+" opens an existing file for reading and writing without creating
    // or truncating it; "rb" is the read-only fallback.
    stream.reset(std::fopen(path, "rb+"));
    if (stream) {
        writable = 1;
    } else {
        stream.reset(std::fopen(path, "rb"));
    }
    // No stdio buffer: a buffer would answer a later query from memory instead
    // of from the file, and the file is only ever touched 16 bytes at a time.
    if (stream) {
        std::setvbuf(stream.get(), nullptr, _IONBF, 0);
    }
}

bool inesStrm::seekTo(long offset) {
    // The C library may answer a seek into bytes it still holds from an
    // earlier read without asking the file again; dropping them first makes
    // every query read what the file holds now.
    std::fflush(stream.get());
    return std::fseek(stream.get(), offset, SEEK_SET) == 0;
}

std::int32_t inesStrm::byteAt(long offset) {
    if (!seekTo(offset)) {
        return -1;
    }
    return std::fgetc(stream.get());
}

std::int32_t inesStrm::isValid() {
    char label[4] = {};
    if (!seekTo(0)) {
        return 0;
    }
    std::size_t got = std::fread(label, 1, 3, stream.get());
    label[got] = '\0';
    if (std::strcmp(label, "NES") != 0) {
        return 0;
    }
    if (byteAt(3) != byte3Mark) {
        return 0;
    }
    // A file that ends before byte 15 holds no complete header.
    return byteAt(headerSize - 1) >= 0 ? 1 : 0;
}

std::int32_t inesStrm::isHeaderClean() {
    std::uint8_t reserved[8] = {};
    if (seekTo(8)) {
        std::fread(reserved, 1, sizeof reserved, stream.get());
    }
    for (std::uint8_t byte : reserved) {
        if (byte != 0) {
            return 0;
        }
    }
    return 1;
}

std::int32_t inesStrm::isNes2() {
    std::int32_t byte7 = byteAt(7);
    return byte7 >= 0 && (byte7 & 0x0C) == 0x08 ? 1 : 0;
}

std::string inesStrm::getLabel() {
    char label[4] = {};
    if (seekTo(0)) {
        std::size_t got = std::fread(label, 1, 3, stream.get());
        label[got] = '\0';
    }
    return std::string(label);
}

std::int32_t inesStrm::getByte3() {
    return byteAt(3);
}

std::int32_t inesStrm::getPrgPages() {
    return byteAt(4);
}

// Multiplication rather than a shift keeps the end-of-file value -1 defined.
std::int32_t inesStrm::getPrgSize() {
    return byteAt(4) * prgPageSize;
}

std::int32_t inesStrm::getChrPages() {
    return byteAt(5);
}

std::int32_t inesStrm::getChrSize() {
    return byteAt(5) * chrPageSize;
}

std::int32_t inesStrm::getMirroring() {
    return byteAt(6) & 1;
}

std::int32_t inesStrm::getSRAM() {
    return (byteAt(6) & 2) >> 1;
}

std::int32_t inesStrm::getTrainer() {
    return (byteAt(6) & 4) >> 2;
}

std::int32_t inesStrm::getFourScreen() {
    return (byteAt(6) & 8) >> 3;
}

std::int32_t inesStrm::getMapper() {
    std::int32_t byte6 = byteAt(6);
    std::int32_t byte7 = std::fgetc(stream.get());
    // A missing byte (-1) counts as 0xFF.
    auto low8 = [](std::int32_t value) { return static_cast<std::uint32_t>(value) & 0xFFu; };
    return static_cast<std::int32_t>((low8(byte7) & 0xF0u) + (low8(byte6) >> 4));
}

const char* inesStrm::getMapperName() {
    return mapperName(getMapper());
}

void inesStrm::readHeader(CartridgeHeader* buffer) {
    if (!seekTo(0)) {
        return;
    }
    std::fread(buffer->data(), 1, buffer->size(), stream.get());
}

std::int32_t inesStrm::writeHeader(const CartridgeHeader* buffer) {
    std::clearerr(stream.get());
    if (!seekTo(0)) {
        return 0;
    }
    std::size_t written = std::fwrite(buffer->data(), 1, buffer->size(), stream.get());
    // Without the flush a full disk would only show when the stream closes.
    bool flushed = std::fflush(stream.get()) == 0;
    return written == buffer->size() && flushed && !std::ferror(stream.get()) ? 1 : 0;
}
