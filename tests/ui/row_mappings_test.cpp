#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMenu>

#include "conversion/mapping/mapping_catalog.h"
#include "support/joint_names.h"
#include "support/test_files.h"
#include "ui/program_arguments.h"
#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

namespace t = skelvane::testing;

const QString kPoserMax = "poser-max \u2014 Poser to Max (the built-in table)";
const QString kPoserMaxNames = "poser-max-names \u2014 Poser to Max, whole names";
const QString kMixamoMax = "mixamo-max \u2014 Mixamo and HumanIK to Max";
// The rig profiles, as the Mapping submenu offers them ("rig " before each) and the Target
// submenu.
const QStringList kRigs = {"poser \u2014 Poser",
                           "sl \u2014 Second Life",
                           "max \u2014 Max",
                           "mixamo \u2014 Mixamo",
                           "humanik \u2014 HumanIK",
                           "cmu \u2014 CMU motion capture (MotionBuilder names)",
                           "genesis \u2014 Daz Genesis 3 and 8",
                           "unreal \u2014 Unreal Engine mannequin",
                           "unity \u2014 Unity humanoid and VRM"};

QStringList rigEntries() {
    QStringList entries;
    for (const QString& rig : kRigs) entries << "rig " + rig;
    return entries;
}

// The entries of a row's Mapping or Target submenu as shown: "* " before the checked one, "--"
// for a separator; none when the submenu is disabled. Closes the menu.
QStringList submenuOf(ListBox& list, int row, const QString& title) {
    QStringList entries;
    QMenu& menu = openRowMenu(list, row);
    for (const QAction* item : menu.actions()) {
        if (item->text() != title || !item->isEnabled()) continue;
        for (const QAction* entry : openSubmenu(menu, title).actions()) {
            entries << (entry->isSeparator() ? "--"
                                             : (entry->isChecked() ? "* " : "") + entry->text());
        }
    }
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    return entries;
}

QStringList mappingMenu(ListBox& list, int row) {
    return submenuOf(list, row, "Mapping");
}

// A title's tooltip without the note on sources that do not start like BVH, as these do not.
QString pathAndMapping(ListBox& List1, int row) {
    return toolTipShown(List1, row).section('\n', 0, 1);
}

std::vector<std::string> mappingsOf(const joblist::JobList& jobs) {
    std::vector<std::string> names;
    for (int row = 0; row < jobs.rowCount(); ++row) {
        names.push_back(jobs.mapping(row).bestFit ? "best fit" : jobs.mapping(row).mapping->name);
    }
    return names;
}

TEST_F(JobRows, AMappingChosenForARowIsTheOneOfRowsAddedLaterAndComesBackWithIt) {
    addSources(2);
    EXPECT_EQ(mappingMenu(List3, 1),
              QStringList({"Best fit", "--", "* " + kPoserMax, kPoserMaxNames,
                           "genesis-max \u2014 Daz Genesis 3 and 8 to Max",
                           "cmu-max \u2014 CMU motion capture (MotionBuilder names) to Max",
                           kMixamoMax, "--"}) +
                  rigEntries() + QStringList({"--", "Load Mapping File..."}));
    chooseMapping(List3, 1, kMixamoMax);
    addSource(window, window.source("late.bvh"));
    chooseMapping(List2, 0, "Best fit");
    EXPECT_EQ(mappingsOf(jobs), std::vector<std::string>({"best fit", "mixamo-max", "mixamo-max"}));
    EXPECT_TRUE(mappingMenu(List1, 1).contains("* " + kMixamoMax)) << "the row's own choice";
    EXPECT_EQ(pathAndMapping(List1, 0), window.source("take0.bvh") + "\nMapping: best fit");
    EXPECT_EQ(pathAndMapping(List1, 2), window.source("late.bvh") + "\nMapping: mixamo-max");

    // Below the rows the menu is that of the rows to come.
    EXPECT_TRUE(mappingMenu(List1, -1).contains("* Best fit"));
    chooseMapping(List1, -1, kPoserMaxNames);
    addSource(window, window.source("last.bvh"));
    choose(openRowMenu(List1, 1), "Remove row");
    choose(openRowMenu(List1, 0), "Undo");
    EXPECT_EQ(mappingsOf(jobs), std::vector<std::string>(
                                    {"best fit", "mixamo-max", "mixamo-max", "poser-max-names"}));
    EXPECT_EQ(pathAndMapping(List1, 1), window.source("take1.bvh") + "\nMapping: mixamo-max");
}

