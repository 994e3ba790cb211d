// Measures the skeleton picture of Show joints: how long its panel takes to read and show a
// file, how many pictures a second its view paints (each a new frame, painted at once), how many
// it shows while playing at the file's frame time, and the process's peak memory.
//
//   skelvane-picture-bench FILE
//   skelvane-picture-bench --generate JOINTS FRAMES OUT   writes a made-up body of that many
//                                                         joints, for counts no real file has
//
// Run it on the platform to measure: QT_QPA_PLATFORM=offscreen, or xcb under a display.

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <ostream>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "conversion/files/platform.h"
#include "ui/skeleton_panel.h"
#include "ui/skeleton_view.h"

namespace {

using namespace skelvane;

// Writes a body of `joints` joints: a spine of six from the hips, neck and head, two arms of
// four with five fingers of four, two legs of four, and the rest in chains of five on the head
// (a face); every joint turns in three channels, by slow waves of its own phase.
void writeBody(std::ostream& out, int joints, int frames) {
    std::string indent;
    int declared = 0;
    int channels = 0;
    const auto open = [&](const std::string& name, double x, double y, double z, bool root) {
        out << indent << (root ? "ROOT " : "JOINT ") << name << "\n"
            << indent << "{\n"
            << indent << "  OFFSET " << x << ' ' << y << ' ' << z << "\n"
            << indent
            << (root ? "  CHANNELS 6 Xposition Yposition Zposition Zrotation Xrotation Yrotation\n"
                     : "  CHANNELS 3 Zrotation Xrotation Yrotation\n");
        channels += root ? 6 : 3;
        indent += "  ";
        ++declared;
    };
    const auto close = [&](bool endSite) {
        if (endSite) {
            out << indent << "End Site\n"
                << indent << "{\n"
                << indent << "  OFFSET 0 2 0\n"
                << indent << "}\n";
        }
        indent.resize(indent.size() - 2);
        out << indent << "}\n";
    };
    const auto chain = [&](const std::string& name, int length, double x, double y, double z) {
        for (int i = 0; i < length; ++i) open(name + std::to_string(i), x, y, z, false);
        for (int i = 0; i < length; ++i) close(i == 0);
    };
    out << "HIERARCHY\n";
    open("hips", 0, 90, 0, true);
    for (int i = 0; i < 6; ++i) open("spine" + std::to_string(i), 0, 8, 0, false);
    open("neck", 0, 6, 0, false);
    open("head", 0, 8, 0, false);
    const int face = std::max(0, joints - declared - 2 * 24 - 2 * 4);
    for (int c = 0; c < (face + 4) / 5; ++c) {
        chain("face" + std::to_string(c) + "_", std::min(5, face - 5 * c), std::cos(c) * 3,
              2 + std::sin(c) * 3, 4);
    }
    close(true);
    close(false);
    for (const int side : {-1, 1}) {
        const std::string s = side < 0 ? "r" : "l";
        open(s + "collar", side * 4.0, 0, 0, false);
        open(s + "upperarm", side * 12.0, 0, 0, false);
        open(s + "forearm", side * 26.0, 0, 0, false);
        open(s + "hand", side * 24.0, 0, 0, false);
        for (int f = 0; f < 5; ++f) {
            chain(s + "finger" + std::to_string(f) + "_", 4, side * 3.0, 0, f - 2.0);
        }
        for (int i = 0; i < 4; ++i) close(false);
    }
    for (int i = 0; i < 6; ++i) close(false);
    for (const int side : {-1, 1}) {
        chain(std::string(side < 0 ? "r" : "l") + "leg", 4, side * 9.0, -20, 0);
    }
    close(false);
    out << "MOTION\nFrames: " << frames << "\nFrame Time: 0.008333\n";
    char value[32];
    for (int f = 0; f < frames; ++f) {
        const double t = f / 120.0;
        out << "0 0 0";
        for (int c = 3; c < channels; ++c) {
            std::snprintf(value, sizeof value, " %.4f", 25 * std::sin(std::numbers::pi * t + c));
            out << value;
        }
        out << "\n";
    }
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--generate") {
        std::ofstream out(argv[4], std::ios::binary);
        writeBody(out, std::stoi(argv[2]), std::stoi(argv[3]));
        return out ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE | --generate JOINTS FRAMES OUT\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    const std::filesystem::path file = argv[1];

    // The panel as Show joints has it: read on its worker, then painted.
    QElapsedTimer clock;
    clock.start();
    ui::SkeletonPanel panel(conversion::platform::bytesOfPath(file), {});
    panel.resize(560, 640);
    panel.show();
    if (!QTest::qWaitFor([&] { return !panel.isLoading(); }, 600000)) return 1;
    const double readSeconds = clock.nsecsElapsed() / 1e9;
    auto& view = *panel.findChild<ui::SkeletonView*>();
    auto& slider = *panel.findChild<QSlider*>(QStringLiteral("skeletonFrame"));
    if (!view.hasSkeleton()) {
        std::fprintf(stderr, "%s is not drawn: %s\n", argv[1], qPrintable(view.placeholder()));
        return 1;
    }

    // Every picture a new frame, painted at once.
    const int kept = slider.maximum() + 1;
    std::uint64_t painted = 0;
    clock.restart();
    while (clock.elapsed() < 3000) {
        slider.setValue(static_cast<int>(++painted % kept));
        view.repaint();
    }
    const double paintRate = painted / (clock.nsecsElapsed() / 1e9);

    // Playing at the file's frame time for five seconds.
    const std::uint64_t before = view.paintCount();
    panel.findChild<QPushButton*>(QStringLiteral("skeletonPlay"))->click();
    clock.restart();
    QTest::qWait(5000);
    const double playRate = (view.paintCount() - before) / (clock.nsecsElapsed() / 1e9);

    std::printf("%s (%s, view %d x %d): %s\n", file.filename().c_str(),
                qPrintable(QApplication::platformName()), view.width(), view.height(),
                qPrintable(panel.findChild<QLabel*>(QStringLiteral("skeletonFrameLabel"))->text()));
    std::printf("  read and shown: %.3f s; %d frames kept\n", readSeconds, kept);
    std::printf("  painted at once: %.0f pictures a second\n", paintRate);
    std::printf("  playing: %.0f pictures a second\n", playRate);
    std::printf("  peak memory of the process: %ld kB\n", peakKilobytes());
    return 0;
}
