#include "race.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <tuple>
#include <vector>

#include <sys/resource.h>

namespace skelvane::bench {

namespace {

struct Times {
    double wall;
    double cpu;  // user and system time of the command's processes
};

double childCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

Times seconds(const std::string& command, const std::string& setup) {
    if (!setup.empty() && std::system(setup.c_str()) != 0) {
        std::fprintf(stderr, "skelvane-bench: setup failed: %s\n", setup.c_str());
        std::exit(1);
    }
    const double cpuBefore = childCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const double cpu = childCpuSeconds() - cpuBefore;
    if (status != 0) {
        std::fprintf(stderr, "skelvane-bench: failed: %s\n", command.c_str());
        std::exit(1);
    }
    return {elapsed.count(), cpu};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

double race(int pairs, const std::string& nameA, const std::string& commandA,
            const std::string& nameB, const std::string& commandB, const std::string& setup) {
    std::vector<double> wallA, wallB, cpuA, cpuB, ratios, cpuRatios;
    seconds(commandB, setup);  // warms the page cache and the program
    for (int pair = 0; pair < pairs; ++pair) {
        const Times a = seconds(commandA, setup);
        const Times b = seconds(commandB, setup);
        wallA.push_back(a.wall);
        wallB.push_back(b.wall);
        cpuA.push_back(a.cpu);
        cpuB.push_back(b.cpu);
        ratios.push_back(a.wall / b.wall);
        cpuRatios.push_back(a.cpu / b.cpu);
    }
    const double ratio = median(ratios);
    for (const auto& [name, wall, cpu] :
         {std::tuple{nameA, wallA, cpuA}, std::tuple{nameB, wallB, cpuB}}) {
        std::printf("  %-16s median %7.3f s wall, %7.3f s cpu\n", name.c_str(), median(wall),
                    median(cpu));
    }
    std::printf(
        "  %s / %s: %.2f x (median of %d interleaved pairs, min %.2f, max %.2f); "
        "in cpu time %.2f x\n",
        nameB.c_str(), nameA.c_str(), ratio, pairs, *std::min_element(ratios.begin(), ratios.end()),
        *std::max_element(ratios.begin(), ratios.end()), median(cpuRatios));
    return ratio;
}

}  // namespace skelvane::bench
