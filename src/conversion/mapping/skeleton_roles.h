#pragma once

// Finding the roles of a file's joints by its skeleton's shape: the parents and offsets its
// hierarchy gives (see bvh/hierarchy.h), whatever the joints are called.
//
// A humanoid's hips are the joint where the legs and the spine meet: two chains of three joints
// or more that mirror each other across the body and go down, and one that rises the other way
// to the joint where the arms and the neck branch off: two more mirrored chains of three joints
// or more, across the same axis as the legs, and one going up. (Mirrored: chains of as many
// joints whose points, taken from their parent, reflect each other across a plane through it.)
// That joint is the top of the spine, whose links are counted from the hips up. The neck is the
// chain going up from there to the head: where it branches (eyes, a jaw, the head's top) or
// ends, unless its last joint only marks a point, its end pointing back down or nowhere (Poser's
// figureHair, Mixamo's HeadTop_End). An arm is the chain to the hand, the first joint where five
// or fewer chains (the fingers) start or the chain ends; with four joints the first is the
// collar, then come upper arm, forearm and hand. A leg runs from the hips down: its thigh and
// shin are the longest two links in a row, then the foot and the toe; links above the thigh (a
// buttock, a hip joint) are left open. A joint with nothing below it that lies along a limb's
// link, short of its end, is a twist joint and no link of the chain.
//
// The side of a limb is the one its joints' names say (`Left`, `R`, `_l`...), and where they do
// not, the one its offsets give: the figure's left is up x forward, up from the hips to the top
// of the spine, forward the way the feet point, or without feet that point, +Z where up is +Y
// (the way BVH figures face).
//
// What the skeleton cannot tell, it leaves open: joints off the body's chains (a prop, a tail, a
// branch of the spine), fingers, twist joints, the head's ends, links of a limb longer than the
// ones above; and it never fixes a spine or neck link against names, as rigs count those links
// each their own way (CMU's `lowerback` sits where Max's `Chest` begins). A file whose hierarchy
// has no such hips is no humanoid's (a quadruped's spine runs across its legs, not against
// them): its skeleton gives no role. How its roles are weighed against the names is
// skeleton_weighing.h's.
//
// The work is bounded by the hierarchy, which keeps at most kMostJoints entries: a joint with
// more than a few children is no hips nor chest, so the search stays near linear.

#include <cstddef>
#include <optional>
#include <vector>

#include "common/roles.h"
#include "conversion/bvh/hierarchy.h"
#include "conversion/mapping/role_finder.h"

namespace skelvane::conversion {

/// Where a joint lies on a humanoid's body.
enum class BodyPlace : unsigned char {
    /// Off the body's chains: a prop, a tail, a branch of the spine, a joint above the hips.
    Off,
    Hips,
    Spine,
    /// The neck's chain, the head and what hangs from it.
    Neck,
    /// An arm's chain to the hand, and its twist joints.
    Arm,
    /// Below the hand: the fingers.
    Hand,
    /// A leg's chain from the hips down and what hangs from it.
    Leg,
};

/// One of the body's chains: the spine, the neck, an arm or a leg.
struct BodyChain {
    BodyPlace place = BodyPlace::Off;
    /// For an arm or a leg, its side; None when neither names nor offsets tell it.
    common::Side side = common::Side::None;
    /// True when the skeleton fixes the role of each link: an arm of three or four joints to a
    /// hand and a leg of three or four from the hips, on a side that is known.
    bool fixed = false;
};

/// An index into SkeletonReading::chains that stands for none.
inline constexpr std::size_t kNoChain = static_cast<std::size_t>(-1);

/// Where the skeleton puts one joint.
struct PlacedJoint {
    BodyPlace place = BodyPlace::Off;
    /// Its chain, or kNoChain for the hips and joints off the body.
    std::size_t chain = kNoChain;
    /// Its link along the chain, counted from 0, or -1 for a joint that hangs from the chain.
    int link = -1;
    /// The role the skeleton gives it, if it gives one.
    std::optional<common::Role> role;
};

/// A humanoid's body as a file's hierarchy shows it.
struct SkeletonReading {
    /// False when the hierarchy is no humanoid's; nothing else is then filled in.
    bool humanoid = false;
    std::vector<BodyChain> chains;
    /// One per joint in file order as JointNames takes them (End Sites are no joints), as far
    /// as the hierarchy keeps them.
    std::vector<PlacedJoint> joints;
};

/// Reads the body of `hierarchy`. Sides come from the joints' names in `names` where they say
/// them, from the offsets alone without names.
SkeletonReading readSkeleton(const Hierarchy& hierarchy, const JointNames* names);

}  // namespace skelvane::conversion
