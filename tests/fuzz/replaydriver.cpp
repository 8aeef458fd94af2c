// The main of a fuzz target in builds without libFuzzer: feeds every seed file
// given (files or folders of them) to the entry point, then a fixed number of
// cheap mutations of them. The mutations come from a fixed seed, so a run is the
// same every time and a failure repeats; the input that was running when the
// process died is written to the working folder for replay.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <csignal>
#include <iterator>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

namespace {

// The input being run, for the signal handler; written once, never freed.
const char* currentData = nullptr;
size_t currentSize = 0;

void keepCrashInput(int signal)
{
    static const char name[] = "replay-crash-input";
    const int fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0) {
        if (currentData && ::write(fd, currentData, currentSize) < 0) {
            // Nothing more can be done inside a signal handler.
        }
        ::close(fd);
        static const char note[] = "replay driver: the failing input was written to replay-crash-input\n";
        if (::write(STDERR_FILENO, note, sizeof note - 1) < 0) {
        }
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// splitmix64: small, fast and the same on every platform.
struct Random
{
    uint64_t state;
    uint64_t next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t below(size_t bound) { return bound ? size_t(next() % bound) : 0; }
};

// Values that sit on the edges parsers get wrong, as text and as binary fields.
const char* const tokens[] = {"0", "-1", "1", "2147483647", "2147483648", "-2147483649", "4294967296",
                              "9223372036854775807", "9223372036854775808", "-9223372036854775808", "1e308",
                              "1e309", "-1e309", "NaN", "0.5", "null", "true", "[]", "{}", "\"\"", "\n", " ",
                              "\r\n", "\0", "666", "65536", "16385"};
const uint64_t numbers[] = {0, 1, 0x7F, 0x80, 0xFF, 0x7FFF, 0x8000, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF,
                            0x7FFFFFFFFFFFFFFFull, 0x8000000000000000ull, ~0ull, 666, 52, 4096, 16384, 16385};

QByteArray mutate(const std::vector<QByteArray>& seeds, Random& random)
{
    QByteArray input = seeds[random.below(seeds.size())];
    const int steps = 1 + int(random.below(4));
    for (int step = 0; step < steps; ++step) {
        const int size = input.size();
        const int at = int(random.below(size_t(size) + 1));
        switch (random.below(8)) {
        case 0: // flip a bit
            if (size > 0)
                input[at % size] = char(input[at % size] ^ char(1 << random.below(8)));
            break;
        case 1: // a random byte
            if (size > 0)
                input[at % size] = char(random.next());
            break;
        case 2: { // a binary field of 1, 2, 4 or 8 bytes, little-endian
            const uint64_t value = numbers[random.below(std::size(numbers))];
            const int width = 1 << random.below(4);
            for (int i = 0; i < width && at + i < size; ++i)
                input[at + i] = char(value >> (8 * i));
            break;
        }
        case 3: { // a token in place of a few bytes or between them
            const char* token = tokens[random.below(std::size(tokens))];
            const int length = token[0] ? int(std::strlen(token)) : 1;
            input.replace(at, int(random.below(4)), QByteArray(token, length));
            break;
        }
        case 4: // drop a range
            input.remove(at, int(random.below(size_t(size - at) + 1)));
            break;
        case 5: { // repeat a range
            const int length = int(random.below(size_t(size - at) + 1));
            input.insert(at, input.mid(at, length));
            break;
        }
        case 6: // cut the end
            input.truncate(at);
            break;
        default: { // splice in part of another seed
            const QByteArray& other = seeds[random.below(seeds.size())];
            const int from = int(random.below(size_t(other.size()) + 1));
            input.insert(at, other.mid(from, int(random.below(size_t(other.size() - from) + 1))));
            break;
        }
        }
    }
    return input;
}

void run(const QByteArray& input)
{
    // A private copy of exactly the input's size, so that a read past its end is
    // as visible here as under libFuzzer.
    std::vector<uint8_t> copy(input.begin(), input.end());
    currentData = input.constData();
    currentSize = size_t(input.size());
    LLVMFuzzerTestOneInput(copy.data(), copy.size());
}

void collect(const QString& path, std::vector<QByteArray>& seeds)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        const QFileInfoList entries = QDir(path).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& entry : entries)
            collect(entry.filePath(), seeds);
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "replay driver: cannot read %s\n", qPrintable(path));
        std::exit(2);
    }
    seeds.push_back(file.readAll());
}

} // namespace

int main(int argc, char* argv[])
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    int mutations = 4000;
    std::vector<QByteArray> seeds;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "-mutations=", 11) == 0)
            mutations = std::atoi(argv[i] + 11);
        else
            collect(QString::fromLocal8Bit(argv[i]), seeds);
    }
    if (seeds.empty()) {
        std::fprintf(stderr, "usage: %s [-mutations=N] SEED_FILE_OR_FOLDER...\n", argv[0]);
        return 2;
    }
    for (int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        std::signal(signal, keepCrashInput);
    for (const QByteArray& seed : seeds)
        run(seed);
    Random random{1};
    for (int i = 0; i < mutations; ++i)
        run(mutate(seeds, random));
    std::printf("replay driver: %zu seed files and %d mutations passed\n", seeds.size(), mutations);
    return 0;
}
