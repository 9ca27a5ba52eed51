// Runs a fuzz target's entry point over files, for builds without libFuzzer:
// each argument is a file or a folder of files (a missing folder is skipped).
//
// With --mutate-seconds N (and optionally --artifacts DIR, --seed S,
// --max-len BYTES) it then spends N seconds feeding the entry point mutations
// of those files: bytes flipped, set to boundary values, ranges cut, copied or
// repeated, inputs truncated and spliced. This is the smoke test of builds made
// with the normal compiler (no coverage feedback, no sanitizer unless the
// build has one); scripts/fuzz.sh runs the coverage-guided libFuzzer programs.
// A crash writes the input that caused it to DIR/crash-<hash> before the
// program dies, so that it can be kept as a regression input.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

bool readFile(const std::filesystem::path& file, Bytes& bytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// The input being run, for the crash handler.
const Bytes* g_current = nullptr;
char g_crashPath[4096] = {0};

void onCrash(int sig) {
    if (g_current && g_crashPath[0]) {
        const int fd = ::open(g_crashPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            const uint8_t* p = g_current->data();
            size_t left = g_current->size();
            while (left > 0) {
                const ssize_t n = ::write(fd, p, left);
                if (n <= 0) break;
                p += n;
                left -= size_t(n);
            }
            ::close(fd);
            static const char kept[] = "fuzz: crashing input kept in ";
            (void)!::write(2, kept, sizeof kept - 1);
            (void)!::write(2, g_crashPath, std::strlen(g_crashPath));
            (void)!::write(2, "\n", 1);
        }
    }
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

uint64_t fnv1a(const Bytes& bytes) {
    uint64_t h = 1469598103934665603ull;
    for (uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
    return h;
}

void mutate(Bytes& in, const std::vector<Bytes>& corpus, std::mt19937_64& rng, size_t maxLen) {
    auto pick = [&](size_t n) { return n == 0 ? size_t(0) : size_t(rng() % n); };
    const int rounds = 1 + int(rng() % 4);
    for (int r = 0; r < rounds; ++r) {
        switch (rng() % 8) {
            case 0:  // flip a bit
                if (!in.empty()) in[pick(in.size())] ^= uint8_t(1u << (rng() % 8));
                break;
            case 1: {  // a boundary value, one to four bytes wide
                static const uint32_t values[] = {0, 1, 0x7F, 0x80, 0xFF, 0x7FFF, 0x8000, 0xFFFF, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu};
                if (in.empty()) break;
                const uint32_t v = values[pick(std::size(values))];
                const size_t at = pick(in.size());
                const size_t width = std::min<size_t>(1u << (rng() % 3), in.size() - at);
                for (size_t i = 0; i < width; ++i) in[at + i] = uint8_t(v >> (8 * i));
                break;
            }
            case 2:  // a random byte
                if (!in.empty()) in[pick(in.size())] = uint8_t(rng());
                break;
            case 3: {  // cut a range
                if (in.empty()) break;
                const size_t at = pick(in.size());
                const size_t len = std::min(in.size() - at, size_t(1 + pick(64)));
                in.erase(in.begin() + long(at), in.begin() + long(at + len));
                break;
            }
            case 4: {  // repeat a range
                if (in.empty()) break;
                const size_t at = pick(in.size());
                const size_t len = std::min(in.size() - at, size_t(1 + pick(64)));
                const Bytes piece(in.begin() + long(at), in.begin() + long(at + len));
                in.insert(in.begin() + long(pick(in.size() + 1)), piece.begin(), piece.end());
                break;
            }
            case 5:  // truncate
                if (!in.empty()) in.resize(pick(in.size()));
                break;
            case 6: {  // splice another input in
                const Bytes& other = corpus[pick(corpus.size())];
                if (other.empty() || in.empty()) break;
                const size_t from = pick(other.size());
                const size_t len = std::min(other.size() - from, size_t(1 + pick(256)));
                const size_t at = pick(in.size());
                const size_t n = std::min(len, in.size() - at);
                std::copy(other.begin() + long(from), other.begin() + long(from + n), in.begin() + long(at));
                break;
            }
            default: {  // insert random bytes
                const size_t len = 1 + pick(16);
                Bytes piece(len);
                for (auto& b : piece) b = uint8_t(rng());
                in.insert(in.begin() + long(pick(in.size() + 1)), piece.begin(), piece.end());
                break;
            }
        }
    }
    if (in.size() > maxLen) in.resize(maxLen);
}

}  // namespace

int main(int argc, char** argv) {
    int failures = 0, inputs = 0;
    double mutateSeconds = 0;
    uint64_t seed = std::random_device{}();
    size_t maxLen = 1 << 20;
    std::string artifacts = ".";
    std::vector<Bytes> corpus;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--mutate-seconds" && i + 1 < argc) {
            mutateSeconds = std::atof(argv[++i]);
            continue;
        }
        if (a == "--seed" && i + 1 < argc) {
            seed = std::strtoull(argv[++i], nullptr, 10);
            continue;
        }
        if (a == "--max-len" && i + 1 < argc) {
            maxLen = size_t(std::strtoull(argv[++i], nullptr, 10));
            continue;
        }
        if (a == "--artifacts" && i + 1 < argc) {
            artifacts = argv[++i];
            continue;
        }
        const std::filesystem::path arg(a);
        std::error_code ec;
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(arg, ec)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg, ec))
                if (entry.is_regular_file()) files.push_back(entry.path());
            std::sort(files.begin(), files.end());
        } else if (std::filesystem::exists(arg, ec)) {
            files.push_back(arg);
        }
        for (const auto& f : files) {
            Bytes bytes;
            if (!readFile(f, bytes)) {
                std::fprintf(stderr, "cannot read %s\n", f.c_str());
                ++failures;
                continue;
            }
            std::fprintf(stderr, "replay %s\n", f.c_str());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++inputs;
            if (bytes.size() <= maxLen) corpus.push_back(std::move(bytes));
        }
    }
    std::fprintf(stderr, "%d inputs replayed\n", inputs);
    if (failures != 0 || mutateSeconds <= 0) return failures == 0 ? 0 : 1;

    if (corpus.empty()) corpus.emplace_back();
    std::mt19937_64 rng(seed);
    for (int sig : {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL}) std::signal(sig, onCrash);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(mutateSeconds);
    unsigned long long runs = 0;
    Bytes input;
    g_current = &input;
    while (std::chrono::steady_clock::now() < end) {
        input = corpus[size_t(rng() % corpus.size())];
        mutate(input, corpus, rng, maxLen);
        std::snprintf(g_crashPath, sizeof g_crashPath, "%s/crash-%016llx", artifacts.c_str(),
                      static_cast<unsigned long long>(fnv1a(input)));
        LLVMFuzzerTestOneInput(input.data(), input.size());
        ++runs;
    }
    g_current = nullptr;
    std::fprintf(stderr, "fuzz: %llu mutated inputs in %.0f s (seed %llu), no crash\n", runs, mutateSeconds,
                 static_cast<unsigned long long>(seed));
    return 0;
}
