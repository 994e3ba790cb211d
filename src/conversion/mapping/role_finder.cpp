#include "conversion/mapping/role_finder.h"

#include <algorithm>
#include <array>
#include <compare>
#include <memory>
#include <numeric>

#include "conversion/mapping/rig_profile_catalog.h"

namespace skelvane::conversion {

namespace {

using common::Role;
using BodySide = common::Side;

bool isLower(char c) {
    return c >= 'a' && c <= 'z';
}

bool isUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isSeparator(char c) {
    return c == '_' || c == '.' || c == '-' || c == ' ' || c == '\t';
}

char lower(char c) {
    return isUpper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsLower(std::string_view word, std::string_view lowerCase) {
    return std::equal(word.begin(), word.end(), lowerCase.begin(), lowerCase.end(),
                      [](char a, char b) { return lower(a) == b; });
}

// `stem` followed by nothing but digits, in any case: `Character1`, `mixamorig7`.
bool isStemAndDigits(std::string_view word, std::string_view stem) {
    return word.size() >= stem.size() && equalsLower(word.substr(0, stem.size()), stem) &&
           std::all_of(word.begin() + static_cast<std::ptrdiff_t>(stem.size()), word.end(),
                       isDigit);
}

// The words of a name: split at separators, before an upper-case letter that follows a
// lower-case one or a digit (`lShldr`, `Thumb1Left`), and before the last of a run of
// upper-case letters that a lower-case one follows (`LThumb`).
std::vector<std::string_view> wordsOf(std::string_view name) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    const auto close = [&](std::size_t end) {
        if (end > start) words.push_back(name.substr(start, end - start));
    };
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (isSeparator(c)) {
            close(i);
            start = i + 1;
            continue;
        }
        if (i > start && isUpper(c)) {
            const char previous = name[i - 1];
            const bool followsUpper =
                isUpper(previous) && i + 1 < name.size() && isLower(name[i + 1]);
            if (isLower(previous) || isDigit(previous) || followsUpper) {
                close(i);
                start = i;
            }
        }
    }
    close(name.size());
    return words;
}

// Words that only prefix the names of some exporters: 3ds Max's Biped (`Bip01 `, `Bip001 `),
// Blender's armature, HumanIK's character (`Character1_`), Mixamo's rig written without its
// colon, and Second Life's `m` (`mPelvis`).
bool isPrefixWord(std::string_view word) {
    return equalsLower(word, "bip01") || equalsLower(word, "bip001") ||
           equalsLower(word, "armature") || isStemAndDigits(word, "character") ||
           isStemAndDigits(word, "mixamorig") || word == "m";
}

std::optional<BodySide> sideOfWord(std::string_view word) {
    if (equalsLower(word, "l") || equalsLower(word, "left")) return BodySide::Left;
    if (equalsLower(word, "r") || equalsLower(word, "right")) return BodySide::Right;
    return std::nullopt;
}

// The key a normalised name is indexed under: its side and its core.
std::string keyOf(const NormalisedName& name) {
    const char side = name.side == BodySide::Left ? 'L' : name.side == BodySide::Right ? 'R' : '-';
    return side + name.core;
}

Role rightOf(Role left) {
    const std::string_view name = common::roleName(left);
    return *common::roleNamed("right_" + std::string(name.substr(name.find('_') + 1)));
}

// Common words for roles that no profile needs to carry, each under the left side's role when
// it has sides. A word that names different roles in different rigs (Shoulder, Arm, Leg, Hip
// with a side, Chest, Spine) is left to the profiles, whose fit to the file decides.
struct Synonym {
    std::string_view word;
    Role role;
};

constexpr Synonym kCentralSynonyms[] = {
    {"hips", Role::Hips},          {"hip", Role::Hips},        {"pelvis", Role::Hips},
    {"head", Role::Head},          {"headtop", Role::HeadEnd}, {"headend", Role::HeadEnd},
    {"headtopend", Role::HeadEnd}, {"neck", Role::Neck1},      {"jaw", Role::Jaw},
};

constexpr Synonym kSidedSynonyms[] = {
    {"collar", Role::LeftCollar},
    {"clavicle", Role::LeftCollar},
    {"upperarm", Role::LeftUpperArm},
    {"uparm", Role::LeftUpperArm},
    {"upperarmtwist", Role::LeftUpperArmTwist},
    {"uparmtwist", Role::LeftUpperArmTwist},
    {"forearm", Role::LeftForearm},
    {"lowerarm", Role::LeftForearm},
    {"loarm", Role::LeftForearm},
    {"elbow", Role::LeftForearm},
    {"forearmtwist", Role::LeftForearmTwist},
    {"lowerarmtwist", Role::LeftForearmTwist},
    {"loarmtwist", Role::LeftForearmTwist},
    {"hand", Role::LeftHand},
    {"wrist", Role::LeftHand},
    {"thigh", Role::LeftThigh},
    {"upperleg", Role::LeftThigh},
    {"upleg", Role::LeftThigh},
    {"thightwist", Role::LeftThighTwist},
    {"upperlegtwist", Role::LeftThighTwist},
    {"uplegtwist", Role::LeftThighTwist},
    {"shin", Role::LeftShin},
    {"calf", Role::LeftShin},
    {"knee", Role::LeftShin},
    {"lowerleg", Role::LeftShin},
    {"loleg", Role::LeftShin},
    {"shintwist", Role::LeftShinTwist},
    {"calftwist", Role::LeftShinTwist},
    {"lowerlegtwist", Role::LeftShinTwist},
    {"lolegtwist", Role::LeftShinTwist},
    {"foot", Role::LeftFoot},
    {"ankle", Role::LeftFoot},
    {"toe", Role::LeftToe},
    {"toes", Role::LeftToe},
    {"toebase", Role::LeftToe},
    {"ball", Role::LeftToe},
    {"toe0", Role::LeftToe},
    {"toeend", Role::LeftToeEnd},
    {"toesend", Role::LeftToeEnd},
    {"eye", Role::LeftEye},
    {"buttock", Role::LeftButtock},
};

// Fingers by their words, each with its first joint's role: `thumb1`, `index01`, `little3`.
constexpr Synonym kFingerWords[] = {
    {"thumb", Role::LeftThumb1},  {"index", Role::LeftIndex1}, {"middle", Role::LeftMiddle1},
    {"mid", Role::LeftMiddle1},   {"ring", Role::LeftRing1},   {"pinky", Role::LeftPinky1},
    {"little", Role::LeftPinky1},
};

// How strongly a joint was found for its role, to settle two joints found for one role: the
// rank of the profile that decided (how many joints it names, exactly, namespaced alike), then
// an exact name before a normalised one. A common word is weakest.
struct Strength {
    std::size_t joints = 0;
    std::size_t exact = 0;
    std::size_t agreeing = 0;
    bool exactName = false;

