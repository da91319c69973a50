#include "TestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testfiles {

namespace {

std::string stagedSamples;

std::string makeTempDir(const char* stem) {
    std::string pattern = fs::temp_directory_path().string() + "/" + stem + "XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed for " + pattern);
    }
    return pattern;
}

} // namespace

void becomeOrdinaryUser() {
    if (geteuid() != 0) {
        return;
    }
    // The source tree may sit below a folder only root can enter.
    stagedSamples = makeTempDir("tallowick-samples-");
    for (const auto& entry : fs::directory_iterator(TALLOWICK_SAMPLES_DIR)) {
        if (entry.path().extension() == ".nes" || entry.path().extension() == ".xml") {
            fs::copy_file(entry.path(), stagedSamples / entry.path().filename());
        }
    }
    const std::string runtime = makeTempDir("tallowick-runtime-");
    constexpr uid_t nobody = 65534;
    if (chmod(stagedSamples.c_str(), 0755) != 0 || chown(runtime.c_str(), nobody, nobody) != 0 ||
        setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0 ||
        setuid(0) == 0) {
        throw std::runtime_error("could not become user nobody");
    }
    // Changing the user makes the process undumpable, which would keep the
    // leak checker from inspecting it.
    prctl(PR_SET_DUMPABLE, 1);
    setenv("HOME", runtime.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
}

std::string samplesDir() {
    return stagedSamples.empty() ? std::string(TALLOWICK_SAMPLES_DIR) : stagedSamples;
}

TempDir::TempDir() : dir(makeTempDir("tallowick-test-")) {}

TempDir::~TempDir() {
    std::error_code ignored;
    // Read-only files inside must not stop the removal.
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir, ignored);
}

Bytes image(const Bytes& header16, std::size_t payload) {
    Bytes bytes = header16;
    for (std::size_t i = 0; i < payload; ++i) {
        bytes.push_back(static_cast<std::uint8_t>((i * 7 + 3) & 0xFF));
    }
    return bytes;
}

Bytes header(std::uint8_t prg, std::uint8_t chr, std::uint8_t byte6, std::uint8_t byte7) {
    return {'N', 'E', 'S', 0x1A, prg, chr, byte6, byte7, 0, 0, 0, 0, 0, 0, 0, 0};
}

Bytes fromHex(const std::string& hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path);
    }
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void copyFile(const std::string& from, const std::string& to) {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write);
}

void makeReadOnly(const std::string& path) {
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

void writeSparse(const std::string& path, const Bytes& start, std::uint64_t size) {
    writeFile(path, start);
    fs::resize_file(path, size);
}

WritesFail::WritesFail() : saved(setSoftLimit(RLIMIT_FSIZE, 0)) {
    std::signal(SIGXFSZ, SIG_IGN);
}

WritesFail::~WritesFail() {
    setSoftLimit(RLIMIT_FSIZE, saved);
}

std::uint64_t setSoftLimit(int resource, std::uint64_t value) {
    rlimit limit{};
    getrlimit(resource, &limit);
    const std::uint64_t before = limit.rlim_cur;
    limit.rlim_cur = value;
    setrlimit(resource, &limit);
    return before;
}

bool exists(const std::string& path) {
    return fs::exists(path);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string goldenText(const std::string& name) {
    const Bytes bytes = readFile(std::string(TALLOWICK_GOLDEN_DIR) + "/" + name);
    return std::string(bytes.begin(), bytes.end());
}

void writeGoldenImages(const std::string& folder) {
    for (const std::string& line : linesOf(goldenText("images.txt"))) {
        std::istringstream words(line);
        std::string name, hex, tail;
        std::size_t payload = 0, padding = 0;
        if (words >> name >> hex >> payload >> padding && name[0] != '#') {
            Bytes bytes = image(fromHex(hex), payload), end = fromHex(words >> tail ? tail : "");
            bytes.resize(bytes.size() + padding, 0xFF);
            bytes.insert(bytes.end(), end.begin(), end.end());
            writeFile(folder + "/" + name, bytes);
        }
    }
    for (const auto& entry : fs::directory_iterator(samplesDir())) {
        if (entry.path().extension() == ".nes") {
            copyFile(entry.path(), folder + "/" + entry.path().filename().string());
        }
    }
}

std::string goldenDiff(const std::string& name, std::string actual, const std::string& folder) {
    for (const auto& [path, shown] :
         {std::pair<std::string, const char*>(folder, "@"), {TALLOWICK_GOLDEN_DIR, "golden"}}) {
        for (std::size_t at; (at = actual.find(path)) != std::string::npos;) {
            actual.replace(at, path.size(), shown);
        }
    }
    if (const char* written = std::getenv("TALLOWICK_GOLDEN_WRITE")) {
        writeFile(std::string(written) + "/" + name, Bytes(actual.begin(), actual.end()));
    }
    const std::string expected = goldenText(name);
    return expected == actual ? std::string()
                              : name + ":\n" +
                                    ::testing::internal::edit_distance::CreateUnifiedDiff(
                                        linesOf(expected), linesOf(actual));
}

} // namespace testfiles
