#include "conversion/mapping/skeleton_roles.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace skelvane::conversion {

namespace {

using common::Role;
using BodySide = common::Side;
using Vec = std::array<double, 3>;

Vec operator+(const Vec& a, const Vec& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}

Vec operator-(const Vec& a, const Vec& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

Vec operator*(const Vec& a, double k) {
    return {a[0] * k, a[1] * k, a[2] * k};
}

double dot(const Vec& a, const Vec& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double length(const Vec& a) {
    return std::sqrt(dot(a, a));
}

// The limits of the shapes read as a body. Each is written so that a number that is no number
// (an offset of nan or inf) fails it.
// A joint with more children is neither hips nor chest.
constexpr std::size_t kMostBranches = 8;
// Mirrored chains: each point within this share of the chains' reach of the other's reflection,
// and some two of them at least this share of it apart.
constexpr double kMirrorSlack = 0.2;
constexpr double kApart = 0.05;
// The legs go down within 45 degrees of the spine's way, reversed.
constexpr double kLegsDown = 0.7;
// The axis across the body lies within 20 degrees of square to the spine, the legs' and the
// arms' within 37 degrees of each other.
constexpr double kAcross = 0.35;
constexpr double kAlike = 0.8;
// A twist joint lies within 14 degrees of its sibling's link.
constexpr double kAlong = 0.97;
constexpr std::size_t kMostFingers = 5;
// Up where the figure stands on +Y, within 25 degrees.
constexpr double kUpright = 0.9;

// The hierarchy as a tree, with each joint's rest position and the longest way down from it.
class Body {
public:
    explicit Body(const Hierarchy& hierarchy);
    SkeletonReading read(const JointNames* names) const;

private:
    struct Pair {
        std::size_t a;
        std::size_t b;
        Vec axis;  // across, from b's chain to a's, of unit length
    };
    struct Found {
        std::size_t hips;
        std::size_t top;
        Pair legs;
        Pair arms;
        Vec up;
    };

    std::size_t parentOf(std::size_t joint) const { return parent_[joint]; }
    const Vec& offsetOf(std::size_t joint) const { return joints_[joint].offset; }
    bool isTwist(std::size_t joint, std::size_t parent) const;
    std::vector<std::size_t> limbChildren(std::size_t joint) const;
    std::optional<Pair> mirrored(std::size_t parent, std::size_t a, std::size_t b) const;
    std::optional<Found> find() const;
    bool standsAsABody(const Found& found) const;
    std::vector<std::size_t> subtree(std::size_t joint) const;
    BodySide sideSaid(std::size_t joint, const JointNames& names) const;

    const std::vector<Joint>& joints_;
    std::vector<std::size_t> parent_;
    std::vector<std::vector<std::size_t>> children_;  // the joints among the children
    std::vector<std::size_t> firstEnd_;               // the first End Site child, or kNoJoint
    std::vector<Vec> position_;
    std::vector<std::size_t> height_;  // joints on the longest way down, itself too
    std::vector<std::size_t> main_;    // the child that way goes through, or kNoJoint
    std::vector<Vec> tip_;             // where that way ends
    std::vector<std::size_t> index_;   // its index among the joints, End Sites left out
    std::vector<std::vector<Pair>> pairs_;
    std::size_t jointCount_ = 0;
};

Body::Body(const Hierarchy& hierarchy)
    : joints_(hierarchy.joints),
      parent_(joints_.size(), kNoJoint),
      children_(joints_.size()),
      firstEnd_(joints_.size(), kNoJoint),
      position_(joints_.size()),
      height_(joints_.size(), 0),
      main_(joints_.size(), kNoJoint),
      tip_(joints_.size()),
      index_(joints_.size(), kNoJoint),
      pairs_(joints_.size()) {
    const std::size_t count = joints_.size();
    for (std::size_t e = 0; e < count; ++e) {
        const Joint& joint = joints_[e];
        // A parent comes before its children; anything else is no tree.
        const std::size_t parent = joint.parent < e ? joint.parent : kNoJoint;
        parent_[e] = parent;
        position_[e] = (parent == kNoJoint ? Vec{} : position_[parent]) + joint.offset;
        if (joint.endSite) {
            if (parent != kNoJoint && firstEnd_[parent] == kNoJoint) firstEnd_[parent] = e;
            continue;
        }
        index_[e] = jointCount_++;
        if (parent != kNoJoint) children_[parent].push_back(e);
    }
    for (std::size_t e = count; e-- > 0;) {
        if (joints_[e].endSite) continue;
        for (const std::size_t child : children_[e]) {
            if (main_[e] == kNoJoint || height_[child] > height_[main_[e]]) main_[e] = child;
        }
        height_[e] = 1 + (main_[e] == kNoJoint ? 0 : height_[main_[e]]);
        tip_[e] = main_[e] != kNoJoint       ? tip_[main_[e]]
                  : firstEnd_[e] != kNoJoint ? position_[firstEnd_[e]]
                                             : position_[e];
    }
    for (std::size_t e = 0; e < count; ++e) {
        const std::vector<std::size_t>& children = children_[e];
        if (children.size() < 2 || children.size() > kMostBranches) continue;
        for (std::size_t i = 0; i < children.size(); ++i) {
            for (std::size_t j = i + 1; j < children.size(); ++j) {
                if (auto pair = mirrored(e, children[i], children[j])) pairs_[e].push_back(*pair);
            }
        }
    }
}

// A joint with nothing below it that lies along a sibling's link, short of the sibling.
bool Body::isTwist(std::size_t joint, std::size_t parent) const {
    if (!children_[joint].empty()) return false;
    const Vec& along = offsetOf(joint);
    const double reach = length(along);
    if (!(reach > 0)) return false;
    for (const std::size_t sibling : children_[parent]) {
        if (sibling == joint || children_[sibling].empty()) continue;
        const double siblingReach = length(offsetOf(sibling));
        if (reach < siblingReach &&
            dot(along, offsetOf(sibling)) >= kAlong * reach * siblingReach) {
            return true;
        }
    }
    return false;
}

// The children a limb's chain may go on through: all but its twist joints.
std::vector<std::size_t> Body::limbChildren(std::size_t joint) const {
    std::vector<std::size_t> result;
    for (const std::size_t child : children_[joint]) {
        if (!isTwist(child, joint)) result.push_back(child);
    }
    return result;
}

std::optional<Body::Pair> Body::mirrored(std::size_t parent, std::size_t a, std::size_t b) const {
    if (height_[a] != height_[b] || height_[a] < 3) return std::nullopt;
    const Vec& origin = position_[parent];
    // The points of the two chains side by side, their ends last; the axis across is the way
    // between the two that lie farthest apart.
    std::vector<std::pair<Vec, Vec>> points;
    for (std::size_t x = a, y = b; x != kNoJoint && y != kNoJoint; x = main_[x], y = main_[y]) {
        points.emplace_back(position_[x] - origin, position_[y] - origin);
    }
    points.emplace_back(tip_[a] - origin, tip_[b] - origin);
    double reach = 0;
    Vec apart{};
    for (const auto& [pointA, pointB] : points) {
        reach = std::max({reach, length(pointA), length(pointB)});
        if (length(pointA - pointB) > length(apart)) apart = pointA - pointB;
    }
    const double distance = length(apart);
    if (!(distance >= kApart * reach && distance > 0)) return std::nullopt;
    const Vec axis = apart * (1 / distance);
    for (const auto& [pointA, pointB] : points) {
        const Vec reflected = pointA - axis * (2 * dot(pointA, axis));
        if (!(length(reflected - pointB) <= kMirrorSlack * reach)) return std::nullopt;
    }
    return Pair{a, b, axis};
}

// The spine rises against the legs, and the body's axis across lies square to it, the same for
// legs and arms.
bool Body::standsAsABody(const Found& found) const {
    const Vec legs = (tip_[found.legs.a] + tip_[found.legs.b]) * 0.5 - position_[found.hips];
    return dot(legs, found.up) <= -kLegsDown * length(legs) &&
           std::abs(dot(found.legs.axis, found.up)) <= kAcross &&
           std::abs(dot(found.arms.axis, found.up)) <= kAcross &&
           std::abs(dot(found.legs.axis, found.arms.axis)) >= kAlike;
}

// The first joint in file order with two arms below which, among its forebears, lie hips with
// two legs that stand as a body with it.
std::optional<Body::Found> Body::find() const {
    for (std::size_t top = 0; top < joints_.size(); ++top) {
        for (const Pair& arms : pairs_[top]) {
            for (std::size_t below = top, hips = parentOf(top); hips != kNoJoint;
                 below = hips, hips = parentOf(hips)) {
                const Vec rise = position_[top] - position_[hips];
                const double riseLength = length(rise);
                if (!(riseLength > 0)) continue;
                for (const Pair& legs : pairs_[hips]) {
                    if (legs.a == below || legs.b == below) continue;
                    const Found found{hips, top, legs, arms, rise * (1 / riseLength)};
                    if (standsAsABody(found)) return found;
                }
            }
        }
    }
    return std::nullopt;
}

std::vector<std::size_t> Body::subtree(std::size_t joint) const {
    std::vector<std::size_t> result{joint};
    for (std::size_t i = 0; i < result.size(); ++i) {
        const std::vector<std::size_t>& children = children_[result[i]];
        result.insert(result.end(), children.begin(), children.end());
    }
    return result;
}

// The side the names below `joint` say, when they say one side only.
BodySide Body::sideSaid(std::size_t joint, const JointNames& names) const {
    bool left = false;
    bool right = false;
    for (const std::size_t e : subtree(joint)) {
        const std::size_t i = index_[e];
        if (i >= names.size() || names.isTooLong(i)) continue;
        const BodySide side = normaliseJointName(names[i]).side;
        left = left || side == BodySide::Left;
        right = right || side == BodySide::Right;
    }
    return left == right ? BodySide::None : left ? BodySide::Left : BodySide::Right;
}

SkeletonReading Body::read(const JointNames* names) const {
    SkeletonReading reading;
    const std::optional<Found> found = find();
    if (!found) return reading;
    reading.humanoid = true;
    reading.joints.resize(jointCount_);
    const Vec& up = found->up;
    const auto at = [&](std::size_t e) -> PlacedJoint& { return reading.joints[index_[e]]; };
    const auto addChain = [&](BodyPlace place, std::size_t root) {
        reading.chains.push_back({place, BodySide::None, false});
        const std::size_t chain = reading.chains.size() - 1;
        for (const std::size_t e : subtree(root)) at(e) = {place, chain, -1, std::nullopt};
        return chain;
    };
    const auto link = [&](std::size_t e, int number, std::optional<Role> role) {
        at(e).link = number;
        at(e).role = role;
    };

    at(found->hips) = {BodyPlace::Hips, kNoChain, -1, Role::Hips};

    // The spine, from the hips' child up to the top; what branches off it is off the body.
    std::vector<std::size_t> spine;
    for (std::size_t e = found->top; e != found->hips; e = parentOf(e)) spine.push_back(e);
    std::reverse(spine.begin(), spine.end());
    reading.chains.push_back({BodyPlace::Spine, BodySide::None, false});
    for (std::size_t k = 0; k < spine.size(); ++k) {
        at(spine[k]) = {BodyPlace::Spine, 0, static_cast<int>(k), std::nullopt};
        if (spine.size() <= common::kSpineLinks) at(spine[k]).role = common::spineRole(int(k) + 1);
    }

    // The neck: the chain that rises highest from the top, besides the arms.
    std::size_t neck = kNoJoint;
    double highest = 0;
    for (const std::size_t child : children_[found->top]) {
        if (child == found->arms.a || child == found->arms.b) continue;
        const double rise = dot(tip_[child] - position_[found->top], up);
        if (rise > highest) {
            highest = rise;
            neck = child;
        }
    }
    if (neck != kNoJoint) {
        addChain(BodyPlace::Neck, neck);
        std::vector<std::size_t> chain{neck};
        std::size_t head = kNoJoint;
        while (head == kNoJoint) {
            const std::size_t e = chain.back();
            const std::vector<std::size_t> next = limbChildren(e);
            if (next.size() == 1) {
                chain.push_back(next.front());
                continue;
            }
            head = e;
            // A last joint whose end points back down or nowhere marks the head's top.
            const std::size_t end = firstEnd_[e];
            const bool marksAPoint =
                end != kNoJoint && !(dot(offsetOf(end), up) > 0 && length(offsetOf(end)) > 0);
            if (next.empty() && marksAPoint && chain.size() >= 2) {
                chain.pop_back();
                head = chain.back();
            }
        }
        const std::size_t links = chain.size() - 1;
        for (std::size_t k = 0; k < chain.size(); ++k) {
            std::optional<Role> role;
            if (k == links) role = Role::Head;
            if (k < links && links <= common::kNeckLinks) role = common::neckRole(int(k) + 1);
            link(chain[k], static_cast<int>(k), role);
        }
    }

    // The legs: thigh and shin the longest two links in a row, foot and toe after them.
    std::array<std::size_t, 2> legChains{};
    Vec forward{};
    for (std::size_t side = 0; side < 2; ++side) {
        const std::size_t root = side == 0 ? found->legs.a : found->legs.b;
        legChains[side] = addChain(BodyPlace::Leg, root);
        std::vector<std::size_t> chain;
        for (std::size_t e = root; e != kNoJoint; e = main_[e]) chain.push_back(e);
        const auto linkLength = [&](std::size_t k) {
            if (k + 1 < chain.size()) return length(position_[chain[k + 1]] - position_[chain[k]]);
            const std::size_t end = firstEnd_[chain[k]];
            return end == kNoJoint ? 0.0 : length(offsetOf(end));
        };
        std::size_t thigh = 0;
        double longest = -1;
        for (std::size_t k = 0; k + 2 < chain.size(); ++k) {
            const double pair = linkLength(k) + linkLength(k + 1);
            if (pair > longest) {
                longest = pair;
                thigh = k;
            }
        }
        const std::size_t foot = chain[thigh + 2];
        const std::size_t beyond = thigh + 3 < chain.size() ? chain[thigh + 3] : firstEnd_[foot];
        if (beyond != kNoJoint) forward = forward + (position_[beyond] - position_[foot]);
        constexpr Role kLeg[] = {Role::LeftThigh, Role::LeftShin, Role::LeftFoot, Role::LeftToe};
        for (std::size_t k = 0; k < chain.size(); ++k) {
            std::optional<Role> role;
            if (k >= thigh && k - thigh < std::size(kLeg)) role = kLeg[k - thigh];
            link(chain[k], static_cast<int>(k), role);
        }
        reading.chains[legChains[side]].fixed = thigh == 0 && chain.size() <= std::size(kLeg);
    }

    // The arms: to the hand, where the fingers start or the chain ends.
    std::array<std::size_t, 2> armChains{};
    for (std::size_t side = 0; side < 2; ++side) {
        const std::size_t root = side == 0 ? found->arms.a : found->arms.b;
        armChains[side] = addChain(BodyPlace::Arm, root);
        std::vector<std::size_t> chain{root};
        std::vector<std::size_t> next = limbChildren(root);
        while (next.size() == 1) {
            chain.push_back(next.front());
            next = limbChildren(chain.back());
        }
        const std::size_t hand = chain.back();
        for (const std::size_t e : subtree(hand)) {
            if (e != hand) at(e).place = BodyPlace::Hand;
        }
        // A longer chain that ends may end in what the hand holds, or a finger.
        const bool usual = chain.size() == 3 || chain.size() == 4;
        const bool handFound =
            next.size() <= kMostFingers && chain.size() >= 3 && (usual || !next.empty());
        constexpr Role kArm[] = {Role::LeftCollar, Role::LeftUpperArm, Role::LeftForearm,
                                 Role::LeftHand};
        const std::size_t skipped = std::size(kArm) - std::min(chain.size(), std::size(kArm));
        for (std::size_t k = 0; k < chain.size(); ++k) {
            std::optional<Role> role;
            if (handFound && usual) role = kArm[k + skipped];
            if (handFound && chain[k] == hand) role = Role::LeftHand;
            link(chain[k], static_cast<int>(k), role);
        }
        reading.chains[armChains[side]].fixed = handFound && usual;
    }

    // The sides: those the names say, else those the offsets give, the figure's left being
    // up x forward. Without a side a limb's joints take no role.
    forward = forward - up * dot(forward, up);
    const double forwardLength = length(forward);
    if (forwardLength > 0) {
        forward = forward * (1 / forwardLength);
    } else if (up[1] >= kUpright) {
        forward = {0, 0, 1};
    }
    const Vec left = cross(up, forward);
    const auto sideOf = [&](const Pair& pair) -> std::array<BodySide, 2> {
        const auto other = [](BodySide side) {
            return side == BodySide::Left ? BodySide::Right : BodySide::Left;
        };
        if (names != nullptr) {
            const BodySide a = sideSaid(pair.a, *names);
            const BodySide b = sideSaid(pair.b, *names);
            if (a != BodySide::None && b != a) return {a, other(a)};
            if (a == BodySide::None && b != BodySide::None) return {other(b), b};
        }
        const double across = dot(tip_[pair.a] - tip_[pair.b], left);
        if (across > 0) return {BodySide::Left, BodySide::Right};
        if (across < 0) return {BodySide::Right, BodySide::Left};
        return {BodySide::None, BodySide::None};
    };
    const std::array<BodySide, 2> legSides = sideOf(found->legs);
    const std::array<BodySide, 2> armSides = sideOf(found->arms);
    for (std::size_t side = 0; side < 2; ++side) {
        reading.chains[legChains[side]].side = legSides[side];
        reading.chains[armChains[side]].side = armSides[side];
    }
    for (BodyChain& chain : reading.chains)
        chain.fixed = chain.fixed && chain.side != BodySide::None;
    for (PlacedJoint& joint : reading.joints) {
        if (joint.chain == kNoChain || !joint.role) continue;
        const BodySide side = reading.chains[joint.chain].side;
        if (common::roleInfo(*joint.role).side == BodySide::None) continue;
        if (side == BodySide::None) {
            joint.role.reset();
        } else {
            joint.role = common::onSide(*joint.role, side);
        }
    }
    return reading;
}

}  // namespace

SkeletonReading readSkeleton(const Hierarchy& hierarchy, const JointNames* names) {
    return Body(hierarchy).read(names);
}

}  // namespace skelvane::conversion