    friend auto operator<=>(const Strength&, const Strength&) = default;
};

}  // namespace

NormalisedName normaliseJointName(std::string_view name) {
    NormalisedName normalised;
    if (const std::size_t colon = name.rfind(':'); colon != std::string_view::npos) {
        name.remove_prefix(colon + 1);
        normalised.namespaced = true;
    }
    std::vector<std::string_view> words = wordsOf(name);
    std::size_t first = 0;
    std::size_t last = words.size();
    while (last - first > 1 && isPrefixWord(words[first])) ++first;
    if (last - first > 1) {
        if (const auto side = sideOfWord(words[first])) {
            normalised.side = *side;
            ++first;
        } else if (const auto side = sideOfWord(words[last - 1])) {
            normalised.side = *side;
            --last;
        }
    }
    for (std::size_t i = first; i < last; ++i) {
        for (const char c : words[i]) normalised.core += lower(c);
    }
    return normalised;
}

JointNames::JointNames(std::span<const std::string> names) {
    for (const std::string& name : names) add(name);
}

void JointNames::add(std::string_view start, std::uint64_t length) {
    ++count_;
    if (names_.size() < kMaxRoleJoints) {
        names_.emplace_back(start.substr(0, kMaxRigNameBytes));
        tooLong_.push_back(length > kMaxRigNameBytes);
    }
}

std::optional<std::size_t> RoleFinding::jointOf(common::Role role) const {
    for (std::size_t i = 0; i < joints.size(); ++i) {
        if (joints[i].role == role) return i;
    }
    return std::nullopt;
}

RoleFinder::RoleFinder(std::span<const RigProfile* const> profiles)
    : profiles_(profiles.begin(), profiles.end()) {
    for (std::size_t p = 0; p < profiles_.size(); ++p) {
        for (const common::RoleInfo& info : common::kRoles) {
            const std::string& name = profiles_[p]->names[static_cast<std::size_t>(info.role)];
            if (!name.empty()) addName(p, info.role, name);
        }
    }
    addSynonyms();
}

