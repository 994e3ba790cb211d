#include "poser_bvh.h"

#include <cmath>
#include <string>
#include <vector>

namespace skelvane::bench {

namespace {

struct Joint {
    std::string name;
    int parent;  // index into the table, -1 for the root
    double x, y, z;
};

std::vector<Joint> poserSkeleton() {
    std::vector<Joint> joints{
        {"hip", -1, 0, 38.7, 0},         {"abdomen", 0, 0, 2.1, -0.3},
        {"chest", 1, 0, 8.2, 0.4},       {"neck", 2, 0, 12.3, -0.9},
        {"head", 3, 0, 3.5, 0.6},        {"leftEye", 4, 1.2, 3.6, 3.1},
        {"rightEye", 4, -1.2, 3.6, 3.1}, {"genital", 0, 0, -3.9, 2.2},
    };
    // Sides in Poser's own spelling: r and l prefixes, the same chain on both sides.
    for (const char side : {'r', 'l'}) {
        const double sign = side == 'r' ? -1.0 : 1.0;
        auto add = [&](const std::string& name, int parent, double x, double y, double z) {
            joints.push_back({side + name, parent, sign * x, y, z});
            return static_cast<int>(joints.size()) - 1;
        };
        const int collar = add("Collar", 2, 1.4, 10.6, -0.2);
        const int shoulder = add("Shldr", collar, 5.1, 0.2, -0.4);
        const int forearm = add("ForeArm", shoulder, 11.3, -0.1, 0.2);
        const int hand = add("Hand", forearm, 10.4, 0.1, 0.5);
        const char* fingers[] = {"Thumb", "Index", "Mid", "Ring", "Pinky"};
        for (int f = 0; f < 5; ++f) {
            int parent = hand;
            for (int segment = 1; segment <= 3; ++segment) {
                parent = add(std::string(fingers[f]) + std::to_string(segment), parent,
                             segment == 1 ? 2.9 : 1.1, 0.0, 1.6 - 0.8 * f);
            }
        }
        const int buttock = add("Buttock", 0, 2.4, -1.2, -1.4);
        const int thigh = add("Thigh", buttock, 1.3, -2.4, 1.1);
        const int shin = add("Shin", thigh, 0.3, -17.6, -0.2);
        const int foot = add("Foot", shin, 0.1, -16.9, -1.2);
        add("Toe", foot, 0.2, -1.7, 5.4);
    }
    return joints;
}

void writeJoint(std::FILE* out, const std::vector<Joint>& joints, int index, int depth) {
    const std::string indent(static_cast<std::size_t>(depth) * 4, ' ');
    const Joint& joint = joints[static_cast<std::size_t>(index)];
    if (depth == 0) {
        std::fprintf(out, "ROOT %s\r\n{\r\n", joint.name.c_str());
    } else {
        std::fprintf(out, "%sJOINT %s\r\n%s{\r\n", indent.c_str(), joint.name.c_str(),
                     indent.c_str());
    }
    std::fprintf(out, "%s    OFFSET %.6f %.6f %.6f\r\n", indent.c_str(), joint.x, joint.y, joint.z);
    std::fprintf(out, "%s    CHANNELS %s\r\n", indent.c_str(),
                 depth == 0 ? "6 Xposition Yposition Zposition Zrotation Xrotation Yrotation"
                            : "3 Zrotation Xrotation Yrotation");
    bool leaf = true;
    for (std::size_t child = 0; child < joints.size(); ++child) {
        if (joints[child].parent == index) {
            writeJoint(out, joints, static_cast<int>(child), depth + 1);
            leaf = false;
        }
    }
    if (leaf) {
        std::fprintf(out,
                     "%s    End Site\r\n%s    {\r\n%s        OFFSET 0.000000 1.000000 "
                     "0.000000\r\n%s    }\r\n",
                     indent.c_str(), indent.c_str(), indent.c_str(), indent.c_str());
    }
    std::fprintf(out, "%s}\r\n", indent.c_str());
}

}  // namespace

int poserChannelCount() {
    return 3 + 3 * static_cast<int>(poserSkeleton().size());
}

void writePoserBvh(std::FILE* out, long frames) {
    const std::vector<Joint> joints = poserSkeleton();
    std::fprintf(out, "HIERARCHY\r\n");
    writeJoint(out, joints, 0, 0);
    std::fprintf(out, "MOTION\r\nFrames: %ld\r\nFrame Time: 0.033333\r\n", frames);
    const int channels = poserChannelCount();
    for (long frame = 0; frame < frames; ++frame) {
        // A slow sway: every channel a sine of its own phase, as exported rotations look.
        for (int channel = 0; channel < channels; ++channel) {
            const double value =
                25.0 * std::sin(0.07 * static_cast<double>(frame) + 0.37 * channel);
            std::fprintf(out, channel == 0 ? "%.6f" : " %.6f", channel == 1 ? value + 38.7 : value);
        }
        std::fprintf(out, "\r\n");
    }
}

}  // namespace skelvane::bench
