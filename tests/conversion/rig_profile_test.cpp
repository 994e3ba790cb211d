#include "conversion/mapping/rig_profile.h"

#include <gtest/gtest.h>

#include <sstream>

#include "conversion/mapping/rig_profile_catalog.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
using common::Role;
using skelvane::testing::readFile;
using skelvane::testing::TempFolder;
using skelvane::testing::writeFile;

RigProfile parsed(const Result<RigProfile, MappingError>& result) {
    if (!result) {
        ADD_FAILURE() << result.error().message();
        return {};
    }
    return *result;
}

std::string errorOf(const Result<RigProfile, MappingError>& result) {
    return result ? "(accepted)" : result.error().message();
}

TEST(ParseRigProfile, ReadsTitleNotesAndEachRolesName) {
    const std::string text =
        "\xEF\xBB\xBF# skelvane-rig 1\r\n"
        "# title:  Biped \r\n"
        "# Names as Biped writes them.\r\n"
        "\r\n"
        "role,name\r\n"
        "hips,Bip01 Pelvis\r\n"
        " left_thigh ,Bip01 L Thigh\r\n"
        "# a comment among the rows\r\n"
        "head,\"Head, \"\"the\"\" top\"\n"
        "left_eye,\"#eye\"\n";
    const RigProfile profile = parsed(parseRigProfile(text, "rigs/biped.csv"));
    EXPECT_EQ(profile.name, "rigs/biped.csv");
    EXPECT_EQ(profile.origin, "rigs/biped.csv");
    EXPECT_EQ(profile.title, "Biped");
    EXPECT_EQ(profile.notes, "Names as Biped writes them.");
    EXPECT_EQ(profile.nameOf(Role::Hips), "Bip01 Pelvis");
    EXPECT_EQ(profile.nameOf(Role::LeftThigh), "Bip01 L Thigh");
    EXPECT_EQ(profile.nameOf(Role::Head), "Head, \"the\" top");
    EXPECT_EQ(profile.nameOf(Role::LeftEye), "#eye");
    EXPECT_EQ(profile.nameOf(Role::RightThigh), "");
    EXPECT_EQ(profile.roleOf("Bip01 L Thigh"), Role::LeftThigh);
    EXPECT_EQ(profile.roleOf("Bip01 R Thigh"), std::nullopt);
    EXPECT_EQ(profile.roleOf(""), std::nullopt);
}

TEST(ParseRigProfile, TakesTheFileNameAsTitleAndANameOfTheLongestLength) {
    const std::string longest(kMaxRigNameBytes, 'j');
    const RigProfile profile = parsed(
        parseRigProfile("# skelvane-rig 1\nrole,name\nhips," + longest + "\n", "d/my rig.csv"));
    EXPECT_EQ(profile.title, "my rig.csv");
    EXPECT_EQ(profile.nameOf(Role::Hips).size(), 256u);
}

struct ProfileErrorCase {
    const char* name;
    std::string text;
    std::string expected;
};

void PrintTo(const ProfileErrorCase& c, std::ostream* os) {
    *os << c.name;
}

class RigProfileErrorTest : public ::testing::TestWithParam<ProfileErrorCase> {};

TEST_P(RigProfileErrorTest, RefusesTheWholeFileNamingTheLine) {
    EXPECT_EQ(errorOf(parseRigProfile(GetParam().text, "r.csv")), GetParam().expected);
}

const std::string kRigVersion = "# skelvane-rig 1\n";
const std::string kRigHeader = kRigVersion + "role,name\n";