void RoleFinder::addName(std::size_t profile, common::Role role, const std::string& name) {
    const NormalisedName normalised = normaliseJointName(name);
    exact_[name].push_back({profile, role, normalised.namespaced});
    normalised_[keyOf(normalised)].push_back({profile, role, normalised.namespaced});
}

void RoleFinder::addSynonyms() {
    const auto add = [this](BodySide side, std::string_view word, Role role) {
        normalised_[keyOf({side, std::string(word), false})].push_back({kNoProfile, role, false});
    };
    for (const Synonym& synonym : kCentralSynonyms) add(BodySide::None, synonym.word, synonym.role);
    for (const Synonym& synonym : kSidedSynonyms) {
        add(BodySide::Left, synonym.word, synonym.role);
        add(BodySide::Right, synonym.word, rightOf(synonym.role));
    }
    for (const Synonym& finger : kFingerWords) {
        for (int joint = 0; joint < 3; ++joint) {
            const Role left = static_cast<Role>(static_cast<int>(finger.role) + joint);
            for (const std::string& word :
                 {std::string(finger.word) + std::to_string(joint + 1),
                  std::string(finger.word) + "0" + std::to_string(joint + 1)}) {
                add(BodySide::Left, word, left);
                add(BodySide::Right, word, rightOf(left));
            }
        }
    }
}

RoleFinding RoleFinder::nothingFound(const JointNames& joints) {
    RoleFinding finding;
    finding.jointCount = joints.count();
    finding.joints.resize(joints.size());
    for (std::size_t i = 0; i < joints.size(); ++i) {
        if (joints.isTooLong(i)) finding.joints[i].status = RoleStatus::NameTooLong;
    }
    return finding;
}

