// Throughput of the two conversions on generated Korean text, against glibc
// iconv on the same data in the same run:
//   output conversion   KS X 1001 -> UTF-8   vs  iconv EUC-KR -> UTF-8
//   list normalisation  UTF-8 -> ANSI        vs  iconv UTF-8 -> EUC-KR
// Both sides read and write files through 64 KiB blocks; each figure is the
// best processor time of three runs.
// Usage: convert_bench [megabytes]   (default 64)
#include <iconv.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "textconv/textconv.h"

namespace fs = std::filesystem;

namespace {

// Processor time of this process (user and system): the figures hold on a
// machine that runs other work, as both sides are timed the same way.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto toSeconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime);
}

// The best of three runs of a conversion, in seconds.
template <typename Convert>
double best(Convert&& convert) {
    double fastest = 1e30;
    for (int run = 0; run < 3; ++run) {
        double start = cpuSeconds();
        convert();
        fastest = std::min(fastest, cpuSeconds() - start);
    }
    return fastest;
}

long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A text file of Korean lines in EUC-KR: Hangul syllables, some Hanja and
// symbols, ASCII words and digits, CR LF line ends; only characters that
// iconv maps too.
void writeKoreanText(const std::string& path, std::size_t bytes) {
    std::mt19937 random(20171023);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::string line;
    std::size_t written = 0;
    while (written < bytes) {
        line.clear();
        int words = 6 + static_cast<int>(random() % 10);
        for (int w = 0; w < words; ++w) {
            unsigned kind = random() % 10;
            int letters = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < letters; ++i) {
                if (kind < 7) {  // Hangul syllable
                    line += static_cast<char>(0xB0 + random() % 25);
                    line += static_cast<char>(0xA1 + random() % 94);
                } else if (kind < 8) {  // Hanja (not CDE7, which iconv reads as another character)
                    unsigned char lead = static_cast<unsigned char>(0xCA + random() % 50);
                    unsigned char trail = static_cast<unsigned char>(0xA1 + random() % 94);
                    if (lead == 0xCD && trail == 0xE7) trail = 0xE6;
                    line += static_cast<char>(lead);
                    line += static_cast<char>(trail);
                } else {  // ASCII
                    line += static_cast<char>('a' + random() % 26);
                }
            }
            line += ' ';
        }
        line += "\r\n";
        std::fwrite(line.data(), 1, line.size(), out);
        written += line.size();
    }
    std::fclose(out);
}

void iconvFile(const char* from, const char* to, const std::string& in, const std::string& out) {
    iconv_t cd = iconv_open(to, from);
    std::FILE* src = std::fopen(in.c_str(), "rb");
    std::FILE* dst = std::fopen(out.c_str(), "wb");
    std::vector<char> inBuf(1 << 16), outBuf(1 << 18);
    std::size_t carry = 0;
    for (;;) {
        std::size_t n = std::fread(inBuf.data() + carry, 1, inBuf.size() - carry, src);
        if (n == 0 && carry == 0) break;
        char* ip = inBuf.data();
        std::size_t il = carry + n;
        char* op = outBuf.data();
        std::size_t ol = outBuf.size();
        if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) && errno != EINVAL) {
            std::perror("iconv");
            std::exit(1);
        }
        std::fwrite(outBuf.data(), 1, outBuf.size() - ol, dst);
        carry = il;
        std::copy(ip, ip + il, inBuf.data());
        if (n == 0) break;
    }
    std::fclose(src);
    std::fclose(dst);
    iconv_close(cd);
}

void report(const char* what, double mb, double ours, double theirs) {
    std::printf("%-44s %8.1f MB/s   iconv %8.1f MB/s   ratio %5.1fx\n", what, mb / ours, mb / theirs, theirs / ours);
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 64;
    fs::path dir = fs::temp_directory_path() / ("halvane-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::string euckr = (dir / "text.euckr").string(), utf8 = (dir / "text.utf8").string();
    std::string scratch = (dir / "scratch.asc").string(), out = (dir / "out.txt").string();

    writeKoreanText(euckr, megabytes << 20);
    double mb = static_cast<double>(fs::file_size(euckr)) / (1 << 20);
    std::printf("%.1f MB of generated Korean text (EUC-KR)\n", mb);

    // Output conversion: ANSI -> UTF-8 (also makes the UTF-8 input of the next step).
    int rc = 0;
    double ours = best([&] { rc |= textconv::convertOutputFile(euckr.c_str(), utf8.c_str()); });
    double theirs = best([&] { iconvFile("EUC-KR", "UTF-8", euckr, out); });
    if (rc != 0) return 1;
    report("output conversion (KS X 1001 -> UTF-8)", mb, ours, theirs);

    // List normalisation: UTF-8 with byte-order mark -> ANSI.
    double mbUtf8 = static_cast<double>(fs::file_size(utf8)) / (1 << 20);
    ours = best([&] {
        if (textconv::normaliseListFile(utf8.c_str(), scratch.c_str()) != textconv::encodingUtf8) rc = 1;
    });
    std::string utf8NoBom = (dir / "text-nobom.utf8").string();
    {
        // iconv would refuse the byte-order mark (U+FEFF has no EUC-KR code).
        std::FILE* in = std::fopen(utf8.c_str(), "rb");
        std::FILE* outFile = std::fopen(utf8NoBom.c_str(), "wb");
        std::vector<char> block(1 << 16);
        std::fseek(in, 3, SEEK_SET);
        for (std::size_t n; (n = std::fread(block.data(), 1, block.size(), in)) > 0;) std::fwrite(block.data(), 1, n, outFile);
        std::fclose(in);
        std::fclose(outFile);
    }
    theirs = best([&] { iconvFile("UTF-8", "EUC-KR", utf8NoBom, out); });
    if (rc != 0) return 1;
    report("list normalisation (UTF-8 -> ANSI)", mbUtf8, ours, theirs);

    std::printf("peak memory %ld KiB\n", peakKiB());
    fs::remove_all(dir);
    return 0;
}