INSTANTIATE_TEST_SUITE_P(
    Reasons, RigProfileErrorTest,
    ::testing::Values(
        ProfileErrorCase{"EmptyFile", "", "r.csv:1: missing version line '# skelvane-rig 1'"},
        ProfileErrorCase{"MappingFile", "# skelvane-map 1\nfrom,to,part\n",
                         "r.csv:1: missing version line '# skelvane-rig 1'"},
        ProfileErrorCase{"UnknownVersion", "# skelvane-rig 2\nrole,name\n",
                         "r.csv:1: unknown version line '# skelvane-rig 2'; this program reads "
                         "'# skelvane-rig 1'"},
        ProfileErrorCase{"MappingDirective", kRigVersion + "# match: exact\nrole,name\n",
                         "r.csv:2: unknown directive 'match' (known: title)"},
        ProfileErrorCase{"TitleTwice", kRigVersion + "# title: a\n# title: b\n",
                         "r.csv:3: 'title' given twice"},
        ProfileErrorCase{"EmptyTitle", kRigVersion + "# title:\n", "r.csv:2: empty title"},
        ProfileErrorCase{"MappingHeader", kRigVersion + "from,to,part\nhips,Hips,\n",
                         "r.csv:2: missing header row 'role,name'"},
        ProfileErrorCase{"ThreeFields", kRigHeader + "hips,Hips,5\n",
                         "r.csv:3: expected 2 fields (role,name), found 3"},
        ProfileErrorCase{"OneField", kRigHeader + "hips\n",
                         "r.csv:3: expected 2 fields (role,name), found 1"},
        ProfileErrorCase{"UnclosedQuote", kRigHeader + "hips,\"Hips\n", "r.csv:3: unclosed quote"},
        ProfileErrorCase{"EmptyRole", kRigHeader + ",Hips\n", "r.csv:3: empty 'role'"},
        ProfileErrorCase{"UnknownRole", kRigHeader + "hips,Hips\npelvis,Pelvis\n",
                         "r.csv:4: unknown role 'pelvis' (roles are written like hips, spine1, "
                         "left_upper_arm)"},
        ProfileErrorCase{"RoleInCapitals", kRigHeader + "Hips,Hips\n",
                         "r.csv:3: unknown role 'Hips' (roles are written like hips, spine1, "
                         "left_upper_arm)"},
        ProfileErrorCase{"RoleTwice", kRigHeader + "hips,hip\nspine1,abdomen\nhips,pelvis\n",
                         "r.csv:5: 'hips' given twice (first on line 3)"},
        ProfileErrorCase{
            "OneNameForTwoRoles",
            kRigHeader + "hips,Hips\nleft_collar,LeftShoulder\n\nleft_upper_arm,LeftShoulder\n",
            "r.csv:6: 'LeftShoulder' already names 'left_collar' (line 4); a joint has one "
            "role"},
        ProfileErrorCase{"EmptyName", kRigHeader + "hips,\n", "r.csv:3: empty 'name'"},
        ProfileErrorCase{
            "BlankName", kRigHeader + "hips, \n",
            "r.csv:3: 'name' ' ' begins or ends with a blank, which no joint name does"},
        ProfileErrorCase{
            "BlankAfterName", kRigHeader + "hips,\"Hips \"\n",
            "r.csv:3: 'name' 'Hips ' begins or ends with a blank, which no joint name does"},
        ProfileErrorCase{
            "TabBeforeName", kRigHeader + "hips,\tHips\n",
            "r.csv:3: 'name' '\tHips' begins or ends with a blank, which no joint name does"},
        ProfileErrorCase{"ControlCharacterInName", kRigHeader + "hips,Hi\x01ps\n",
                         "r.csv:3: 'name' 'Hi\x01ps' holds U+0001, which no joint name may"},
        ProfileErrorCase{"NextLineInName", kRigHeader + "hips,Hi\xC2\x85ps\n",
                         "r.csv:3: 'name' 'Hi\xC2\x85ps' holds U+0085, which no joint name may"},
        ProfileErrorCase{"NameTooLong",
                         kRigHeader + "hips," + std::string(kMaxRigNameBytes + 1, 'j') + "\n",
                         "r.csv:3: a 'name' of 257 bytes; at most 256"},
        ProfileErrorCase{"NoHips", kRigHeader + "spine1,abdomen\nhead,head\n",
                         "r.csv:5: no row for 'hips', which every rig has"},
        ProfileErrorCase{"NoRows", kRigHeader, "r.csv:3: no row for 'hips', which every rig has"},
        ProfileErrorCase{"NoHeader", kRigVersion + "# title: x\n",
                         "r.csv:3: missing header row 'role,name'"},
        ProfileErrorCase{"NotUtf8", kRigHeader + "hips,H\xFFips\n",
                         "r.csv:3: bytes that are not UTF-8"},
        ProfileErrorCase{"LoneCr", kRigHeader + "hips,hip\rneck1,neck\n",
                         "r.csv:3: CR without LF; lines end with LF or CR LF"},
        ProfileErrorCase{"TooLarge", kRigHeader + "#" + std::string(kMaxTableFileBytes, 'x') + "\n",
                         "r.csv:3: larger than 1 MB"}),
    [](const ::testing::TestParamInfo<ProfileErrorCase>& info) {
        return std::string(info.param.name);
    });