RoleFinding RoleFinder::find(const JointNames& joints) const {
    RoleFinding finding;
    finding.jointCount = joints.count();
    const std::size_t count = joints.size();
    finding.joints.resize(count);

    // What each joint's name matches, whole and normalised.
    struct Looked {
        const std::vector<Candidate>* exact = nullptr;
        const std::vector<Candidate>* normalised = nullptr;
        bool namespaced = false;
    };
    std::vector<Looked> looked(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (joints.isTooLong(i)) continue;
        const std::string name(joints[i]);
        const NormalisedName normalised = normaliseJointName(name);
        looked[i].namespaced = normalised.namespaced;
        if (const auto hit = exact_.find(name); hit != exact_.end()) looked[i].exact = &hit->second;
        if (const auto hit = normalised_.find(keyOf(normalised)); hit != normalised_.end()) {
            looked[i].normalised = &hit->second;
        }
    }

    // How well each profile fits the file: the joints it names, exactly, namespaced alike.
    std::vector<Strength> fit(profiles_.size());
    std::vector<std::size_t> seenAt(profiles_.size(), count);
    std::vector<std::size_t> agreedAt(profiles_.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        for (const auto* candidates : {looked[i].exact, looked[i].normalised}) {
            if (candidates == nullptr) continue;
            for (const Candidate& candidate : *candidates) {
                if (candidate.profile == kNoProfile) continue;
                Strength& score = fit[candidate.profile];
                if (seenAt[candidate.profile] != i) {
                    seenAt[candidate.profile] = i;
                    ++score.joints;
                    if (candidates == looked[i].exact) ++score.exact;
                }
                if (agreedAt[candidate.profile] != i &&
                    candidate.namespaced == looked[i].namespaced) {
                    agreedAt[candidate.profile] = i;
                    ++score.agreeing;
                }
            }
        }
    }
    std::vector<std::size_t> byRank(profiles_.size());
    std::iota(byRank.begin(), byRank.end(), std::size_t{0});
    std::stable_sort(byRank.begin(), byRank.end(),
                     [&](std::size_t a, std::size_t b) { return fit[a] > fit[b]; });
    std::vector<std::size_t> rank(profiles_.size());
    for (std::size_t r = 0; r < byRank.size(); ++r) rank[byRank[r]] = r;
    if (!byRank.empty() && fit[byRank.front()].joints > 0) {
        finding.bestFit = profiles_[byRank.front()];
        finding.bestFitJoints = fit[byRank.front()].joints;
    }

    // Each joint's role, from the best-ranked profile that proposes one.
    std::vector<Strength> strength(count);
    for (std::size_t i = 0; i < count; ++i) {
        JointRole& joint = finding.joints[i];
        if (joints.isTooLong(i)) {
            joint.status = RoleStatus::NameTooLong;
            continue;
        }
        // The proposal of the best-ranked profile, and whether another of equal fit differs.
        std::size_t best = kNoProfile;
        std::optional<Role> bestRole;
        bool bestExact = false;
        bool ambiguous = false;
        std::optional<Role> common;
        bool commonWordsAgree = true;
        const auto consider = [&](const Candidate& candidate, bool exact) {
            if (candidate.profile == kNoProfile) {
                if (common && *common != candidate.role) commonWordsAgree = false;
                common = candidate.role;
                return;
            }
            if (best == kNoProfile || rank[candidate.profile] < rank[best]) {
                // Profiles are ranked by fit, so one of equal fit keeps what was found so far.
                const bool equalFit = best != kNoProfile && fit[best] == fit[candidate.profile];
                ambiguous = equalFit && (ambiguous || bestRole != candidate.role);
                best = candidate.profile;
                bestRole = candidate.role;
                bestExact = exact;
            } else if (candidate.profile == best) {
                // A profile's exact name, which comes first, outweighs its names normalised.
                if (exact == bestExact && bestRole != candidate.role) ambiguous = true;
            } else if (fit[candidate.profile] == fit[best] && bestRole != candidate.role) {
                ambiguous = true;
            }
        };
        if (looked[i].exact != nullptr) {
            for (const Candidate& candidate : *looked[i].exact) consider(candidate, true);
        }
        if (looked[i].normalised != nullptr) {
            for (const Candidate& candidate : *looked[i].normalised) consider(candidate, false);
        }
        if (best != kNoProfile) {
            if (ambiguous) {
                joint.status = RoleStatus::Ambiguous;
                continue;
            }
            joint.role = bestRole;
            joint.status = bestExact ? RoleStatus::Exact : RoleStatus::Normalised;
            joint.profile = profiles_[best];
            strength[i] = fit[best];
            strength[i].exactName = bestExact;
        } else if (common) {
            joint.role = commonWordsAgree ? common : std::nullopt;
            joint.status = commonWordsAgree ? RoleStatus::Synonym : RoleStatus::Ambiguous;
        }
    }

    // One joint per role: the strongest keeps it, a tie leaves it to none.
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::array<std::size_t, common::kRoleCount> holder;    // the first of the strongest
    std::array<std::size_t, common::kRoleCount> tiedWith;  // another as strong, if any
    holder.fill(kNone);
    tiedWith.fill(kNone);
    for (std::size_t i = 0; i < count; ++i) {
        if (!finding.joints[i].role) continue;
        const auto r = static_cast<std::size_t>(*finding.joints[i].role);
        if (holder[r] == kNone || strength[i] > strength[holder[r]]) {
            holder[r] = i;
            tiedWith[r] = kNone;
        } else if (strength[i] == strength[holder[r]] && tiedWith[r] == kNone) {
            tiedWith[r] = i;
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        JointRole& joint = finding.joints[i];
        if (!joint.role) continue;
        const auto r = static_cast<std::size_t>(*joint.role);
        if (holder[r] == i && tiedWith[r] == kNone) continue;
        joint.rival = holder[r] == i ? tiedWith[r] : holder[r];
        joint.contested = joint.role;
        joint.status = RoleStatus::Conflict;
    }
    for (JointRole& joint : finding.joints) {
        if (joint.status == RoleStatus::Conflict) joint.role.reset();
    }
    return finding;
}

const RoleFinder& builtInRoleFinder() {
    static const RoleFinder finder = [] {
        std::vector<const RigProfile*> profiles;
        for (const RigProfile& profile : rigProfiles()) profiles.push_back(&profile);
        return RoleFinder(profiles);
    }();
    return finder;
}

const RoleFinder& builtInRoleFinderOf(const RigProfile& profile) {
    static const std::vector<std::unique_ptr<RoleFinder>> finders = [] {
        std::vector<std::unique_ptr<RoleFinder>> made;
        for (const RigProfile& rig : rigProfiles()) {
            const RigProfile* const only[] = {&rig};
            made.push_back(std::make_unique<RoleFinder>(only));
        }
        return made;
    }();
    const std::span<const RigProfile> rigs = rigProfiles();
    std::size_t at = 0;
    while (at < rigs.size() && &rigs[at] != &profile) ++at;
    return *finders.at(at);
}

}  // namespace skelvane::conversion
