// Files for the tests: temporary folders, byte-exact images, and running as
// an ordinary user so that a read-only file really cannot be written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testfiles {

using Bytes = std::vector<std::uint8_t>;

// When the process runs as root (as CI does), copies the samples to a folder
// an ordinary user can read and then becomes user "nobody" for good.
// Call first thing in main().
void becomeOrdinaryUser();

// Where the samples can be read after becomeOrdinaryUser().
std::string samplesDir();

// A fresh folder below the system's temporary folder, removed with its files.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return dir; }
    std::string file(const std::string& name) const { return dir + "/" + name; }

private:
    std::string dir;
};

// A header of 16 bytes followed by `payload` bytes of a ramp.
Bytes image(const Bytes& header16, std::size_t payload);
Bytes header(std::uint8_t prg, std::uint8_t chr, std::uint8_t byte6, std::uint8_t byte7);
// "4E45531A..." as bytes.
Bytes fromHex(const std::string& hex);

void writeFile(const std::string& path, const Bytes& bytes);
Bytes readFile(const std::string& path);
void copyFile(const std::string& from, const std::string& to);
void makeReadOnly(const std::string& path);
// A sparse file of `size` bytes that starts with `start`.
void writeSparse(const std::string& path, const Bytes& start, std::uint64_t size);

// While one lives, every write of this process fails as on a full disk:
// files may not grow past 0 bytes, so no write reaches a file.
class WritesFail {
public:
    WritesFail();
    ~WritesFail();
    WritesFail(const WritesFail&) = delete;
    WritesFail& operator=(const WritesFail&) = delete;

private:
    std::uint64_t saved;
};
bool exists(const std::string& path);
// Sets the soft limit of a resource (RLIMIT_...); answers the one before.
std::uint64_t setSoftLimit(int resource, std::uint64_t value);

// The expected outputs in tests/data/golden, checked once as CHECKED.md says.
std::vector<std::string> linesOf(const std::string& text);
std::string goldenText(const std::string& name);
// A copy of every sample and the made-up images of images.txt, in `folder`.
void writeGoldenImages(const std::string& folder);
// "" when `actual`, with `folder` written "@" and the golden folder
// "golden", is the expected file `name`; else the differing lines as one hunk
// ("-" expected, "+" actual). With TALLOWICK_GOLDEN_WRITE=FOLDER, the output
// also goes to FOLDER, to be reviewed before any file is replaced.
std::string goldenDiff(const std::string& name, std::string actual, const std::string& folder);

} // namespace testfiles
