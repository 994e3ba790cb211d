#include "conversion/mapping/second_life.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace skelvane::conversion::second_life {

namespace {

// A bone of the avatar's skeleton and the Poser name it is known by, if any.
struct Bone {
    std::string_view name;
    std::string_view alias = {};
};

// The 133 bones of avatar_skeleton.xml (version 2.0), in its order.
constexpr std::array<Bone, 133> kBones{{
    {"mPelvis", "hip"},
    {"mSpine1"},
    {"mSpine2"},
    {"mTorso", "abdomen"},
    {"mSpine3"},
    {"mSpine4"},
    {"mChest", "chest"},
    {"mNeck", "neck"},
    {"mHead", "head"},
    {"mSkull", "figureHair"},
    {"mEyeRight"},
    {"mEyeLeft"},
    {"mFaceRoot"},
    {"mFaceEyeAltRight"},
    {"mFaceEyeAltLeft"},
    {"mFaceForeheadLeft"},
    {"mFaceForeheadRight"},
    {"mFaceEyebrowOuterLeft"},
    {"mFaceEyebrowCenterLeft"},
    {"mFaceEyebrowInnerLeft"},
    {"mFaceEyebrowOuterRight"},
    {"mFaceEyebrowCenterRight"},
    {"mFaceEyebrowInnerRight"},
    {"mFaceEyeLidUpperLeft"},
    {"mFaceEyeLidLowerLeft"},
    {"mFaceEyeLidUpperRight"},
    {"mFaceEyeLidLowerRight"},
    {"mFaceEar1Left"},
    {"mFaceEar2Left"},
    {"mFaceEar1Right"},
    {"mFaceEar2Right"},
    {"mFaceNoseLeft"},
    {"mFaceNoseCenter"},
    {"mFaceNoseRight"},
    {"mFaceCheekLowerLeft"},
    {"mFaceCheekUpperLeft"},
    {"mFaceCheekLowerRight"},
    {"mFaceCheekUpperRight"},
    {"mFaceJaw"},
    {"mFaceChin"},
    {"mFaceTeethLower"},
    {"mFaceLipLowerLeft"},
    {"mFaceLipLowerRight"},
    {"mFaceLipLowerCenter"},
    {"mFaceTongueBase"},
    {"mFaceTongueTip"},
    {"mFaceJawShaper"},
    {"mFaceForeheadCenter"},
    {"mFaceNoseBase"},
    {"mFaceTeethUpper"},
    {"mFaceLipUpperLeft"},
    {"mFaceLipUpperRight"},
    {"mFaceLipCornerLeft"},
    {"mFaceLipCornerRight"},
    {"mFaceLipUpperCenter"},
    {"mFaceEyecornerInnerLeft"},
    {"mFaceEyecornerInnerRight"},
    {"mFaceNoseBridge"},
    {"mCollarLeft", "lCollar"},
    {"mShoulderLeft", "lShldr"},
    {"mElbowLeft", "lForeArm"},
    {"mWristLeft", "lHand"},
    {"mHandMiddle1Left"},
    {"mHandMiddle2Left"},
    {"mHandMiddle3Left"},
    {"mHandIndex1Left"},
    {"mHandIndex2Left"},
    {"mHandIndex3Left"},
    {"mHandRing1Left"},
    {"mHandRing2Left"},
    {"mHandRing3Left"},
    {"mHandPinky1Left"},
    {"mHandPinky2Left"},
    {"mHandPinky3Left"},
    {"mHandThumb1Left"},
    {"mHandThumb2Left"},
    {"mHandThumb3Left"},
    {"mCollarRight", "rCollar"},
    {"mShoulderRight", "rShldr"},
    {"mElbowRight", "rForeArm"},
    {"mWristRight", "rHand"},
    {"mHandMiddle1Right"},
    {"mHandMiddle2Right"},
    {"mHandMiddle3Right"},
    {"mHandIndex1Right"},
    {"mHandIndex2Right"},
    {"mHandIndex3Right"},
    {"mHandRing1Right"},
    {"mHandRing2Right"},
    {"mHandRing3Right"},
    {"mHandPinky1Right"},
    {"mHandPinky2Right"},
    {"mHandPinky3Right"},
    {"mHandThumb1Right"},
    {"mHandThumb2Right"},
    {"mHandThumb3Right"},
    {"mWingsRoot"},
    {"mWing1Left"},
    {"mWing2Left"},
    {"mWing3Left"},
    {"mWing4Left"},
    {"mWing4FanLeft"},
    {"mWing1Right"},
    {"mWing2Right"},
    {"mWing3Right"},
    {"mWing4Right"},
    {"mWing4FanRight"},
    {"mHipRight", "rThigh"},
    {"mKneeRight", "rShin"},
    {"mAnkleRight", "rFoot"},
    {"mFootRight"},
    {"mToeRight"},
    {"mHipLeft", "lThigh"},
    {"mKneeLeft", "lShin"},
    {"mAnkleLeft", "lFoot"},
    {"mFootLeft"},
    {"mToeLeft"},
    {"mTail1"},
    {"mTail2"},
    {"mTail3"},
    {"mTail4"},
    {"mTail5"},
    {"mTail6"},
    {"mGroin"},
    {"mHindLimbsRoot"},
    {"mHindLimb1Left"},
    {"mHindLimb2Left"},
    {"mHindLimb3Left"},
    {"mHindLimb4Left"},
    {"mHindLimb1Right"},
    {"mHindLimb2Right"},
    {"mHindLimb3Right"},
    {"mHindLimb4Right"},
}};

constexpr std::string_view kAvatarPrefix = "avatar_";

bool isBone(std::string_view name) {
    return std::any_of(kBones.begin(), kBones.end(),
                       [&](const Bone& bone) { return bone.name == name || bone.alias == name; });
}

}  // namespace

std::string_view nameAsRead(std::string_view name) {
    const std::size_t blank = name.find_first_of(" \t");
    return name.substr(0, std::min(blank, kNameBytesRead));
}

bool knowsJoint(std::string_view name) {
    name = nameAsRead(name);
    if (name.empty()) return false;
    if (name.starts_with(kAvatarPrefix)) {
        const std::string_view bone = name.substr(kAvatarPrefix.size());
        return std::any_of(kBones.begin(), kBones.end(),
                           [&](const Bone& known) { return known.name == bone; });
    }
    return isBone(name);
}

bool takesRoot(std::string_view name) {
    name = nameAsRead(name);
    return name == "hip" || name == "mPelvis" || name == "avatar_mPelvis";
}

double duration(std::uint64_t frames, double frameTime) {
    const std::uint64_t played = frames > 2 ? frames - 2 : 1;
    return static_cast<double>(played) * frameTime;
}

}  // namespace skelvane::conversion::second_life