TEST(LoadRigProfileFile, ReadsAFileAndSaysWhyOneCannotBeRead) {
    const TempFolder folder;
    writeFile(folder / "biped.csv", "# skelvane-rig 1\nrole,name\nhips,Bip01 Pelvis\n");
    const RigProfile profile = parsed(loadRigProfileFile(folder / "biped.csv"));
    EXPECT_EQ(profile.name, (folder / "biped.csv").string());
    EXPECT_EQ(profile.nameOf(Role::Hips), "Bip01 Pelvis");
    const std::string missing = (folder / "missing.csv").string();
    EXPECT_EQ(errorOf(loadRigProfileFile(missing)), missing + ": No such file or directory");
}

TEST(RigProfileCatalog, ResolvesWhatTheUserNamesOrSaysThatItNamesNothing) {
    const TempFolder folder;
    const skelvane::testing::WorkingDirectory inFolder(folder.path());
    writeFile(folder / "rig.csv", "# skelvane-rig 1\nrole,name\nhips,root_bone\n");
    writeFile(folder / "bad.csv", "# skelvane-rig 1\nrole,name\nspine1,abdomen\n");
    RigProfileCatalog catalog;
    const auto resolved = [&](std::string_view name) -> std::string {
        auto choice = catalog.resolve(name);
        if (!choice) {
            const MappingError& error = choice.error();
            return (error.error == MappingFault::NoSuchName ? "none: " : "error: ") +
                   error.message();
        }
        const RigProfile* profile = *choice;
        return profile->name + (catalog.find(profile->name) == profile ? "" : " (not kept)");
    };
    const std::pair<std::string_view, std::string> cases[] = {
        {"mixamo", "mixamo"},
        {"rig.csv", "rig.csv"},
        // A bare word that names no profile and no file is no profile, never a default.
        {"mixamoo", "none: mixamoo: no rig profile named 'mixamoo'"},
        {"Mixamo", "none: Mixamo: no rig profile named 'Mixamo'"},
        {"bad.csv", "error: bad.csv:4: no row for 'hips', which every rig has"},
        {"./gone", "error: ./gone: No such file or directory"},
    };
    for (const auto& [name, expected] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(resolved(name), expected);
    }
    // Loaded again, a file is updated where it is kept.
    const RigProfile* before = catalog.resolve("rig.csv").value();
    writeFile(folder / "rig.csv", "# skelvane-rig 1\nrole,name\nhips,pelvis\n");
    EXPECT_EQ(catalog.resolve("rig.csv").value(), before);
    EXPECT_EQ(before->nameOf(Role::Hips), "pelvis");
    const std::vector<const RigProfile*> all = catalog.all();
    ASSERT_EQ(all.size(), rigProfiles().size() + 1);
    EXPECT_EQ(all.front(), findRigProfile("poser"));
    EXPECT_EQ(all.back(), before);
}

std::string coreNamesOf(const RigProfile& profile) {
    std::string names;
    for (const Role role : common::coreRoles()) {
        if (!names.empty()) names += ' ';
        names += profile.nameOf(role).empty() ? "-" : std::string(profile.nameOf(role));
    }
    return names;
}

