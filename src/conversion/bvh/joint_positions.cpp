#include "conversion/bvh/joint_positions.h"

#include <array>
#include <cmath>
#include <numbers>

namespace skelvane::conversion {

namespace {

// A rotation as rows of a matrix, and a place: a joint's turn and place in its parent's space
// or in the world.
using Matrix = std::array<std::array<double, 3>, 3>;

struct Pose {
    Matrix turn{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    Point3 place;
};

Matrix times(const Matrix& a, const Matrix& b) {
    Matrix product{};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            product[row][column] =
                a[row][0] * b[0][column] + a[row][1] * b[1][column] + a[row][2] * b[2][column];
        }
    }
    return product;
}

Point3 times(const Matrix& m, const Point3& p) {
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z,
            m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z,
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z};
}

// The turn of `degrees` about one axis (0 for X, 1 for Y, 2 for Z), counter-clockwise looking
// down the axis towards the origin.
Matrix turnAbout(int axis, double degrees) {
    const double radians = degrees * std::numbers::pi / 180;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    switch (axis) {
        case 0:
            return {{{1, 0, 0}, {0, c, -s}, {0, s, c}}};
        case 1:
            return {{{c, 0, s}, {0, 1, 0}, {-s, 0, c}}};
        default:
            return {{{c, -s, 0}, {s, c, 0}, {0, 0, 1}}};
    }
}

// The joint's pose in its parent's space; `values` are its channels' values.
Pose localPose(const Joint& joint, std::span<const float> values) {
    Pose pose;
    pose.place = {joint.offset[0], joint.offset[1], joint.offset[2]};
    for (std::size_t i = 0; i < joint.channels.size() && i < values.size(); ++i) {
        const double value = values[i];
        switch (joint.channels[i]) {
            case Channel::Xposition:
                pose.place.x += value;
                break;
            case Channel::Yposition:
                pose.place.y += value;
                break;
            case Channel::Zposition:
                pose.place.z += value;
                break;
            case Channel::Xrotation:
            case Channel::Yrotation:
            case Channel::Zrotation: {
                const int axis =
                    static_cast<int>(joint.channels[i]) - static_cast<int>(Channel::Xrotation);
                pose.turn = times(pose.turn, turnAbout(axis, value));
                break;
            }
            case Channel::Other:
                break;
        }
    }
    return pose;
}

}  // namespace

std::vector<Point3> jointPositions(const Hierarchy& hierarchy, std::span<const float> frame) {
    std::vector<Pose> world(hierarchy.joints.size());
    std::vector<Point3> places(hierarchy.joints.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < hierarchy.joints.size(); ++i) {
        const Joint& joint = hierarchy.joints[i];
        const std::size_t from = std::min<std::size_t>(next, frame.size());
        const std::size_t count = std::min<std::uint64_t>(joint.channelCount, frame.size() - from);
        next = from + count;
        const Pose local = localPose(joint, frame.subspan(from, count));
        // A parent comes before its joints in the file.
        if (joint.parent == kNoJoint || joint.parent >= i) {
            world[i] = local;
        } else {
            const Pose& parent = world[joint.parent];
            const Point3 moved = times(parent.turn, local.place);
            world[i].turn = times(parent.turn, local.turn);
            world[i].place = {parent.place.x + moved.x, parent.place.y + moved.y,
                              parent.place.z + moved.z};
        }
        places[i] = world[i].place;
    }
    return places;
}

}  // namespace skelvane::conversion