// A target writes its rig's names for the row and the rows added later, through each joint's
// role, and never renames an output; a table writes its own names, the submenu disabled; a best
// fit into Max writes the preset that fits, as it always has.
TEST_F(JobRows, ATargetWritesItsRigsNamesAndATableOrABestFitIntoMaxKeepsItsBytes) {
    const t::TempFolder outputs;
    const t::WorkingDirectory inOutputs(outputs.path());
    const std::string walk = t::readFile(t::testdataDir() / "linden_avatar_walk_crlf.bvh");
    const auto add = [&](const char* name) {
        const QString path = window.source(name);
        t::writeFile(path.toStdString(), walk);
        addSource(window, path);
    };
    const auto target = [&](int row, const QString& entry) {
        choose(openSubmenu(openRowMenu(List1, row), "Target"), entry);
    };
    const auto mappingAndTarget = [&](int row) {
        return toolTipShown(List1, row).section('\n', 1);
    };
    add("walk.bvh");
    EXPECT_EQ(submenuOf(List1, 0, "Target"), QStringList()) << "poser-max, disabled";
    chooseMapping(List1, 0, "Best fit");
    QStringList targets = kRigs;
    targets[2].prepend("* ");
    EXPECT_EQ(submenuOf(List1, 0, "Target"), targets);
    EXPECT_EQ(mappingAndTarget(0), "Mapping: best fit\nTarget: max");
    target(0, kRigs[7]);
    add("rig.bvh");
    chooseMapping(List1, 1, "rig " + kRigs[0]);
    EXPECT_EQ(mappingAndTarget(0), "Mapping: best fit\nTarget: unreal");
    EXPECT_EQ(mappingAndTarget(1), "Mapping: rig poser\nTarget: unreal");
    add("best.bvh");
    target(2, kRigs[2]);
    chooseMapping(List1, 2, "Best fit");
    add("table.bvh");
    chooseMapping(List1, 3, kPoserMaxNames);
    EXPECT_EQ(mappingAndTarget(3), "Mapping: poser-max-names");
    EXPECT_EQ(texts(List2), QStringList({"walk_max", "rig_max", "best_max", "table_max"}));

    clickCentre(window.control("Command2"));
    const auto joints = [&](const char* output) {
        return t::jointNamesIn(t::readFile(outputs / output));
    };
    EXPECT_EQ(joints("walk_max.bvh"),
              t::jointNamesIn("ROOT pelvis\nJOINT spine_01\nJOINT spine_02\nJOINT neckDummy\n"
                              "JOINT neck_01\nJOINT head\nJOINT figureHair\nJOINT clavicle_l\n"
                              "JOINT upperarm_l\nJOINT lowerarm_l\nJOINT hand_l\nJOINT clavicle_r\n"
                              "JOINT upperarm_r\nJOINT lowerarm_r\nJOINT hand_r\nJOINT thigh_l\n"
                              "JOINT calf_l\nJOINT foot_l\nJOINT thigh_r\nJOINT calf_r\n"
                              "JOINT foot_r\n"));
    EXPECT_EQ(joints("rig_max.bvh"), joints("walk_max.bvh"));
    EXPECT_TRUE(t::readFile(outputs / "best_max.bvh") == t::readFile(outputs / "table_max.bvh"));
}

TEST_F(JobRows, MapAtStartAndLoadMappingFileChooseFilesThatLoadAndTellWhyOneCannotBeUsed) {
    const t::TempFolder outputs;
    const t::WorkingDirectory inOutputs(outputs.path());
    const auto path = [&](const char* name) {
        return QString::fromStdString((window.folder / name).string());
    };
    t::writeFile(window.folder / "start.csv", "# skelvane-map 1\nfrom,to,part\nroot_bone,Root,\n");
    t::writeFile(window.folder / "rig.csv",
                 "# skelvane-map 1\n# title: Test rig\nfrom,to,part\nroot_bone,Hips,\n");
    t::writeFile(window.folder / "bad.csv", "# skelvane-map 1\nfrom,to,part\nroot_bone\n");
    // As `skelvane --map DIR/start.csv` starts the window.
    conversion::MappingCatalog mappings;
    auto start = mappingChoiceOf(path("start.csv").toStdString(), mappings);
    window.form->startWithMapping(std::move(mappings), std::get<joblist::MappingChoice>(start));
    const QString walk = window.source("walk.bvh");
    t::writeFile(walk.toStdString(), "HIERARCHY\nROOT root_bone\n");
    window.form->addSources(QStringList(walk));
    EXPECT_EQ(toolTipShown(List1, 0), walk + "\nMapping: " + path("start.csv"));

    window.dialogs->answers.push_back({path("bad.csv")});
    chooseMapping(List1, 0, "Load Mapping File...");
    const OpenFileRequest& request = window.dialogs->requests.back();
    EXPECT_EQ(request.initialFolder, QDir::homePath());
    EXPECT_EQ(request.title, "Load Mapping File");
    EXPECT_EQ(request.filters, QStringList({"Skelvane mapping (*.csv)", "All files (*.*)"}));
    EXPECT_FALSE(request.manyFiles);
    EXPECT_EQ(window.dialogs->messages,
              QStringList("Info: This mapping file cannot be used; nothing was changed.\n\n" +
                          path("bad.csv") + ":3: expected 3 fields (from,to,part), found 1"));
    EXPECT_EQ(mappingsOf(jobs), std::vector<std::string>({path("start.csv").toStdString()}));

    window.dialogs->answers.push_back({path("rig.csv")});
    chooseMapping(List1, 0, "Load Mapping File...");
    EXPECT_EQ(mappingsOf(jobs), std::vector<std::string>({path("rig.csv").toStdString()}));
    EXPECT_EQ(mappingMenu(List1, 0).mid(7, 4),
              QStringList({"--", "start.csv", "* rig.csv \u2014 Test rig", "--"}));
    chooseMapping(List1, 0, "Load Mapping File...");  // cancelled
    EXPECT_EQ(window.dialogs->requests.back().initialFolder,
              QString::fromStdString(window.folder.path().string()));
    clickCentre(window.control("Command2"));
    EXPECT_EQ(t::readFile(outputs / "walk_max.bvh"), "HIERARCHY\r\nROOT Hips\r\n");
}

}  // namespace
}  // namespace skelvane::ui::testing