TEST(BuiltInRigProfiles, ComeInTheirOrderAsTheFilesInDataRigsAndNameEveryCoreRole) {
    // The joints of the core roles in their order: hips, spine1, neck1, head, then on the left
    // and then on the right collar, upper arm, forearm, hand, thigh, shin, foot, toe.
    const std::pair<std::string_view, std::string_view> expected[] = {
        {"poser",
         "hip abdomen neck head lCollar lShldr lForeArm lHand lThigh lShin lFoot lToe rCollar "
         "rShldr rForeArm rHand rThigh rShin rFoot rToe"},
        {"sl",
         "hip abdomen neck head lCollar lShldr lForeArm lHand lThigh lShin lFoot mToeLeft "
         "rCollar rShldr rForeArm rHand rThigh rShin rFoot mToeRight"},
        {"max",
         "Hips Chest Neck Head LeftCollar LeftShoulder LeftElbow LeftWrist LeftHip LeftKnee "
         "LeftAnkle LeftToe RightCollar RightShoulder RightElbow RightWrist RightHip RightKnee "
         "RightAnkle RightToe"},
        {"mixamo",
         "mixamorig:Hips mixamorig:Spine mixamorig:Neck mixamorig:Head mixamorig:LeftShoulder "
         "mixamorig:LeftArm mixamorig:LeftForeArm mixamorig:LeftHand mixamorig:LeftUpLeg "
         "mixamorig:LeftLeg mixamorig:LeftFoot mixamorig:LeftToeBase mixamorig:RightShoulder "
         "mixamorig:RightArm mixamorig:RightForeArm mixamorig:RightHand mixamorig:RightUpLeg "
         "mixamorig:RightLeg mixamorig:RightFoot mixamorig:RightToeBase"},
        {"humanik",
         "Hips Spine Neck Head LeftShoulder LeftArm LeftForeArm LeftHand LeftUpLeg LeftLeg "
         "LeftFoot LeftToeBase RightShoulder RightArm RightForeArm RightHand RightUpLeg RightLeg "
         "RightFoot RightToeBase"},
        {"cmu",
         "Hips LowerBack Neck Head LeftShoulder LeftArm LeftForeArm LeftHand LeftUpLeg LeftLeg "
         "LeftFoot LeftToeBase RightShoulder RightArm RightForeArm RightHand RightUpLeg RightLeg "
         "RightFoot RightToeBase"},
        {"genesis",
         "hip abdomenLower neckLower head lCollar lShldrBend lForearmBend lHand lThighBend lShin "
         "lFoot lToe rCollar rShldrBend rForearmBend rHand rThighBend rShin rFoot rToe"},
        {"unreal",
         "pelvis spine_01 neck_01 head clavicle_l upperarm_l lowerarm_l hand_l thigh_l calf_l "
         "foot_l ball_l clavicle_r upperarm_r lowerarm_r hand_r thigh_r calf_r foot_r ball_r"},
        {"unity",
         "Hips Spine Neck Head LeftShoulder LeftUpperArm LeftLowerArm LeftHand LeftUpperLeg "
         "LeftLowerLeg LeftFoot LeftToes RightShoulder RightUpperArm RightLowerArm RightHand "
         "RightUpperLeg RightLowerLeg RightFoot RightToes"},
    };
    ASSERT_EQ(rigProfiles().size(), std::size(expected));
    ASSERT_EQ(rigProfileFiles().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const RigProfile& profile = rigProfiles()[i];
        SCOPED_TRACE(profile.name);
        EXPECT_EQ(profile.name, expected[i].first);
        EXPECT_EQ(findRigProfile(expected[i].first), &profile);
        EXPECT_EQ(profile.origin, "built in");
        EXPECT_FALSE(profile.notes.empty());
        EXPECT_NE(profile.title, profile.name + ".csv") << "no # title: line";
        EXPECT_EQ(coreNamesOf(profile), expected[i].second);
        const fs::path file = fs::path(SKELVANE_RIGS_DIR) / (profile.name + ".csv");
        EXPECT_EQ(rigProfileFiles()[i].text, readFile(file))
            << "embedded bytes differ from " << file;
    }
    EXPECT_EQ(findRigProfile("Poser"), nullptr);
}

TEST(BuiltInRigProfiles, NameTheFalseFriendsAndChainsAsTheirRigsDo) {
    struct Case {
        std::string_view profile;
        Role role;
        std::string_view name;
    };
    const Case cases[] = {
        {"max", Role::LeftUpperArm, "LeftShoulder"},
        {"mixamo", Role::LeftCollar, "mixamorig:LeftShoulder"},
        {"unity", Role::LeftCollar, "LeftShoulder"},
        {"max", Role::Spine1, "Chest"},
        {"max", Role::Spine7, "Chest7"},
        {"unity", Role::Spine2, "Chest"},
        {"poser", Role::Spine2, "chest"},
        {"cmu", Role::Spine2, "Spine"},
        {"humanik", Role::Spine4, "Spine3"},
        {"sl", Role::Spine3, "mSpine1"},
        {"sl", Role::LeftIndex2, "mHandIndex2Left"},
        {"max", Role::RightThumb1, "RightFinger0"},
        {"max", Role::RightPinky3, "RightFinger42"},
        {"mixamo", Role::LeftThumbEnd, "mixamorig:LeftHandThumb4"},
        {"mixamo", Role::HeadEnd, "mixamorig:HeadTop_End"},
        {"genesis", Role::LeftUpperArmTwist, "lShldrTwist"},
        {"unreal", Role::RightShinTwist, "calf_twist_01_r"},
        {"unreal", Role::LeftRing3, "ring_03_l"},
        {"unity", Role::LeftPinky2, "LeftLittleIntermediate"},
        {"unity", Role::Jaw, "Jaw"},
        {"poser", Role::NeckDummy, "neckDummy"},
        {"poser", Role::RightButtock, "rButtock"},
        {"max", Role::LeftEye, ""},
        {"unity", Role::LeftThumbEnd, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.profile) + " " + std::string(common::roleName(c.role)));
        const RigProfile* profile = findRigProfile(c.profile);
        ASSERT_NE(profile, nullptr);
        EXPECT_EQ(profile->nameOf(c.role), c.name);
    }
}

}  // namespace
}  // namespace skelvane::conversion
