// kovrin-bench: port accesses against the protocol minimum (updates with and
// without /L, read-out, compare, /I, /D), the virtual board's speed and
// memory, and the modeled time per part family and of /D against an update.
//   kovrin-bench --sim <kovrinux-sim> [--doc <file.md>] [--runs N]
// Exit status: 0 every target met, 1 a target missed, 2 a run failed.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "measure.h"
#include "report.h"
#include "results.h"

namespace {

using namespace bench;

constexpr int kDefaultRuns = 9;

// An image that carries the default board's project name, in a pattern
// without runs, so that programming changes nearly every byte.
std::vector<uint8_t> MakeImage(uint32_t kb)
{
    std::vector<uint8_t> image(size_t{kb} * 1024);
    uint32_t x = 0x2545F491;
    for (uint8_t& b : image) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<uint8_t>(x);
    }
    static constexpr char kProject[] = "DEMO";
    std::copy(kProject, kProject + 4, image.begin() + 0x100);
    return image;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

struct Scratch {
    std::string dir;
    std::vector<std::string> files;
    ~Scratch()
    {
        for (const std::string& f : files)
            unlink(f.c_str());
        if (!dir.empty())
            rmdir(dir.c_str());
    }
    // A file in dir, removed with it.
    void Keep(const std::string& name) { files.push_back(dir + "/" + name); }
};

// A path made absolute against the current directory, which the benchmark
// leaves for its scratch directory.
bool Absolute(std::string* path)
{
    if (path->empty() || (*path)[0] == '/')
        return true;
    char* cwd = getcwd(nullptr, 0);
    if (cwd == nullptr)
        return false;
    *path = std::string(cwd) + "/" + *path;
    free(cwd);
    return true;
}

int Usage()
{
    fprintf(stderr, "usage: kovrin-bench --sim <kovrinux-sim> [--doc <file.md>] [--runs N]\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[])
{
    std::string sim;
    std::string doc;
    int runs = kDefaultRuns;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc)
            return Usage();
        if (a == "--sim")
            sim = argv[++i];
        else if (a == "--doc")
            doc = argv[++i];
        else if (a == "--runs")
            runs = std::max(1, atoi(argv[++i]));
        else
            return Usage();
    }
    if (sim.empty())
        return Usage();

    Scratch scratch;
    const char* tmp = getenv("TMPDIR");
    std::string templ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/kovrin-bench.XXXXXX";
    if (mkdtemp(templ.data()) == nullptr) {
        perror("kovrin-bench: mkdtemp");
        return 2;
    }
    scratch.dir = templ;

    // The tool takes an argument that starts with '/' for an option: the
    // images are named relative to the scratch directory, the work directory
    // from here on.
    if (!Absolute(&sim) || (!doc.empty() && !Absolute(&doc)) || chdir(scratch.dir.c_str()) != 0) {
        perror("kovrin-bench");
        return 2;
    }
    // The full image and its first halves, for the parts that come smaller.
    const std::vector<uint8_t> full = MakeImage(kImageKb);
    Images images;
    for (uint32_t kb = kImageKb; kb >= kImageKb / 4; kb /= 2) {
        Image& image = images[kb];
        image.path = "image" + std::to_string(kb) + ".bin";
        image.bytes.assign(full.begin(), full.begin() + kb * 1024);
        scratch.Keep(image.path);
        if (!WriteFile(image.path, image.bytes)) {
            fprintf(stderr, "kovrin-bench: cannot write the images into %s\n", scratch.dir.c_str());
            return 2;
        }
    }
    const std::string path256 = images.at(kImageKb).path;
    const std::string stats = "stats.json";
    scratch.Keep(stats);
    scratch.Keep(kReadOutFile);
    scratch.Keep(kRecordFile);

    Results results;
    // First, while this process is small: a child's peak resident memory
    // includes what it was before exec, a copy of this process.
    fprintf(stderr, "kovrin-bench: timing %d updates of %s...\n", runs, sim.c_str());
    TimeChild(sim, path256, stats, runs, &results);
    fprintf(stderr, "kovrin-bench: counting port accesses (instant board)...\n");
    CountAccesses(images, &results);
    CountControls(path256, images.at(kImageKb).bytes, &results);
    fprintf(stderr, "kovrin-bench: modeled update times...\n");
    ModelTimes(images, &results);
    fprintf(stderr, "kovrin-bench: read-out, compare, /I and /D...\n");
    RunModes(path256, images.at(kImageKb).bytes, &results);

    const Targets targets = CheckTargets(results);
    const std::string report = Report(results, targets);
    fputs(report.c_str(), stdout);
    if (!doc.empty()) {
        std::ofstream out(doc);
        out << report;
        if (!out) {
            fprintf(stderr, "kovrin-bench: cannot write %s\n", doc.c_str());
            return 2;
        }
    }
    if (!results.problems.empty())
        return 2;
    return targets.All() ? 0 : 1;
}
